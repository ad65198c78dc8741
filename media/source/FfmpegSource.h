#pragma once

#include "../AudioSource.h"
#include "../FfmpegHandles.h"

#include <vector>

namespace tv::media {

// Decodes any format FFmpeg reads and resamples it to the output format.
class FfmpegSource final : public AudioSource
{
public:
    // Opens path; on failure returns null and sets error to a full sentence.
    static std::unique_ptr<FfmpegSource> open(const QString &path, QString &error);

    qint64 readFrames(qint16 *out, qint64 maxFrames) override;
    bool seekMs(qint64 positionMs) override;
    QString errorText() const override { return m_error; }

    // Moves so that the next frame read is frame (of the output's rate) of
    // the file, exactly. Only where the file's timestamps are exact (PCM,
    // FLAC at 44.1 kHz); false otherwise, and the caller reads from the start.
    bool seekToFrame(qint64 frame);

private:
    FfmpegSource() = default;
    bool decodeMore(); // fills m_pending; false at the end or on failure
    bool seekToTimestamp(int64_t timestamp); // in the stream's time base, to the frame before
    int samplesBeforeTarget(); // of m_frame after seekToFrame; -1 on failure

    QString m_path;
    QString m_error;
    ff::Format m_format;
    ff::Codec m_codec;
    ff::Resampler m_resampler;
    ff::Frame m_frame;
    ff::Packet m_packet;
    int m_stream = -1;
    bool m_inputDone = false;
    bool m_flushed = false;
    std::vector<qint16> m_pending; // resampled frames not yet handed out
    std::size_t m_pendingPos = 0;  // in samples
    qint64 m_skipToSample = -1;    // after seekToFrame: the first sample to keep
};

} // namespace tv::media
