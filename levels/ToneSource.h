#pragma once

#include "AudioSource.h"

namespace tv::levels {

// The EBU alignment level, the calibration tone's level unless set otherwise.
inline constexpr double kAlignmentLevelDbfs = -18.0;
inline constexpr int kCalibrationHz = 1000;

// A steady sine on both channels, without end: the calibration tone for
// lining up a deck's meters. levelDbfs is the sine's peak against full scale
// (a full-scale sine is 0 dBFS).
class ToneSource final : public tv::media::AudioSource
{
public:
    explicit ToneSource(double levelDbfs = kAlignmentLevelDbfs, int hz = kCalibrationHz);

    qint64 readFrames(qint16 *out, qint64 maxFrames) override;
    bool seekMs(qint64 positionMs) override;
    QString errorText() const override { return {}; }

private:
    double m_amplitude;
    int m_hz;
    qint64 m_frame = 0; // within one second: a whole number of periods, so no drift
};

} // namespace tv::levels
