#include "Envelope.h"

namespace tv::deck {

void EnvelopeBuilder::addOne(double sample)
{
    m_sum += sample * sample;
    if (++m_count == Envelope::kBlock) {
        m_envelope.power.push_back(static_cast<float>(m_sum / Envelope::kBlock));
        m_sum = 0.0;
        m_count = 0;
    }
}

void EnvelopeBuilder::addMono(const float *samples, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i)
        addOne(samples[i]);
}

void EnvelopeBuilder::addStereo(const qint16 *samples, qint64 frames)
{
    for (qint64 i = 0; i < frames; ++i)
        addOne((samples[2 * i] + samples[2 * i + 1]) / (2.0 * 32768.0));
}

Envelope EnvelopeBuilder::take()
{
    Envelope out = std::move(m_envelope);
    m_envelope = {};
    m_sum = 0.0;
    m_count = 0;
    return out;
}

} // namespace tv::deck
