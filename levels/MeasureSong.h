#pragma once

#include "SongLevels.h"

#include <atomic>
#include <optional>

namespace tv::levels {

// Decodes the whole song at path (any file the player plays, CD tracks
// included) and measures it. Nothing when it cannot be decoded (error says
// why, as a full sentence) or when cancel became true meanwhile (error empty).
// Runs on the calling thread; it takes a fraction of the song's length.
std::optional<SongLevels> measureSong(const QString &path, QString &error, const std::atomic<bool> *cancel = nullptr);

} // namespace tv::levels
