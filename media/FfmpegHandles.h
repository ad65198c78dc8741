#pragma once

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswresample/swresample.h>
}

#include <QString>
#include <memory>

// Owning handles for FFmpeg's C objects, and the one place where FFmpeg's
// error codes become words.
namespace tv::media::ff {

struct FormatCloser { void operator()(AVFormatContext *c) const { avformat_close_input(&c); } };
struct CodecFreer { void operator()(AVCodecContext *c) const { avcodec_free_context(&c); } };
struct SwrFreer { void operator()(SwrContext *c) const { swr_free(&c); } };
struct FrameFreer { void operator()(AVFrame *f) const { av_frame_free(&f); } };
struct PacketFreer { void operator()(AVPacket *p) const { av_packet_free(&p); } };

using Format = std::unique_ptr<AVFormatContext, FormatCloser>;
using Codec = std::unique_ptr<AVCodecContext, CodecFreer>;
using Resampler = std::unique_ptr<SwrContext, SwrFreer>;
using Frame = std::unique_ptr<AVFrame, FrameFreer>;
using Packet = std::unique_ptr<AVPacket, PacketFreer>;

QString errorText(int code);

// Quiets FFmpeg's own console chatter; our messages say what went wrong.
void quietLogging();

struct OpenedInput
{
    Format format;
    int stream = -1;
    QString error; // reason only, without the file name
};

// Opens path and finds its best audio stream. A caller that knows the
// container already (its header was read: "wav", "aiff", "au") names it,
// which spares trying every format's probe on its first bytes.
OpenedInput openAudioInput(const QString &path, const char *knownFormat = nullptr);

} // namespace tv::media::ff
