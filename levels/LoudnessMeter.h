#pragma once

#include "SongLevels.h"

#include <QtGlobal>
#include <memory>
#include <vector>

namespace tv::levels {

// Measures one song's loudness as its frames are fed (s16 stereo at
// 44.1 kHz, the playback format): integrated loudness with libebur128, the
// loudest window from the energies of 100 ms blocks, and the true peak as
// the peak of the sound upsampled to 192 kHz (FFmpeg's resampler; the
// short interpolator libebur128 has for 44.1 kHz reads up to half a dB off
// near the top of the band).
// Not thread-safe; one meter per song.
class LoudnessMeter
{
public:
    LoudnessMeter();
    ~LoudnessMeter();
    LoudnessMeter(const LoudnessMeter &) = delete;
    LoudnessMeter &operator=(const LoudnessMeter &) = delete;

    // False when the meter could not be made (out of memory).
    bool isValid() const;
    void addFrames(const qint16 *interleaved, qint64 frames);
    // The figures of everything fed so far.
    SongLevels result();

private:
    void closeBlock();
    void scanPeak(const float *samples, int frames);

    struct State; // libebur128's, which cannot be declared ahead
    std::unique_ptr<State> m_state;
    qint64 m_blockFill = 0;           // frames of the 100 ms block being filled
    std::vector<double> m_blockEnergy; // mean K-weighted energy of each finished block
    std::vector<float> m_upsampled;    // resampler output, reused
    float m_truePeak = 0;              // linear, over both channels
};

} // namespace tv::levels
