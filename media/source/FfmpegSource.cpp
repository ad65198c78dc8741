#include "FfmpegSource.h"

#include "../AudioFormat.h"
#include "../probe/Duration.h"

#include <algorithm>
#include <climits>

namespace tv::media {

std::unique_ptr<FfmpegSource> FfmpegSource::open(const QString &path, QString &error)
{
    ff::OpenedInput input = ff::openAudioInput(path);
    if (!input.error.isEmpty()) {
        error = fileError(path, input.error);
        return nullptr;
    }
    std::unique_ptr<FfmpegSource> source(new FfmpegSource);
    source->m_path = path;
    source->m_stream = input.stream;
    source->m_format = std::move(input.format);
    const AVCodecParameters *params = source->m_format->streams[input.stream]->codecpar;
    const AVCodec *decoder = avcodec_find_decoder(params->codec_id);
    if (!decoder) {
        error = fileError(path, QStringLiteral("uses a sound encoding that this program cannot decode"));
        return nullptr;
    }
    source->m_codec.reset(avcodec_alloc_context3(decoder));
    int rc = avcodec_parameters_to_context(source->m_codec.get(), params);
    if (rc >= 0)
        rc = avcodec_open2(source->m_codec.get(), decoder, nullptr);
    if (rc < 0) {
        error = fileError(path, QStringLiteral("cannot be decoded (%1)").arg(ff::errorText(rc)));
        return nullptr;
    }
    AVChannelLayout outLayout = AV_CHANNEL_LAYOUT_STEREO;
    AVChannelLayout inLayout;
    if (source->m_codec->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC || source->m_codec->ch_layout.nb_channels == 0)
        av_channel_layout_default(&inLayout, std::max(1, source->m_codec->ch_layout.nb_channels));
    else
        av_channel_layout_copy(&inLayout, &source->m_codec->ch_layout);
    SwrContext *swr = nullptr;
    rc = swr_alloc_set_opts2(&swr, &outLayout, AV_SAMPLE_FMT_S16, kSampleRate, &inLayout, source->m_codec->sample_fmt,
                             source->m_codec->sample_rate, 0, nullptr);
    av_channel_layout_uninit(&inLayout);
    if (rc < 0 || swr_init(swr) < 0) {
        swr_free(&swr);
        error = fileError(path, QStringLiteral("has a sound format that cannot be converted for playback"));
        return nullptr;
    }
    source->m_resampler.reset(swr);
    source->m_frame.reset(av_frame_alloc());
    source->m_packet.reset(av_packet_alloc());
    return source;
}

bool FfmpegSource::decodeMore()
{
    while (true) {
        int rc = avcodec_receive_frame(m_codec.get(), m_frame.get());
        if (rc == 0) {
            int skip = 0;
            if (m_skipToSample >= 0) {
                skip = samplesBeforeTarget();
                if (skip < 0) {
                    av_frame_unref(m_frame.get());
                    return false; // m_error says why
                }
                if (skip >= m_frame->nb_samples) {
                    av_frame_unref(m_frame.get());
                    continue;
                }
                m_skipToSample = -1;
            }
            const int kept = m_frame->nb_samples - skip;
            const int capacity = swr_get_out_samples(m_resampler.get(), kept);
            m_pending.resize(std::size_t(std::max(capacity, 0)) * kChannels);
            auto *out = reinterpret_cast<uint8_t *>(m_pending.data());
            const uint8_t *in[AV_NUM_DATA_POINTERS] = {};
            const bool planar = av_sample_fmt_is_planar(AVSampleFormat(m_frame->format));
            const int bytes = av_get_bytes_per_sample(AVSampleFormat(m_frame->format));
            const int planes = planar ? m_frame->ch_layout.nb_channels : 1;
            for (int p = 0; p < planes && p < AV_NUM_DATA_POINTERS; ++p)
                in[p] = m_frame->extended_data[p] + std::size_t(skip) * bytes * (planar ? 1 : m_frame->ch_layout.nb_channels);
            const int got = swr_convert(m_resampler.get(), &out, capacity, in, kept);
            av_frame_unref(m_frame.get());
            if (got < 0) {
                m_error = fileError(m_path, QStringLiteral("could not be converted for playback (%1)").arg(ff::errorText(got)));
                return false;
            }
            m_pending.resize(std::size_t(got) * kChannels);
            m_pendingPos = 0;
            if (got > 0)
                return true;
            continue;
        }
        if (rc == AVERROR_EOF) {
            // The resampler may still hold a few frames of delay.
            if (!m_flushed) {
                m_flushed = true;
                const int capacity = 4096;
                m_pending.resize(std::size_t(capacity) * kChannels);
                auto *out = reinterpret_cast<uint8_t *>(m_pending.data());
                const int got = swr_convert(m_resampler.get(), &out, capacity, nullptr, 0);
                m_pending.resize(std::size_t(std::max(got, 0)) * kChannels);
                m_pendingPos = 0;
                if (got > 0)
                    return true;
            }
            return false;
        }
        if (rc == AVERROR_INVALIDDATA && !m_inputDone) {
            // A damaged frame is skipped, as the damaged packet before it;
            // the rest plays (measuring counts what this yields).
            rc = AVERROR(EAGAIN);
        }
        if (rc != AVERROR(EAGAIN)) {
            m_error = fileError(m_path, QStringLiteral("could not be decoded (%1)").arg(ff::errorText(rc)));
            return false;
        }
        if (m_inputDone)
            return false;
        rc = av_read_frame(m_format.get(), m_packet.get());
        if (rc < 0) {
            m_inputDone = true;
            avcodec_send_packet(m_codec.get(), nullptr); // drain
            continue;
        }
        if (m_packet->stream_index == m_stream) {
            rc = avcodec_send_packet(m_codec.get(), m_packet.get());
            // A damaged packet is skipped, as every player does; the rest plays.
            (void)rc;
        }
        av_packet_unref(m_packet.get());
    }
}

qint64 FfmpegSource::readFrames(qint16 *out, qint64 maxFrames)
{
    qint64 written = 0;
    while (written < maxFrames) {
        if (m_pendingPos >= m_pending.size()) {
            if (!decodeMore())
                return (written == 0 && !m_error.isEmpty()) ? -1 : written;
        }
        const qint64 available = qint64(m_pending.size() - m_pendingPos) / kChannels;
        const qint64 n = std::min(available, maxFrames - written);
        std::copy_n(m_pending.data() + m_pendingPos, n * kChannels, out + written * kChannels);
        m_pendingPos += std::size_t(n * kChannels);
        written += n;
    }
    return written;
}

bool FfmpegSource::seekToTimestamp(int64_t timestamp)
{
    if (av_seek_frame(m_format.get(), m_stream, timestamp, AVSEEK_FLAG_BACKWARD) < 0)
        return false;
    avcodec_flush_buffers(m_codec.get());
    swr_init(m_resampler.get());
    m_pending.clear();
    m_pendingPos = 0;
    m_inputDone = false;
    m_flushed = false;
    m_skipToSample = -1;
    return true;
}

bool FfmpegSource::seekMs(qint64 positionMs)
{
    return seekToTimestamp(av_rescale_q(positionMs, AVRational{1, 1000}, m_format->streams[m_stream]->time_base));
}

bool FfmpegSource::seekToFrame(qint64 frame)
{
    const AVStream *stream = m_format->streams[m_stream];
    const AVCodecID codec = m_codec->codec_id;
    const bool exactTimes = codec == AV_CODEC_ID_FLAC || (codec >= AV_CODEC_ID_FIRST_AUDIO && codec < AV_CODEC_ID_ADPCM_IMA_QT);
    if (!exactTimes || m_codec->sample_rate != kSampleRate || frame < 0)
        return false;
    const int64_t start = stream->start_time == AV_NOPTS_VALUE ? 0 : stream->start_time;
    if (!seekToTimestamp(start + av_rescale_q(frame, AVRational{1, kSampleRate}, stream->time_base)))
        return false;
    m_skipToSample = frame;
    return true;
}

int FfmpegSource::samplesBeforeTarget()
{
    // Where the decoded frame starts, by its timestamp: frames before the
    // target are dropped, and a frame that starts after it means the seek
    // went too far (a file whose timestamps are not what they claim).
    const AVStream *stream = m_format->streams[m_stream];
    const int64_t pts = m_frame->best_effort_timestamp;
    if (pts == AV_NOPTS_VALUE) {
        m_error = fileError(m_path, QStringLiteral("cannot be read from the middle (it has no timestamps)"));
        return -1;
    }
    const int64_t start = stream->start_time == AV_NOPTS_VALUE ? 0 : stream->start_time;
    const int64_t first = av_rescale_q(pts - start, stream->time_base, AVRational{1, kSampleRate});
    if (first > m_skipToSample) {
        m_error = fileError(m_path, QStringLiteral("cannot be read from the middle (its timestamps are not exact)"));
        return -1;
    }
    return int(std::min<int64_t>(m_skipToSample - first, INT_MAX));
}

} // namespace tv::media
