#pragma once

#include <QString>
#include <QStringList>

namespace tv::media {

// The entries of an M3U (or M3U8) playlist as absolute paths, in order.
// Comment and directive lines (starting with '#') and blank lines are skipped;
// a relative entry is taken relative to the playlist's folder; Windows-style
// backslashes become '/'. An entry's bytes are the file name's bytes (see
// FileName.h); when no such file exists and the line is not UTF-8, it is
// read as Latin-1 text, as a playlist made on another system holds it.
struct M3uList
{
    QStringList entries;
    QString error; // a full sentence naming the playlist, when it cannot be read
};

// At most this many entries in one playlist, and in all the playlists that
// one measurement opens (a playlist naming playlists).
inline constexpr int kMostPlaylistEntries = 1000;

M3uList readM3u(const QString &path);

} // namespace tv::media
