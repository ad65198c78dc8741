#include "SyntheticSide.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>

namespace tv::test {

namespace {
constexpr double kTwoPi = 2.0 * std::numbers::pi;

double songValue(int k, double u)
{
    const double base = 196.0 * (1.0 + 0.19 * k);
    double chord = 0.0;
    for (double ratio : {1.0, 1.259921, 1.498307, 2.0}) // an equal-tempered major chord
        chord += 0.12 * std::sin(kTwoPi * base * ratio * u + ratio);
    // Two swells at rates with no common period, so no stretch of a song
    // looks like another.
    const double swell = 0.6 + 0.25 * std::sin(kTwoPi * (1.3 + 0.4 * k) * u) + 0.15 * std::sin(kTwoPi * 0.37 * std::sqrt(2.0 + k) * u * u);
    // Beats at uneven times: a short decaying burst high up.
    double beat = 0.0;
    const int n = static_cast<int>(u / 0.3);
    for (int b = std::max(0, n - 1); b <= n; ++b) {
        const double at = 0.3 * b + 0.12 * std::sin(12.9898 * (b + 1) * (k + 1)); // a fixed jitter per beat
        if (u >= at)
            beat += 0.3 * std::exp(-(u - at) / 0.04) * std::sin(kTwoPi * 2500.0 * u);
    }
    return chord * swell + beat;
}
} // namespace

double MadeUpSide::seconds() const
{
    return leadSeconds + songs * songSeconds + (songs - 1) * gapSeconds + tailSeconds;
}

double MadeUpSide::songStart(int song) const
{
    return leadSeconds + song * (songSeconds + gapSeconds);
}

double MadeUpSide::valueAt(double t) const
{
    for (int k = 0; k < songs; ++k) {
        const double u = t - songStart(k);
        if (u >= 0.0 && u < songSeconds)
            return songValue(k, u);
    }
    return 0.0;
}

std::vector<float> MadeUpSide::song(int k, double sampleRate) const
{
    std::vector<float> out(static_cast<std::size_t>(songSeconds * sampleRate));
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = static_cast<float>(songValue(k, static_cast<double>(i) / sampleRate));
    return out;
}

std::vector<float> MadeUpSide::render(double sampleRate) const
{
    std::vector<float> out(static_cast<std::size_t>(seconds() * sampleRate));
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = static_cast<float>(valueAt(static_cast<double>(i) / sampleRate));
    return out;
}

std::vector<float> playSideThroughDeck(const MadeUpSide &side, const SideFaults &f, double sampleRate)
{
    const double total = f.delaySeconds + side.seconds() / f.speed + 0.5;
    std::vector<float> out(static_cast<std::size_t>(total * sampleRate));
    const double gain = std::pow(10.0, f.gainDb / 20.0);
    const double dropoutGain = std::pow(10.0, -f.dropoutDepthDb / 20.0);
    const double noiseRms = std::pow(10.0, f.noiseDbfs / 20.0) / std::sqrt(2.0);
    std::mt19937 random(24);
    std::normal_distribution<double> noise(0.0, noiseRms);
    const double alpha = 1.0 - std::exp(-kTwoPi * f.rollOffHz / sampleRate);
    double rolled = 0.0;
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double r = static_cast<double>(i) / sampleRate - f.delaySeconds;
        double tape = r;
        if (f.wowPercent > 0.0)
            tape += f.wowPercent / 100.0 / (kTwoPi * 0.5) * (1.0 - std::cos(kTwoPi * 0.5 * r));
        tape *= f.speed;
        double v = 0.0;
        if (tape >= 0.0 && tape < side.seconds() && (f.cutAtSeconds < 0.0 || tape < f.cutAtSeconds)) {
            v = side.valueAt(tape) * gain;
            for (const auto &[at, seconds] : f.dropouts)
                if (tape >= at && tape < at + seconds)
                    v *= dropoutGain;
        }
        if (f.rollOffHz > 0.0)
            v = rolled += alpha * (v - rolled);
        out[i] = static_cast<float>(v + noise(random));
    }
    return out;
}

} // namespace tv::test
