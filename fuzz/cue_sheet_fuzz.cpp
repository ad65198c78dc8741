// libFuzzer target: a CD image's CUE sheet on arbitrary bytes, beside small
// data files of every kind it may name (disc.bin raw sectors, disc.wav,
// disc.flac). Opening it must never crash or hang; a sheet that opens must
// give tracks inside the disc, in order, each of which plays its first and
// last sectors.
#include "cd/CdDisc.h"
#include "cd/CdSource.h"

#include <QDir>
#include <QFile>

#include <cstdint>
#include <cstdlib>

namespace {

QString folder()
{
    // The data files are made once, by the script, in the working folder.
    static const QString path = QDir::currentPath();
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString cue = folder() + QStringLiteral("/fuzz.cue");
    QFile file(cue);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(reinterpret_cast<const char *>(data), qint64(size)) != qint64(size))
        std::abort();
    file.close();
    QString error;
    const std::shared_ptr<tv::media::CdDisc> disc = tv::media::CdDisc::open(cue, error);
    if (!disc) {
        if (error.isEmpty())
            std::abort(); // a refusal always says why
        return 0;
    }
    int previousEnd = -1;
    std::vector<qint16> sector(tv::media::CdDisc::kFramesPerSector * 2);
    for (const tv::media::CdDisc::Track &t : disc->tracks()) {
        if (t.firstSector <= previousEnd || t.lastSector < t.firstSector)
            std::abort();
        previousEnd = t.lastSector;
        if (!t.audio)
            continue;
        for (const int at : {t.firstSector, t.lastSector}) {
            tv::media::CdSource source(disc, at, t.lastSector);
            if (source.readFrames(sector.data(), tv::media::CdDisc::kFramesPerSector) != tv::media::CdDisc::kFramesPerSector)
                std::abort();
        }
    }
    return 0;
}
