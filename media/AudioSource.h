#pragma once

#include <QString>
#include <QtGlobal>

namespace tv::media {

// A stream of PCM frames in the format of AudioFormat.h (interleaved s16 stereo
// at 44.1 kHz). A source may be made on any thread; afterwards exactly one
// thread at a time uses it (the playback thread).
class AudioSource
{
public:
    virtual ~AudioSource() = default;

    // Writes at most maxFrames frames to out and returns how many it wrote:
    // 0 at the end of the stream, -1 after a failure (errorText() says why).
    virtual qint64 readFrames(qint16 *out, qint64 maxFrames) = 0;

    // Moves to positionMs from the start. False when the source cannot seek.
    virtual bool seekMs(qint64 positionMs) = 0;

    // A sentence naming the file and the reason of the last failure.
    virtual QString errorText() const = 0;
};

} // namespace tv::media
