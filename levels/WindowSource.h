#pragma once

#include "AudioSource.h"

#include <functional>
#include <memory>

namespace tv::levels {

// A stretch of a song played over and over: [startMs, startMs + lengthMs),
// then the same stretch again, without end. The song is opened afresh for
// each round, so a source that cannot seek still loops.
class WindowSource final : public tv::media::AudioSource
{
public:
    using Opener = std::function<std::unique_ptr<tv::media::AudioSource>(QString &error)>;
    WindowSource(Opener open, qint64 startMs, qint64 lengthMs);

    qint64 readFrames(qint16 *out, qint64 maxFrames) override;
    bool seekMs(qint64 positionMs) override;
    QString errorText() const override { return m_error; }

private:
    bool beginRound();

    Opener m_open;
    qint64 m_startMs;
    qint64 m_lengthFrames;
    std::unique_ptr<tv::media::AudioSource> m_source;
    qint64 m_leftInRound = 0;
    QString m_error;
};

} // namespace tv::levels
