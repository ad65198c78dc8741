#include "DecodedLength.h"

#include "../FfmpegHandles.h"
#include "../AudioFormat.h"
#include "../source/FfmpegSource.h"
#include "Duration.h"

#include <QElapsedTimer>

#include <vector>

namespace tv::media {

std::optional<double> decodedLength(const QString &path, int budgetMs)
{
    // The player's own decoder, resampling included: what it yields is, to
    // the sample, what plays (damaged frames skipped as playback skips them).
    QElapsedTimer clock;
    clock.start();
    QString error;
    const std::unique_ptr<FfmpegSource> source = FfmpegSource::open(path, error);
    if (!source)
        return std::nullopt;
    std::vector<qint16> buffer(std::size_t(kChannels) * 8192);
    qint64 frames = 0;
    for (qint64 n; (n = source->readFrames(buffer.data(), 8192)) > 0;) {
        frames += n;
        if (clock.elapsed() > budgetMs || double(frames) / kSampleRate > kLongestSeconds)
            return std::nullopt;
    }
    return double(frames) / kSampleRate;
}

std::optional<qint64> demuxedPackets(const QString &path, int budgetMs)
{
    QElapsedTimer clock;
    clock.start();
    ff::OpenedInput input = ff::openAudioInput(path);
    if (!input.error.isEmpty())
        return std::nullopt;
    ff::Packet packet(av_packet_alloc());
    qint64 count = 0;
    while (av_read_frame(input.format.get(), packet.get()) >= 0) {
        if (packet->stream_index == input.stream)
            ++count;
        av_packet_unref(packet.get());
        if (clock.elapsed() > budgetMs)
            return std::nullopt;
    }
    return count;
}

} // namespace tv::media
