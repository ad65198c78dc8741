#pragma once

#include "../AudioFormat.h"

#include <QtGlobal>
#include <algorithm>
#include <vector>

namespace tv::media {

// A fixed-size circular store of decoded frames. Used by one thread only (the
// playback thread), so it needs no locking.
class FrameRing
{
public:
    explicit FrameRing(qint64 capacityFrames) : m_samples(std::size_t(capacityFrames) * kChannels), m_capacity(capacityFrames) {}

    qint64 frames() const { return m_count; }
    qint64 space() const { return m_capacity - m_count; }
    void clear() { m_head = m_count = 0; }

    // Where the next frames may be written, and how many fit without wrapping.
    qint16 *writeSpan(qint64 &contiguous)
    {
        const qint64 tail = (m_head + m_count) % m_capacity;
        contiguous = std::min(space(), m_capacity - tail);
        return m_samples.data() + tail * kChannels;
    }
    void commit(qint64 frames) { m_count += frames; }

    // Takes one frame from the front; false when empty.
    bool take(qint16 &left, qint16 &right)
    {
        if (m_count == 0)
            return false;
        left = m_samples[std::size_t(m_head * kChannels)];
        right = m_samples[std::size_t(m_head * kChannels + 1)];
        m_head = (m_head + 1) % m_capacity;
        --m_count;
        return true;
    }

private:
    std::vector<qint16> m_samples;
    qint64 m_capacity;
    qint64 m_head = 0;
    qint64 m_count = 0;
};

} // namespace tv::media
