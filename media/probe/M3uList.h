#pragma once

#include <QString>
#include <QStringList>

namespace tv::media {

// The entries of an M3U (or M3U8) playlist as absolute paths, in order.
// Comment and directive lines (starting with '#') and blank lines are skipped;
// a relative entry is taken relative to the playlist's folder; Windows-style
// backslashes become '/'. Text is UTF-8, or Latin-1 when not valid UTF-8.
struct M3uList
{
    QStringList entries;
    QString error; // a full sentence naming the playlist, when it cannot be read
};

M3uList readM3u(const QString &path);

} // namespace tv::media
