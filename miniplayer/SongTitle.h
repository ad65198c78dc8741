#pragma once

#include <QString>

namespace tv::miniplayer {

// A song's title from its path: the file name without its extension
// ("/music/Song.mp3" gives "Song"); empty for a path too short to hold a
// name and an extension.
QString fnSongTitle(const QString &path);

} // namespace tv::miniplayer
