#pragma once

#include <QByteArray>
#include <QString>

namespace tv::test {

// Raw CD audio for test images: whole sectors (588 frames of 16-bit stereo,
// little-endian) of a sine tone at hz, or of silence when hz is 0.
QByteArray cdSectors(int sectors, int hz);

// The same sound as a 44.1 kHz stereo 16-bit WAVE file.
QByteArray wavOf(const QByteArray &cdAudio);

// Writes cdAudio to path as a file of format ("flac", "aiff", "mp3", ...),
// encoded by ffmpeg; false when ffmpeg fails.
bool writeEncoded(const QString &path, const QString &format, const QByteArray &cdAudio);

// Writes bytes to path (folders made as needed); false on failure.
bool writeFile(const QString &path, const QByteArray &bytes);

} // namespace tv::test
