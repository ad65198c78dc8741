#include "DecodedLength.h"

#include "../FfmpegHandles.h"
#include "Duration.h"

#include <QElapsedTimer>

namespace tv::media {

std::optional<double> decodedLength(const QString &path, int budgetMs)
{
    QElapsedTimer clock;
    clock.start();
    ff::OpenedInput input = ff::openAudioInput(path);
    if (!input.error.isEmpty())
        return std::nullopt;
    const AVCodecParameters *params = input.format->streams[input.stream]->codecpar;
    const AVCodec *decoder = avcodec_find_decoder(params->codec_id);
    if (!decoder)
        return std::nullopt;
    ff::Codec codec(avcodec_alloc_context3(decoder));
    if (!codec || avcodec_parameters_to_context(codec.get(), params) < 0 || avcodec_open2(codec.get(), decoder, nullptr) < 0
        || codec->sample_rate <= 0)
        return std::nullopt;
    ff::Packet packet(av_packet_alloc());
    ff::Frame frame(av_frame_alloc());
    double seconds = 0;
    const auto drain = [&] {
        while (avcodec_receive_frame(codec.get(), frame.get()) == 0) {
            // Playback converts every frame from the rate the stream opened
            // with (a damaged frame announcing another rate plays at that one).
            seconds += double(frame->nb_samples) / codec->sample_rate;
            av_frame_unref(frame.get());
        }
    };
    while (av_read_frame(input.format.get(), packet.get()) >= 0) {
        if (packet->stream_index == input.stream) {
            // A damaged packet is skipped, as playback skips it.
            if (avcodec_send_packet(codec.get(), packet.get()) >= 0)
                drain();
        }
        av_packet_unref(packet.get());
        if (clock.elapsed() > budgetMs || seconds > kLongestSeconds)
            return std::nullopt;
    }
    avcodec_send_packet(codec.get(), nullptr);
    drain();
    return seconds;
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
