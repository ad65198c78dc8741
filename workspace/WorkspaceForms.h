#pragma once

namespace tv::workspace {

// Registers the two workspace windows, "MP3DragDrop" and "MP3MiniDisc", with
// the window registry, so the menu can open them by name.
void registerWorkspaceForms();

} // namespace tv::workspace
