#pragma once

#include <utility>
#include <vector>

namespace tv::test {

// A side of made-up songs (chords that swell and fade, with a beat), and a
// deck that gives it back with faults of known size and place.
struct MadeUpSide
{
    int songs = 3;
    double songSeconds = 6.0;
    double gapSeconds = 2.0;  // the song delay
    double leadSeconds = 0.0; // before the first song
    double tailSeconds = 0.5; // after the last

    double seconds() const;
    double songStart(int song) const;
    // The side's value at t seconds (0 in the silences).
    double valueAt(double t) const;
    // One song alone, as its file holds it.
    std::vector<float> song(int song, double sampleRate) const;
    std::vector<float> render(double sampleRate) const;
};

struct SideFaults
{
    double speed = 1.0;
    double wowPercent = 0.0; // at 0.5 Hz
    double delaySeconds = 1.3;
    double gainDb = 0.0;
    double noiseDbfs = -200.0;
    double rollOffHz = 0.0; // a one-pole high cut there (0: none)
    double dropoutDepthDb = 20.0;
    std::vector<std::pair<double, double>> dropouts = {}; // at side seconds, lasting seconds
    double cutAtSeconds = -1.0; // the tape ends here (side seconds), none when negative
};

// The side as the deck plays it back, mono at sampleRate.
std::vector<float> playSideThroughDeck(const MadeUpSide &side, const SideFaults &faults, double sampleRate);

} // namespace tv::test
