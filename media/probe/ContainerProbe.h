#pragma once

#include "Duration.h"

namespace tv::media {

// Formats with a container that states its length (FLAC, Ogg, Opus, M4A,
// RealAudio, ...): the audio stream's duration as the container gives it.
Duration probeContainer(const QString &path);

} // namespace tv::media
