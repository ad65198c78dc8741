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

private:
    FfmpegSource() = default;
    bool decodeMore(); // fills m_pending; false at the end or on failure

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
};

} // namespace tv::media
