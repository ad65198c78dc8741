#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

class QUrl;

namespace tv::core {

// File names as the file system holds them. Linux names are bytes, usually
// but not always UTF-8 (an old Latin-1 rip, a file copied from another
// system). Qt's own conversion turns bytes that are not UTF-8 into U+FFFD
// and so loses them; these functions keep every byte instead: valid UTF-8
// becomes its characters, and each byte that is not part of valid UTF-8
// becomes the lone surrogate U+DC80 + (byte - 0x80), which no real name
// holds. Such a QString can travel through lists, Song entries and the
// decoders, and turns back into exactly the bytes it came from.
QString fileNameFromBytes(const QByteArray &bytes);
QByteArray fileNameBytes(const QString &name);
// Whether name[i] stands for a byte that is not part of valid UTF-8.
bool isEscapedByte(const QString &name, qsizetype i);
// Whether something of that name exists (any kind of file).
bool fileExists(const QString &name);

// One entry of a folder, read by its name's bytes.
struct FolderEntry
{
    QString name;    // as fileNameFromBytes gives it
    QByteArray path; // the full path's bytes, for the system's calls
    bool isFolder = false;
    bool isFile = false;
};
// The entries of folder ("." and ".." left out, and any that stat cannot
// read), sorted by name without regard to case; none when it cannot be read.
QList<FolderEntry> folderEntries(const QString &folder);

// name with each escaped byte shown as U+FFFD: valid text for whatever
// needs it (pattern matching, a message), never for opening the file.
QString readableFileName(const QString &name);

// The local file a "file:" URL names, decoded byte for byte (a dropped
// file's URL percent-encodes its name's bytes); empty for other URLs.
QString localFileOfUrl(const QUrl &url);
// The "file:" URL of a local path, encoding its bytes.
QUrl urlOfLocalFile(const QString &path);

} // namespace tv::core
