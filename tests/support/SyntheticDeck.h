#pragma once

#include <vector>

namespace tv::test {

// A cassette deck made up at test time: it plays the deck check's signal
// back with faults of known size.
struct DeckFaults
{
    double speed = 1.0;          // 1.0123: 1.23 % fast
    double wowHz = 0.5;
    double wowPercent = 0.0;     // peak speed deviation
    double flutterHz = 10.0;
    double flutterPercent = 0.0;
    double rollOffHz = 0.0;      // a one-pole high cut there (0: none)
    double gainDb = 0.0;
    double delaySeconds = 0.7;   // before the signal begins
    double noiseDbfs = -200.0;   // white noise, peak level of an equal-power sine
    bool withoutMultitone = false; // the tape ends before the multitone
};

// The signal as the deck gives it back, mono at sampleRate.
std::vector<float> playThroughDeck(const DeckFaults &faults, double sampleRate);

// The roll-off's exact gain at hz against its gain at referenceHz, in dB.
double rollOffDb(const DeckFaults &faults, double hz, double referenceHz, double sampleRate);

// The weighted peak (2 sigma) that the standard's weighting table gives for
// the faults' wow and flutter, in percent.
double expectedWeightedPeakPercent(const DeckFaults &faults);
// The RMS of the faults' speed deviation, in percent.
double expectedUnweightedRmsPercent(const DeckFaults &faults);

} // namespace tv::test
