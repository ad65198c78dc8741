#pragma once

#include <QString>

namespace tv::media {

// What kind of sound a file holds, decided from its first bytes where they
// say it and from its name otherwise.
enum class SoundKind { Wav, Aiff, Au, Mp3, Midi, M3u, Container };

SoundKind soundKindOf(const QString &path, const QByteArray &head);

// The reason (without the file name) why path cannot be opened as a sound
// file at all, or an empty text when it can be read.
QString unreadableReason(const QString &path);

// A CD track file is named by its last three characters, exactly "cda".
bool isCdTrackName(const QString &path);

} // namespace tv::media
