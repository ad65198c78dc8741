#pragma once

#include <QtGlobal>

#include <vector>

namespace tv::deck {

// The power of a sound in blocks of about a millisecond: enough to find
// where one sound sits in another and to see a dropout, at a thousandth of
// the memory of the samples (a 45-minute side: 11 MB).
struct Envelope
{
    static constexpr int kBlock = 44; // samples at 44.1 kHz
    static constexpr double kBlockSeconds = kBlock / 44100.0;
    std::vector<float> power; // mean square of each block
};

// Builds an envelope from samples as they come, in any pieces.
class EnvelopeBuilder
{
public:
    void addMono(const float *samples, std::size_t count);
    // Interleaved stereo 16-bit frames, mixed to mono.
    void addStereo(const qint16 *samples, qint64 frames);
    const Envelope &envelope() const { return m_envelope; }
    Envelope take();

private:
    void addOne(double sample);

    Envelope m_envelope;
    double m_sum = 0.0;
    int m_count = 0;
};

} // namespace tv::deck
