#pragma once

#include "../AudioSource.h"

#include <memory>

namespace tv::media {

// Opens the right decoder for path. On failure returns null and sets error
// to a full sentence naming the file and the reason.
std::unique_ptr<AudioSource> openSource(const QString &path, QString &error);

} // namespace tv::media
