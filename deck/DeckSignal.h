#pragma once

#include "AudioSource.h"

#include <functional>
#include <span>
#include <vector>

namespace tv::deck {

// The deck check's test signal, sent to the deck and heard back from it:
// a level tone, a stretch of silence for the noise floor, a long speed tone
// for speed and flutter, then a multitone for the frequency response. The
// silences between the parts let the check find each part again in what
// it hears, whatever the deck's delay and speed.
enum class SegmentKind { Silence, LevelTone, SpeedTone, Multitone };
struct Segment
{
    SegmentKind kind;
    double seconds;
};

inline constexpr double kLevelToneHz = 1000.0;
inline constexpr double kSpeedToneHz = 3150.0; // the wow-and-flutter standard's tone
inline constexpr double kSentLevelDbfs = -10.0;  // the level and speed tones' peak level
inline constexpr double kMultitoneDbfs = -30.0;  // each of the multitone's tones

std::span<const Segment> deckSignalSegments();
double deckSignalSeconds();
// The multitone's tones: the third-octave centres from 31.5 Hz to 16 kHz.
std::span<const double> responseTonesHz();

// Where the tape is (in seconds of the signal) at each second of real time:
// a deck that runs fast or wobbles. None: the signal as sent.
using TapeClock = std::function<double(double seconds)>;

// The signal as mono samples at sampleRate, each tone's phase taken from
// the tape clock, so a wobbling clock gives exactly that frequency wobble.
std::vector<float> renderDeckSignal(double sampleRate, const TapeClock &clock = {});

// The signal as the sound output plays it (both channels alike).
class DeckSignalSource final : public tv::media::AudioSource
{
public:
    DeckSignalSource();
    explicit DeckSignalSource(std::vector<float> mono);

    qint64 readFrames(qint16 *out, qint64 maxFrames) override;
    bool seekMs(qint64 positionMs) override;
    QString errorText() const override { return {}; }

private:
    std::vector<float> m_mono;
    std::size_t m_at = 0;
};

} // namespace tv::deck
