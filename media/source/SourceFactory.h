#pragma once

#include "../AudioSource.h"

#include <memory>

namespace tv::media {

// Opens the right decoder for path. On failure returns null and sets error
// to a full sentence naming the file and the reason. depth counts the
// playlists that led here (a playlist's entries are opened one level down).
std::unique_ptr<AudioSource> openSource(const QString &path, QString &error, int depth = 0);


} // namespace tv::media
