#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace tv::core {

// A playlist file (".tpl"): three header lines (medium code, custom length,
// song delay), a section per non-empty playlist ("playlista" or "playlistb",
// its total between blanks, its Song entries) and "playlistend". Lines end
// in CR LF; LF alone is accepted. Text is written as UTF-8, a file name that
// is not UTF-8 as its own bytes. Bytes that are not UTF-8 are read as such
// a name or as Windows-1252 (files of the older platform), whichever finds
// more of the songs on disk; UTF-8 elsewhere in the file breaks a tie.
struct PlaylistSection
{
    bool present = false;
    bool totalRead = false; // the total line was read and added
    qint64 total = 0;
    QStringList entries;
};

struct PlaylistContent
{
    QString mediumCode;
    QString customLength;
    QString delay;
    PlaylistSection sideA;
    PlaylistSection sideB;
};

QByteArray writePlaylist(const PlaylistContent &content, bool cassette);

// What reading got, in the order the lines come, and how it ended. On an
// error, what was read before it is kept: the header lines read (count in
// headerLines) and the sections as far as they got.
struct PlaylistRead
{
    PlaylistContent content;
    int headerLines = 0;
    enum class Outcome { Sections, NoSection, Error } outcome = Outcome::Error;
    int errorNumber = 0;
    QString errorDescription;
};

// cassette: whether a "playlistb" section is read (the MiniDisc reader stops there).
PlaylistRead readPlaylist(const QByteArray &bytes, bool cassette);

// " 475 " for 475, "-12 " for -12: the total as a line.
QString totalLine(qint64 total);

} // namespace tv::core
