#pragma once

#include "Duration.h"

namespace tv::media {

// Formats with a container that states its length (FLAC, Ogg, Opus, M4A,
// RealAudio, ...): the audio stream's stated duration when the stream really
// reaches it (checked by a seek near the stated end); otherwise, and for a
// container that states none, the length a decode yields.
Duration probeContainer(const QString &path);

} // namespace tv::media
