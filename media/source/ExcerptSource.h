#pragma once

#include "../AudioSource.h"

#include <functional>
#include <memory>

namespace tv::media {

// Exactly `frames` frames: the start of a sound, then digital silence up to
// that length. A plan of excerpts therefore keeps a fixed beat on the sound
// clock however long or short each file is. A sound that is missing (null)
// or fails part way gives silence for the rest of its share: the beat never
// moves for a damaged file. A seek is the listener's own: the sound then
// plays on from there without the limit.
class ExcerptSource : public AudioSource
{
public:
    // onFailure is called (on the reading thread) once, when the sound is
    // missing or fails.
    ExcerptSource(std::unique_ptr<AudioSource> sound, qint64 frames, std::function<void()> onFailure = {});

    qint64 readFrames(qint16 *out, qint64 maxFrames) override;
    bool seekMs(qint64 positionMs) override;
    QString errorText() const override;

    // Whether the sound failed (or was missing), so that part of the
    // excerpt is silence in its place.
    bool soundFailed() const { return m_failed; }

private:
    void failed();

    std::unique_ptr<AudioSource> m_sound;
    std::function<void()> m_onFailure;
    QString m_error;
    qint64 m_frames;
    qint64 m_at = 0;
    bool m_failed = false;
    bool m_whole = false; // sought: the sound plays to its end
};

} // namespace tv::media
