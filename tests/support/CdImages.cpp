#include "CdImages.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QtEndian>

#include <cmath>

namespace tv::test {

QByteArray cdSectors(int sectors, int hz)
{
    const qint64 frames = qint64(sectors) * 588;
    QByteArray bytes(int(frames * 4), '\0');
    if (hz == 0)
        return bytes;
    for (qint64 i = 0; i < frames; ++i) {
        const auto sample = qint16(std::lround(16000.0 * std::sin(2.0 * M_PI * hz * double(i) / 44100.0)));
        qToLittleEndian(sample, bytes.data() + i * 4);
        qToLittleEndian(sample, bytes.data() + i * 4 + 2);
    }
    return bytes;
}

QByteArray wavOf(const QByteArray &cdAudio)
{
    QByteArray h(44, '\0');
    auto put32 = [&h](int at, quint32 v) { qToLittleEndian(v, h.data() + at); };
    auto put16 = [&h](int at, quint16 v) { qToLittleEndian(v, h.data() + at); };
    memcpy(h.data(), "RIFF", 4);
    put32(4, quint32(36 + cdAudio.size()));
    memcpy(h.data() + 8, "WAVEfmt ", 8);
    put32(16, 16);
    put16(20, 1);  // PCM
    put16(22, 2);  // stereo
    put32(24, 44100);
    put32(28, 44100 * 4);
    put16(32, 4);
    put16(34, 16);
    memcpy(h.data() + 36, "data", 4);
    put32(40, quint32(cdAudio.size()));
    return h + cdAudio;
}

bool writeEncoded(const QString &path, const QString &format, const QByteArray &cdAudio)
{
    const QString wav = path + QStringLiteral(".source.wav");
    if (!writeFile(wav, wavOf(cdAudio)))
        return false;
    QStringList codec;
    if (format == QLatin1String("mp3"))
        codec = {QStringLiteral("-c:a"), QStringLiteral("libmp3lame"), QStringLiteral("-b:a"), QStringLiteral("320k")};
    const int rc = QProcess::execute(QStringLiteral("ffmpeg"), QStringList{QStringLiteral("-nostdin"), QStringLiteral("-loglevel"),
                                                                           QStringLiteral("error"), QStringLiteral("-y"), QStringLiteral("-i"), wav}
                                                                   + codec + QStringList{QStringLiteral("-f"), format, path});
    QFile::remove(wav);
    return rc == 0;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace tv::test
