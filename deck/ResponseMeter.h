#pragma once

#include <span>
#include <vector>

namespace tv::deck {

struct ResponsePoint
{
    double hz; // the tone as sent
    double db; // its level as heard, against the 1 kHz tone's
};

// The deck's frequency response from the multitone as heard: each tone's
// power summed over the band it is smeared into by flutter, at its sent
// frequency times the deck's speed (1.0 for a deck at exact speed).
std::vector<ResponsePoint> measureResponse(std::span<const float> samples, double sampleRate, double speed);

} // namespace tv::deck
