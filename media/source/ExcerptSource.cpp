#include "ExcerptSource.h"

#include "../AudioFormat.h"

#include <algorithm>
#include <limits>

namespace tv::media {

ExcerptSource::ExcerptSource(std::unique_ptr<AudioSource> sound, qint64 frames, std::function<void()> onFailure)
    : m_sound(std::move(sound)), m_onFailure(std::move(onFailure)), m_frames(std::max<qint64>(0, frames))
{
    if (!m_sound)
        failed();
}

void ExcerptSource::failed()
{
    m_failed = true;
    if (m_onFailure)
        m_onFailure();
}

qint64 ExcerptSource::readFrames(qint16 *out, qint64 maxFrames)
{
    const qint64 wanted = std::min(maxFrames, m_frames - m_at);
    if (wanted <= 0 || (m_whole && !m_sound))
        return 0;
    qint64 got = 0;
    if (m_sound) {
        got = m_sound->readFrames(out, wanted);
        if (got < 0) {
            m_error = m_sound->errorText();
            m_sound.reset();
            failed();
            if (m_whole)
                return -1; // the listener's song: its failure is told
            got = 0;
        } else if (got == 0) {
            m_sound.reset(); // the song is shorter than its share
            if (m_whole)
                return 0; // sought: the song's end is the end
        }
    }
    if (got == 0) {
        got = wanted;
        std::fill(out, out + got * kChannels, qint16(0));
    }
    m_at += got;
    return got;
}

bool ExcerptSource::seekMs(qint64 positionMs)
{
    if (!m_sound) { // a silent share keeps its beat
        m_at = std::clamp<qint64>(framesForMs(positionMs), 0, m_frames);
        return true;
    }
    if (!m_sound->seekMs(positionMs))
        return false;
    m_at = framesForMs(positionMs);
    m_frames = std::numeric_limits<qint64>::max();
    m_whole = true;
    return true;
}

QString ExcerptSource::errorText() const
{
    return m_error;
}

} // namespace tv::media
