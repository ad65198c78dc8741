#pragma once

#include <QString>

namespace tv::core {

// One playlist line: the song's full path, " (", its length as time text, ")".
// The line is the whole record; nothing else is stored with it.
struct SongEntry
{
    QString path;
    qint64 seconds = 0;

    QString text() const;
    // The path is everything before the last " ("; the length is the time
    // text inside the final parentheses. False when the line is not an entry.
    static bool parse(const QString &line, SongEntry &entry);
};

} // namespace tv::core
