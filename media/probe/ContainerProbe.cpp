#include "ContainerProbe.h"

#include "../FfmpegHandles.h"
#include "DecodedLength.h"

#include <QElapsedTimer>

#include <algorithm>
#include <optional>

namespace tv::media {

namespace {

// How close the real end must come to the stated length for the container's
// word to be taken.
constexpr double kEndTolerance = 0.05;
constexpr int kPacketWalkBudgetMs = 300;

double startOf(const AVStream *stream)
{
    return stream->start_time != AV_NOPTS_VALUE ? double(stream->start_time) * av_q2d(stream->time_base) : 0.0;
}

// The end of the audio stream as its packets give it, read from where the
// input stands now without decoding: the latest packet end, or the sum of
// the packet durations where a muxer stamps every packet with one time.
// Nothing when no packet came or the time ran out.
std::optional<double> packetEnd(AVFormatContext *format, int streamIndex, int budgetMs, bool sumDurations)
{
    QElapsedTimer clock;
    clock.start();
    const AVStream *stream = format->streams[streamIndex];
    ff::Packet packet(av_packet_alloc());
    int64_t end = AV_NOPTS_VALUE;
    int64_t sum = 0;
    while (av_read_frame(format, packet.get()) >= 0) {
        if (packet->stream_index == streamIndex) {
            sum += std::max<int64_t>(packet->duration, 0);
            if (packet->pts != AV_NOPTS_VALUE)
                end = std::max<int64_t>(end == AV_NOPTS_VALUE ? packet->pts : end, packet->pts + std::max<int64_t>(packet->duration, 0));
        }
        av_packet_unref(packet.get());
        if (clock.elapsed() > budgetMs)
            return std::nullopt;
    }
    const double tb = av_q2d(stream->time_base);
    std::optional<double> result;
    if (end != AV_NOPTS_VALUE)
        result = double(end) * tb - startOf(stream);
    if (sumDurations && (!result || double(sum) * tb > *result))
        result = double(sum) * tb;
    if (result && *result <= 0)
        return std::nullopt;
    return result;
}

// Whether the stream really reaches the stated length: a seek to just before
// it and a read of the packets from there. Cheap for a sound file whole, and
// a file cut short (an interrupted download) fails it.
bool reachesStatedEnd(AVFormatContext *format, int streamIndex, double stated)
{
    const AVStream *stream = format->streams[streamIndex];
    const double tb = av_q2d(stream->time_base);
    if (tb <= 0)
        return false;
    const double from = std::max(0.0, stated - 2.0) + startOf(stream);
    if (av_seek_frame(format, streamIndex, int64_t(from / tb), AVSEEK_FLAG_BACKWARD) < 0)
        return false;
    const std::optional<double> end = packetEnd(format, streamIndex, kPacketWalkBudgetMs, false);
    return end && *end >= stated - kEndTolerance;
}

} // namespace

Duration probeContainer(const QString &path)
{
    ff::OpenedInput input = ff::openAudioInput(path);
    if (!input.error.isEmpty())
        return Duration::failure(fileError(path, input.error));
    const AVStream *stream = input.format->streams[input.stream];
    std::optional<double> stated;
    if (stream->duration != AV_NOPTS_VALUE && stream->duration > 0)
        stated = double(stream->duration) * av_q2d(stream->time_base);
    else if (input.format->duration != AV_NOPTS_VALUE && input.format->duration > 0)
        stated = double(input.format->duration) / AV_TIME_BASE;

    if (stated && *stated <= kLongestSeconds && reachesStatedEnd(input.format.get(), input.stream, *stated)) {
        double seconds = *stated;
        // Opus counts its decoder's pre-skip in the stream; a decode does not play it.
        const AVCodecParameters *codec = stream->codecpar;
        if (codec->codec_id == AV_CODEC_ID_OPUS && codec->initial_padding > 0 && codec->sample_rate > 0)
            seconds = std::max(0.0, seconds - double(codec->initial_padding) / codec->sample_rate);
        return Duration::of(seconds);
    }
    // No length stated, or one the stream does not reach (a file cut short,
    // a damaged header): what a decode yields is what plays.
    if (const std::optional<double> decoded = decodedLength(path, kDecodeBudgetMs)) {
        if (*decoded > 0)
            return Duration::of(*decoded);
        // A few samples that the playback's resampling rounds away are still
        // sound the file holds: its length reads 00:00, and only a file
        // without any sample is refused.
        const std::optional<double> samples = tailDecodedEnd(path, 0.0, kDecodeBudgetMs);
        return samples && *samples > 0 ? Duration::of(*samples)
                                       : Duration::failure(fileError(path, QStringLiteral("holds no sound that can be played")));
    }
    // Too long to decode within the time a measurement may take: the end of
    // its packets, read without decoding.
    ff::OpenedInput again = ff::openAudioInput(path);
    if (again.error.isEmpty()) {
        if (const std::optional<double> end = packetEnd(again.format.get(), again.stream, kPacketWalkBudgetMs, true))
            return Duration::of(*end);
    }
    return Duration::failure(fileError(path, QStringLiteral("cannot be measured: its length cannot be found within a second")));
}

} // namespace tv::media
