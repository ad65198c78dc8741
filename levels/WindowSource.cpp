#include "WindowSource.h"

#include "AudioFormat.h"

#include <algorithm>
#include <vector>

namespace tv::levels {

WindowSource::WindowSource(Opener open, qint64 startMs, qint64 lengthMs)
    : m_open(std::move(open)), m_startMs(std::max<qint64>(0, startMs)), m_lengthFrames(tv::media::framesForMs(std::max<qint64>(0, lengthMs)))
{
}

bool WindowSource::beginRound()
{
    m_source = m_open(m_error);
    if (!m_source)
        return false;
    if (m_startMs > 0 && !m_source->seekMs(m_startMs)) {
        // No seeking: read up to the start.
        std::vector<qint16> skip(8192 * tv::media::kChannels);
        for (qint64 left = tv::media::framesForMs(m_startMs); left > 0;) {
            const qint64 n = m_source->readFrames(skip.data(), std::min<qint64>(left, 8192));
            if (n <= 0)
                break;
            left -= n;
        }
    }
    m_leftInRound = m_lengthFrames;
    return true;
}

qint64 WindowSource::readFrames(qint16 *out, qint64 maxFrames)
{
    if (m_lengthFrames <= 0)
        return 0;
    qint64 got = 0;
    for (int emptyRounds = 0; got < maxFrames && emptyRounds < 2;) {
        if (!m_source || m_leftInRound <= 0) {
            if (!beginRound())
                return got > 0 ? got : -1;
        }
        const qint64 n = m_source->readFrames(out + got * tv::media::kChannels, std::min(maxFrames - got, m_leftInRound));
        if (n < 0) {
            m_error = m_source->errorText();
            return got > 0 ? got : -1;
        }
        if (n == 0) {
            // The song ended before the window did: the next round begins.
            m_leftInRound = 0;
            ++emptyRounds;
            continue;
        }
        emptyRounds = 0;
        got += n;
        m_leftInRound -= n;
    }
    return got;
}

bool WindowSource::seekMs(qint64)
{
    m_source.reset(); // back to the window's start
    return true;
}

} // namespace tv::levels
