#pragma once

#include "../AudioSource.h"

#include <memory>

namespace tv::media {

// Exactly `frames` frames: the start of a sound, then digital silence up to
// that length. A plan of excerpts therefore keeps a fixed beat on the sound
// clock however long or short each file is. A sound that is missing (null)
// or fails part way gives silence for the rest of its share: the beat never
// moves for a damaged file.
class ExcerptSource : public AudioSource
{
public:
    ExcerptSource(std::unique_ptr<AudioSource> sound, qint64 frames);

    qint64 readFrames(qint16 *out, qint64 maxFrames) override;
    bool seekMs(qint64 positionMs) override;
    QString errorText() const override;

    // Whether the sound failed (or was missing), so that part of the
    // excerpt is silence in its place.
    bool soundFailed() const { return m_failed; }

private:
    std::unique_ptr<AudioSource> m_sound;
    QString m_error;
    qint64 m_frames;
    qint64 m_at = 0;
    bool m_failed = false;
};

} // namespace tv::media
