#pragma once

#include "Duration.h"

namespace tv::media {

// The exact playing time of a sound file, without playing it: the one
// measuring path of the program (adding songs, the player's duration and the
// tvmeasure tool all come here). Synchronous; safe to call from any thread.
Duration measureFile(const QString &path);

} // namespace tv::media
