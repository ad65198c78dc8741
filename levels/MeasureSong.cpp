#include "MeasureSong.h"

#include "AudioFormat.h"
#include "LoudnessMeter.h"
#include "source/PlayableSource.h"

#include <vector>

namespace tv::levels {

std::optional<SongLevels> measureSong(const QString &path, QString &error, const std::atomic<bool> *cancel)
{
    error.clear();
    std::unique_ptr<tv::media::AudioSource> source = tv::media::openPlayable(path, error);
    if (!source)
        return std::nullopt;
    LoudnessMeter meter;
    if (!meter.isValid()) {
        error = QStringLiteral("The loudness meter could not be made for %1.").arg(path);
        return std::nullopt;
    }
    constexpr qint64 kFrames = 8192;
    std::vector<qint16> buffer(std::size_t(kFrames * tv::media::kChannels));
    for (;;) {
        if (cancel && cancel->load())
            return std::nullopt;
        const qint64 n = source->readFrames(buffer.data(), kFrames);
        if (n < 0) {
            error = source->errorText();
            return std::nullopt;
        }
        if (n == 0)
            break;
        meter.addFrames(buffer.data(), n);
    }
    return meter.result();
}

} // namespace tv::levels
