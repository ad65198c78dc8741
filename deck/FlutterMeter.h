#pragma once

#include "ToneTrack.h"

#include <vector>

namespace tv::deck {

// What a followed test tone says of a deck's tape speed.
struct FlutterFigures
{
    double speedErrorPercent = 0.0;   // the mean speed against nominal
    double weightedPeakPercent = 0.0; // weighted peak wow and flutter (2 sigma)
    double unweightedRmsPercent = 0.0;
    double rate = 0.0;                   // values per second of the deviation below
    std::vector<double> weightedPercent; // the weighted deviation, for a plot
};

// The deviation of the tone's frequency from its mean, as a fraction, gives
// wow and flutter. Weighted: through the standard's weighting, the level
// that the deviation's magnitude stays under 95 % of the time (two standard
// deviations of a random flutter; the peak of a steady wobble). Unweighted:
// the RMS of the deviation once a straight drift is taken off.
FlutterFigures measureFlutter(const ToneTrack &track, double nominalHz);

} // namespace tv::deck
