#pragma once

#include "../AudioSource.h"

#include <memory>

namespace tv::media {

// Opens the right decoder for path. On failure returns null and sets error
// to a full sentence naming the file and the reason.
std::unique_ptr<AudioSource> openSource(const QString &path, QString &error);

// The same, and an audio CD track file (Track01.cda ...) as its whole track:
// what a recording plays for each of its entries.
std::unique_ptr<AudioSource> openPlayable(const QString &path, QString &error);

} // namespace tv::media
