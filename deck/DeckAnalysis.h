#pragma once

#include "FlutterMeter.h"
#include "ResponseMeter.h"

#include <QString>

#include <span>
#include <vector>

namespace tv::deck {

// What the deck check heard, from the deck's playback of the test signal.
struct DeckReport
{
    QString error; // empty when every figure was measured
    FlutterFigures flutter;
    std::vector<ResponsePoint> response;
    double levelDbfs = 0.0;       // the level tone as heard (a full-scale sine is 0 dBFS)
    double levelChangeDb = 0.0;   // heard against sent
    double noiseFloorDbfs = 0.0;  // the silence after the level tone, on the same scale
};

// Finds the test signal's parts in mono samples heard from the deck (the
// signal may begin anywhere in them, at any level the deck gives back) and
// measures each.
DeckReport analyseDeckCapture(std::span<const float> samples, double sampleRate);

// How much of the test signal samples hold: none of it yet, all of it
// (with a moment of quiet after its end), or a part heard too long or too
// short (a tape that ran out, a dropout that ate a part).
enum class Hearing { NotYet, Whole, Broken };
Hearing hearSignal(std::span<const float> samples, double sampleRate);

// The RMS level of samples in dBFS, a full-scale sine reading 0 dBFS.
double sineLevelDbfs(std::span<const float> samples);

} // namespace tv::deck
