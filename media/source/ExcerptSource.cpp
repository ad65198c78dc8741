#include "ExcerptSource.h"

#include "../AudioFormat.h"

#include <algorithm>

namespace tv::media {

ExcerptSource::ExcerptSource(std::unique_ptr<AudioSource> sound, qint64 frames)
    : m_sound(std::move(sound)), m_frames(std::max<qint64>(0, frames)), m_failed(!m_sound)
{
}

qint64 ExcerptSource::readFrames(qint16 *out, qint64 maxFrames)
{
    const qint64 wanted = std::min(maxFrames, m_frames - m_at);
    if (wanted <= 0)
        return 0;
    qint64 got = 0;
    if (m_sound) {
        got = m_sound->readFrames(out, wanted);
        if (got < 0) {
            m_error = m_sound->errorText();
            m_sound.reset();
            m_failed = true;
            got = 0;
        } else if (got == 0) {
            m_sound.reset(); // the song is shorter than its share
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
    const qint64 to = std::clamp<qint64>(framesForMs(positionMs), 0, m_frames);
    if (m_sound && !m_sound->seekMs(positionMs))
        return false;
    m_at = to;
    return true;
}

QString ExcerptSource::errorText() const
{
    return m_error;
}

} // namespace tv::media
