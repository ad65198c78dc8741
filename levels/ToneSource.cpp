#include "ToneSource.h"

#include "AudioFormat.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tv::levels {

ToneSource::ToneSource(double levelDbfs, int hz)
    : m_amplitude(32767.0 * std::pow(10.0, std::min(0.0, levelDbfs) / 20.0)), m_hz(hz)
{
}

qint64 ToneSource::readFrames(qint16 *out, qint64 maxFrames)
{
    const double step = 2.0 * std::numbers::pi * m_hz / tv::media::kSampleRate;
    for (qint64 i = 0; i < maxFrames; ++i) {
        const auto s = qint16(std::lround(m_amplitude * std::sin(step * double(m_frame))));
        out[2 * i] = out[2 * i + 1] = s;
        m_frame = (m_frame + 1) % tv::media::kSampleRate;
    }
    return maxFrames;
}

bool ToneSource::seekMs(qint64 positionMs)
{
    m_frame = tv::media::framesForMs(std::max<qint64>(0, positionMs)) % tv::media::kSampleRate;
    return true;
}

} // namespace tv::levels
