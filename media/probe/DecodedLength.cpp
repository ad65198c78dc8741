#include "DecodedLength.h"

#include "../FfmpegHandles.h"
#include "../AudioFormat.h"
#include "../source/FfmpegSource.h"
#include "Duration.h"

#include <QElapsedTimer>

#include <algorithm>

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

std::optional<double> tailDecodedEnd(const QString &path, double fromSeconds, int budgetMs, const char *knownFormat)
{
    QElapsedTimer clock;
    clock.start();
    ff::OpenedInput input = ff::openAudioInput(path, knownFormat);
    if (!input.error.isEmpty())
        return std::nullopt;
    AVFormatContext *format = input.format.get();
    AVStream *stream = format->streams[input.stream];
    const AVCodec *decoder = avcodec_find_decoder(stream->codecpar->codec_id);
    ff::Codec codec(decoder ? avcodec_alloc_context3(decoder) : nullptr);
    if (!codec || avcodec_parameters_to_context(codec.get(), stream->codecpar) < 0 || avcodec_open2(codec.get(), decoder, nullptr) < 0
        || codec->sample_rate <= 0)
        return std::nullopt;
    const double tb = av_q2d(stream->time_base);
    const double start = stream->start_time != AV_NOPTS_VALUE ? double(stream->start_time) * tb : 0.0;
    // From the start, nothing is sought: the first packet is at the start.
    const bool seeks = fromSeconds > 0;
    if (tb <= 0 || (seeks && av_seek_frame(format, input.stream, int64_t((fromSeconds + start) / tb), AVSEEK_FLAG_BACKWARD) < 0))
        return std::nullopt;

    ff::Packet packet(av_packet_alloc());
    ff::Frame frame(av_frame_alloc());
    std::optional<double> first; // the time of the first packet after the seek
    qint64 samples = 0;
    const auto drain = [&] {
        while (avcodec_receive_frame(codec.get(), frame.get()) == 0) {
            samples += frame->nb_samples;
            av_frame_unref(frame.get());
        }
    };
    while (av_read_frame(format, packet.get()) >= 0) {
        if (packet->stream_index == input.stream) {
            if (!first) {
                if (packet->pts == AV_NOPTS_VALUE && seeks) {
                    av_packet_unref(packet.get());
                    return std::nullopt;
                }
                first = packet->pts == AV_NOPTS_VALUE ? 0.0 : double(packet->pts) * tb - start;
            }
            if (avcodec_send_packet(codec.get(), packet.get()) == 0)
                drain();
        }
        av_packet_unref(packet.get());
        if (clock.elapsed() > budgetMs)
            return std::nullopt;
    }
    avcodec_send_packet(codec.get(), nullptr);
    drain();
    if (!first)
        return std::nullopt;
    return *first + double(samples) / codec->sample_rate;
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
