#include "AudioFileWriter.h"

#include "AudioFormat.h"
#include "FfmpegHandles.h"

extern "C" {
#include <libavutil/channel_layout.h>
}

#include <QFileInfo>
#include <cstring>

namespace tv::levels {

// The bridge from FFmpeg's output to the save file (muxers seek back to
// fill in sizes, so seeking is passed on).
struct AudioFileWriter::Io
{
    QFile *file = nullptr;
    AVIOContext *context = nullptr;
    unsigned char *buffer = nullptr;

#if LIBAVFORMAT_VERSION_MAJOR >= 61
    static int writePacket(void *opaque, const uint8_t *data, int size)
#else
    static int writePacket(void *opaque, uint8_t *data, int size)
#endif
    {
        QFile *file = static_cast<Io *>(opaque)->file;
        return file->write(reinterpret_cast<const char *>(data), size) == size ? size : AVERROR(EIO);
    }
    static int64_t seek(void *opaque, int64_t offset, int whence)
    {
        QFile *file = static_cast<Io *>(opaque)->file;
        switch (whence & ~AVSEEK_FORCE) {
        case AVSEEK_SIZE: return file->size();
        case SEEK_SET: break;
        case SEEK_CUR: offset += file->pos(); break;
        case SEEK_END: offset += file->size(); break;
        default: return AVERROR(EINVAL);
        }
        return file->seek(offset) ? offset : AVERROR(EIO);
    }
    ~Io()
    {
        if (context) {
            av_freep(&context->buffer);
            avio_context_free(&context);
        }
    }
};

AudioFileWriter::AudioFileWriter() = default;

AudioFileWriter::~AudioFileWriter()
{
    if (m_format)
        m_format->pb = nullptr; // ours, freed with m_io
    avformat_free_context(m_format);
    avcodec_free_context(&m_codec);
    av_frame_free(&m_frame);
    av_packet_free(&m_packet);
    m_io.reset();
    m_file.reset(); // never committed: the old file stays
}

bool AudioFileWriter::knowsFormatOf(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == QLatin1String("wav") || suffix == QLatin1String("flac");
}

bool AudioFileWriter::failed(QString &error, const QString &what, int code)
{
    error = QStringLiteral("%1 could not be written: %2").arg(m_path, what);
    if (code < 0)
        error += QStringLiteral(" (%1)").arg(tv::media::ff::errorText(code));
    if (m_file && !m_file->errorString().isEmpty())
        error += QStringLiteral(" (%1)").arg(m_file->errorString());
    else if (m_file && m_file->file().error() != QFileDevice::NoError)
        error += QStringLiteral(" (%1)").arg(m_file->file().errorString());
    error += QLatin1Char('.');
    return false;
}

bool AudioFileWriter::open(const QString &path, QString &error)
{
    tv::media::ff::quietLogging();
    m_path = path;
    const bool flac = QFileInfo(path).suffix().toLower() == QLatin1String("flac");
    if (!knowsFormatOf(path))
        return failed(error, QStringLiteral("only WAV and FLAC files can be made"), 0);
    m_file = std::make_unique<tv::core::ReplacingFile>(path);
    if (!m_file->open())
        return failed(error, QStringLiteral("the file cannot be created"), 0);

    const AVCodec *codec = avcodec_find_encoder(flac ? AV_CODEC_ID_FLAC : AV_CODEC_ID_PCM_S16LE);
    const AVOutputFormat *format = av_guess_format(flac ? "flac" : "wav", nullptr, nullptr);
    if (!codec || !format)
        return failed(error, QStringLiteral("this FFmpeg has no encoder for it"), 0);
    int rc = avformat_alloc_output_context2(&m_format, format, nullptr, nullptr);
    if (rc < 0)
        return failed(error, QStringLiteral("the container cannot be made"), rc);
    m_codec = avcodec_alloc_context3(codec);
    m_frame = av_frame_alloc();
    m_packet = av_packet_alloc();
    if (!m_codec || !m_frame || !m_packet)
        return failed(error, QStringLiteral("out of memory"), 0);
    m_codec->sample_fmt = AV_SAMPLE_FMT_S16;
    m_codec->sample_rate = tv::media::kSampleRate;
    av_channel_layout_default(&m_codec->ch_layout, tv::media::kChannels);
    m_codec->time_base = AVRational{1, tv::media::kSampleRate};
    if (m_format->oformat->flags & AVFMT_GLOBALHEADER)
        m_codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if ((rc = avcodec_open2(m_codec, codec, nullptr)) < 0)
        return failed(error, QStringLiteral("the encoder cannot be started"), rc);
    AVStream *stream = avformat_new_stream(m_format, nullptr);
    if (!stream || (rc = avcodec_parameters_from_context(stream->codecpar, m_codec)) < 0)
        return failed(error, QStringLiteral("the stream cannot be made"), rc);
    stream->time_base = m_codec->time_base;

    m_frameSize = m_codec->frame_size > 0 ? m_codec->frame_size : 4096;
    m_frame->format = AV_SAMPLE_FMT_S16;
    m_frame->sample_rate = tv::media::kSampleRate;
    av_channel_layout_copy(&m_frame->ch_layout, &m_codec->ch_layout);
    m_frame->nb_samples = m_frameSize;
    if ((rc = av_frame_get_buffer(m_frame, 0)) < 0)
        return failed(error, QStringLiteral("out of memory"), rc);

    m_io = std::make_unique<Io>();
    m_io->file = &m_file->file();
    constexpr int kIoBuffer = 1 << 16;
    m_io->buffer = static_cast<unsigned char *>(av_malloc(kIoBuffer));
    m_io->context = m_io->buffer ? avio_alloc_context(m_io->buffer, kIoBuffer, 1, m_io.get(), nullptr, &Io::writePacket, &Io::seek) : nullptr;
    if (!m_io->context) {
        av_free(m_io->buffer);
        return failed(error, QStringLiteral("out of memory"), 0);
    }
    m_format->pb = m_io->context;
    if ((rc = avformat_write_header(m_format, nullptr)) < 0)
        return failed(error, QStringLiteral("its header cannot be written"), rc);
    m_headerWritten = true;
    return true;
}

bool AudioFileWriter::write(const qint16 *interleaved, qint64 frames, QString &error)
{
    while (frames > 0) {
        const int n = int(std::min<qint64>(frames, m_frameSize - m_buffered));
        if (m_buffered == 0 && av_frame_make_writable(m_frame) < 0)
            return failed(error, QStringLiteral("out of memory"), 0);
        std::memcpy(m_frame->data[0] + std::size_t(m_buffered) * tv::media::kBytesPerFrame, interleaved,
                    std::size_t(n) * tv::media::kBytesPerFrame);
        m_buffered += n;
        interleaved += std::size_t(n) * tv::media::kChannels;
        frames -= n;
        if (m_buffered == m_frameSize && !encodeBuffered(false, error))
            return false;
    }
    return true;
}

bool AudioFileWriter::encodeBuffered(bool flush, QString &error)
{
    if (m_buffered > 0) {
        m_frame->nb_samples = m_buffered;
        m_frame->pts = m_pts;
        m_pts += m_buffered;
        m_buffered = 0;
        const int rc = avcodec_send_frame(m_codec, m_frame);
        m_frame->nb_samples = m_frameSize;
        if (rc < 0)
            return failed(error, QStringLiteral("the encoder refused the sound"), rc);
        if (!drain(error))
            return false;
    }
    if (flush) {
        const int rc = avcodec_send_frame(m_codec, nullptr);
        if (rc < 0)
            return failed(error, QStringLiteral("the encoder could not finish"), rc);
        return drain(error);
    }
    return true;
}

bool AudioFileWriter::drain(QString &error)
{
    for (;;) {
        int rc = avcodec_receive_packet(m_codec, m_packet);
        if (rc == AVERROR(EAGAIN) || rc == AVERROR_EOF)
            return true;
        if (rc < 0)
            return failed(error, QStringLiteral("the encoder failed"), rc);
        av_packet_rescale_ts(m_packet, m_codec->time_base, m_format->streams[0]->time_base);
        m_packet->stream_index = 0;
        rc = av_interleaved_write_frame(m_format, m_packet);
        if (rc < 0)
            return failed(error, QStringLiteral("the disk refused it"), rc);
    }
}

bool AudioFileWriter::finish(QString &error)
{
    if (!m_headerWritten)
        return failed(error, QStringLiteral("it was never begun"), 0);
    if (!encodeBuffered(true, error))
        return false;
    int rc = av_write_trailer(m_format);
    if (rc < 0)
        return failed(error, QStringLiteral("its end cannot be written"), rc);
    avio_flush(m_io->context);
    if (m_io->context->error < 0)
        return failed(error, QStringLiteral("the disk refused it"), m_io->context->error);
    if (!m_file->commit())
        return failed(error, QStringLiteral("the finished file cannot be put in place"), 0);
    return true;
}

} // namespace tv::levels
