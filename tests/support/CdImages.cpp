#include "CdImages.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
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

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace tv::test
