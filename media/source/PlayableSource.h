#pragma once

#include "../AudioSource.h"

#include <memory>

namespace tv::media {

// Opens what a recording plays for one of its entries: a sound file as
// openSource() does, or an audio CD track file (Track01.cda ...) as its whole
// track. On failure returns null and sets error to a full sentence.
std::unique_ptr<AudioSource> openPlayable(const QString &path, QString &error);

} // namespace tv::media
