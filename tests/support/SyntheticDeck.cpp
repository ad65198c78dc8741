#include "SyntheticDeck.h"

#include "DeckSignal.h"
#include "FlutterWeighting.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>
#include <random>

namespace tv::test {

namespace {
constexpr double kTwoPi = 2.0 * std::numbers::pi;

double rollOffAlpha(const DeckFaults &faults, double sampleRate)
{
    return 1.0 - std::exp(-kTwoPi * faults.rollOffHz / sampleRate);
}
} // namespace

std::vector<float> playThroughDeck(const DeckFaults &f, double sampleRate)
{
    // The tape's position: speed (1 + a sin(2 pi f t)) integrated.
    const auto clock = [f](double t) {
        const double r = t - f.delaySeconds;
        double tape = r;
        if (f.wowPercent > 0.0)
            tape += f.wowPercent / 100.0 / (kTwoPi * f.wowHz) * (1.0 - std::cos(kTwoPi * f.wowHz * r));
        if (f.flutterPercent > 0.0)
            tape += f.flutterPercent / 100.0 / (kTwoPi * f.flutterHz) * (1.0 - std::cos(kTwoPi * f.flutterHz * r));
        return f.speed * tape;
    };
    std::vector<float> out = tv::deck::renderDeckSignal(sampleRate, clock);
    if (f.withoutMultitone) {
        double multitoneAt = 0.0;
        for (const tv::deck::Segment &s : tv::deck::deckSignalSegments()) {
            if (s.kind == tv::deck::SegmentKind::Multitone)
                break;
            multitoneAt += s.seconds;
        }
        const auto keep = static_cast<std::size_t>((f.delaySeconds + multitoneAt / f.speed) * sampleRate);
        std::fill(out.begin() + static_cast<long>(std::min(keep, out.size())), out.end(), 0.0f);
    }
    if (f.rollOffHz > 0.0) {
        const double alpha = rollOffAlpha(f, sampleRate);
        double y = 0.0;
        for (float &s : out) {
            y += alpha * (s - y);
            s = static_cast<float>(y);
        }
    }
    const double gain = std::pow(10.0, f.gainDb / 20.0);
    // Noise whose RMS is that of a sine at noiseDbfs peak.
    const double noiseRms = std::pow(10.0, f.noiseDbfs / 20.0) / std::sqrt(2.0);
    std::mt19937 random(28);
    std::normal_distribution<double> noise(0.0, noiseRms);
    for (float &s : out)
        s = static_cast<float>(s * gain + noise(random));
    return out;
}

double rollOffDb(const DeckFaults &f, double hz, double referenceHz, double sampleRate)
{
    if (f.rollOffHz <= 0.0)
        return 0.0;
    const double alpha = rollOffAlpha(f, sampleRate);
    const auto gainAt = [&](double at) {
        return std::abs(alpha / (1.0 - (1.0 - alpha) * std::polar(1.0, -kTwoPi * at / sampleRate)));
    };
    return 20.0 * std::log10(gainAt(hz) / gainAt(referenceHz));
}

double expectedWeightedPeakPercent(const DeckFaults &f)
{
    const double wow = f.wowPercent * std::pow(10.0, tv::deck::tableWeightingDb(f.wowHz) / 20.0);
    const double flutter = f.flutterPercent * std::pow(10.0, tv::deck::tableWeightingDb(f.flutterHz) / 20.0);
    // The level the sum of the two weighted wobbles stays under 95 % of the time.
    std::vector<double> magnitudes;
    const int steps = 200000;
    const double span = 100.0 / std::min(f.wowHz, f.flutterHz);
    for (int i = 0; i < steps; ++i) {
        const double t = span * i / steps;
        magnitudes.push_back(std::abs(wow * std::sin(kTwoPi * f.wowHz * t) + flutter * std::sin(kTwoPi * f.flutterHz * t + 1.0)));
    }
    std::sort(magnitudes.begin(), magnitudes.end());
    return magnitudes[static_cast<std::size_t>(0.95 * (steps - 1))];
}

double expectedUnweightedRmsPercent(const DeckFaults &f)
{
    return std::sqrt((f.wowPercent * f.wowPercent + f.flutterPercent * f.flutterPercent) / 2.0);
}

} // namespace tv::test
