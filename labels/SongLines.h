#pragma once

#include <QString>

namespace tv::labels {

// What a label's song line shows for a playlist entry ("/Music/Song.mp3
// (03:45)"): the file name without its extension ("Song"), and with times the
// entry's own time text after it ("Song (03:45)"). An empty entry gives an
// empty line. Only Qt Core: the label windows call it.
// A line read from the song's tags ("Artist – Title") stands in for the
// file name when given.
QString songLineText(const QString &entry, bool withTime, const QString &tagLine = {});
// The song's path in a playlist entry (the part before its time).
QString songPathOf(const QString &entry);

// Which playlist and which row of it a song line reads: line i of a label
// with n lines per playlist reads row i % n of playlist i / n.
struct LineSource
{
    int list = 0;
    int row = 0;
};
inline LineSource lineSource(int line, int linesPerList)
{
    return { line / linesPerList, line % linesPerList };
}

// The MiniDisc title strip takes letters in capitals: a to z become A to Z,
// every other character passes unchanged.
inline char16_t upperCaseTitleKey(char16_t key)
{
    return key >= u'a' && key <= u'z' ? char16_t(key - 32) : key;
}

} // namespace tv::labels
