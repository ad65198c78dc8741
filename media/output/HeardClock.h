#pragma once

#include <QtGlobal>
#include <deque>

namespace tv::media {

// Maps the frames handed to the sound output to positions in the song: each
// stretch handed over is recorded with the song frame it started at (or as
// silence), so that the frame the listener hears now can be turned back into
// a place in the song, pauses and all.
class HeardClock
{
public:
    void reset(qint64 songFrame)
    {
        m_stretches.clear();
        m_lastSongFrame = songFrame;
    }

    // outStart: index in the output stream; songStart < 0 for silence.
    void handed(qint64 outStart, qint64 count, qint64 songStart)
    {
        if (count <= 0)
            return;
        if (!m_stretches.empty()) {
            Stretch &last = m_stretches.back();
            const bool joins = last.outStart + last.count == outStart
                               && ((songStart < 0 && last.songStart < 0) || (songStart >= 0 && last.songStart >= 0 && last.songStart + last.count == songStart));
            if (joins) {
                last.count += count;
                return;
            }
        }
        m_stretches.push_back({outStart, count, songStart});
    }

    // The song frame heard at output index heardOut.
    qint64 songFrameAt(qint64 heardOut)
    {
        while (!m_stretches.empty()) {
            const Stretch &s = m_stretches.front();
            if (heardOut < s.outStart)
                break;
            if (heardOut < s.outStart + s.count) {
                if (s.songStart >= 0)
                    m_lastSongFrame = s.songStart + (heardOut - s.outStart);
                return m_lastSongFrame;
            }
            if (s.songStart >= 0)
                m_lastSongFrame = s.songStart + s.count;
            m_stretches.pop_front();
        }
        return m_lastSongFrame;
    }

private:
    struct Stretch
    {
        qint64 outStart;
        qint64 count;
        qint64 songStart;
    };
    std::deque<Stretch> m_stretches;
    qint64 m_lastSongFrame = 0;
};

} // namespace tv::media
