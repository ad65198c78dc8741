#pragma once

namespace tv::miniplayer {

// Registers the mini player window "frmMini" with the window registry, so
// the start menu can open it by name.
void registerMiniPlayerForm();

} // namespace tv::miniplayer
