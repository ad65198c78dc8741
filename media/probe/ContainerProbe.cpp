#include "ContainerProbe.h"

#include "../FfmpegHandles.h"

#include <algorithm>
#include <optional>

namespace tv::media {

namespace {

// Containers that state no length (old RealAudio files): the end of the last
// packet of the audio stream, found by reading the packets without decoding.
std::optional<double> lengthFromPackets(AVFormatContext *format, int streamIndex)
{
    const AVStream *stream = format->streams[streamIndex];
    ff::Packet packet(av_packet_alloc());
    // Some muxers stamp every packet with the same time: then the sum of the
    // packet durations is the length.
    int64_t end = 0;
    int64_t sum = 0;
    while (av_read_frame(format, packet.get()) >= 0) {
        if (packet->stream_index == streamIndex) {
            sum += packet->duration;
            if (packet->pts != AV_NOPTS_VALUE)
                end = std::max<int64_t>(end, packet->pts + packet->duration);
        }
        av_packet_unref(packet.get());
    }
    const int64_t start = stream->start_time != AV_NOPTS_VALUE ? stream->start_time : 0;
    const int64_t length = std::max(end - start, sum);
    if (length <= 0)
        return std::nullopt;
    return double(length) * av_q2d(stream->time_base);
}

} // namespace

Duration probeContainer(const QString &path)
{
    ff::OpenedInput input = ff::openAudioInput(path);
    if (!input.error.isEmpty())
        return Duration::failure(fileError(path, input.error));
    const AVStream *stream = input.format->streams[input.stream];
    double seconds = 0;
    if (stream->duration != AV_NOPTS_VALUE && stream->duration > 0)
        seconds = double(stream->duration) * av_q2d(stream->time_base);
    else if (input.format->duration != AV_NOPTS_VALUE && input.format->duration > 0)
        seconds = double(input.format->duration) / AV_TIME_BASE;
    else if (const std::optional<double> fromPackets = lengthFromPackets(input.format.get(), input.stream))
        seconds = *fromPackets;
    else
        return Duration::failure(fileError(path, QStringLiteral("does not state its length")));
    // Opus counts its decoder's pre-skip in the stream; a decode does not play it.
    const AVCodecParameters *codec = stream->codecpar;
    if (codec->codec_id == AV_CODEC_ID_OPUS && codec->initial_padding > 0 && codec->sample_rate > 0)
        seconds = std::max(0.0, seconds - double(codec->initial_padding) / codec->sample_rate);
    return Duration::of(seconds);
}

} // namespace tv::media
