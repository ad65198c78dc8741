#include "ToneTrack.h"

#include "Spectrum.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

namespace tv::deck {

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;
constexpr double kTrackRate = 1000.0;  // about; a whole divisor of the sample rate is used
constexpr double kLowPassHz = 300.0;   // passes flutter up to the weighting's 200 Hz
constexpr int kTaps = 1201;            // flat to 200 Hz, the 2f image far under the noise
constexpr double kFindingWidth = 0.10; // the tone is looked for within 10 % of nominal
constexpr double kWobbleWidth = 0.01;  // a wobbling tone's power lies within 1 % of its peak

// A windowed-sinc low-pass (Blackman window), unity gain at DC.
std::vector<double> lowPass(double sampleRate)
{
    std::vector<double> h(kTaps);
    const double fc = kLowPassHz / sampleRate;
    const int middle = kTaps / 2;
    double sum = 0.0;
    for (int i = 0; i < kTaps; ++i) {
        const int m = i - middle;
        const double sinc = m == 0 ? 2.0 * fc : std::sin(kTwoPi * fc * m) / (std::numbers::pi * m);
        const double x = static_cast<double>(i) / (kTaps - 1);
        const double blackman = 0.42 - 0.5 * std::cos(kTwoPi * x) + 0.08 * std::cos(2.0 * kTwoPi * x);
        h[static_cast<std::size_t>(i)] = sinc * blackman;
        sum += h[static_cast<std::size_t>(i)];
    }
    for (double &v : h)
        v /= sum;
    return h;
}

// The tone's frequency to a fraction of a bin: the strongest bin near
// nominal, refined by a parabola through the log powers around it.
std::optional<double> coarseFrequency(std::span<const float> samples, double sampleRate, double nominalHz)
{
    std::size_t n = 1;
    while (n * 2 <= samples.size() && n < (1u << 17))
        n *= 2;
    const std::span<const float> middle = samples.subspan((samples.size() - n) / 2, n);
    const std::vector<double> power = hannPowerSpectrum(middle);
    const double binHz = sampleRate / static_cast<double>(n);
    const auto from = static_cast<std::size_t>(nominalHz * (1.0 - kFindingWidth) / binHz);
    const auto to = std::min(power.size() - 2, static_cast<std::size_t>(nominalHz * (1.0 + kFindingWidth) / binHz));
    if (from < 1 || from >= to)
        return std::nullopt;
    std::size_t peak = from;
    double total = 0.0;
    for (std::size_t k = from; k <= to; ++k) {
        total += power[k];
        if (power[k] > power[peak])
            peak = k;
    }
    // Most of the power near nominal must be the tone itself.
    const double peakHz = static_cast<double>(peak) * binHz;
    if (total <= 0.0 || bandPower(power, binHz, peakHz, std::max(4.0 * binHz, kWobbleWidth * peakHz)) < 0.5 * total)
        return std::nullopt;
    const double l = std::log(power[peak - 1] + 1e-300);
    const double c = std::log(power[peak] + 1e-300);
    const double r = std::log(power[peak + 1] + 1e-300);
    const double denominator = l - 2.0 * c + r;
    const double shift = denominator != 0.0 ? std::clamp(0.5 * (l - r) / denominator, -0.5, 0.5) : 0.0;
    return (static_cast<double>(peak) + shift) * binHz;
}

} // namespace

std::optional<ToneTrack> followTone(std::span<const float> samples, double sampleRate, double nominalHz, QString *error)
{
    auto fail = [error](const QString &why) -> std::optional<ToneTrack> {
        if (error)
            *error = why;
        return std::nullopt;
    };
    if (samples.size() < static_cast<std::size_t>(sampleRate))
        return fail(QStringLiteral("The tone lasted less than a second."));
    const std::optional<double> found = coarseFrequency(samples, sampleRate, nominalHz);
    if (!found)
        return fail(QStringLiteral("No tone near %1 Hz was heard.").arg(nominalHz));

    const auto decimation = static_cast<std::size_t>(std::max(1.0, std::round(sampleRate / kTrackRate)));
    const double trackRate = sampleRate / static_cast<double>(decimation);
    const std::vector<double> h = lowPass(sampleRate);
    const double step = kTwoPi * *found / sampleRate;

    // Mixed down by the found frequency: what is left turns at the offset of
    // the true frequency from it.
    std::vector<std::complex<double>> mixed(samples.size());
    for (std::size_t i = 0; i < samples.size(); ++i)
        mixed[i] = static_cast<double>(samples[i]) * std::polar(1.0, -step * static_cast<double>(i));

    std::vector<double> phase;
    phase.reserve(samples.size() / decimation);
    double previous = 0.0;
    double unwrapped = 0.0;
    double magnitudeSum = 0.0;
    for (std::size_t start = 0; start + h.size() <= mixed.size(); start += decimation) {
        std::complex<double> y = 0.0;
        for (std::size_t i = 0; i < h.size(); ++i)
            y += h[i] * mixed[start + i];
        const double angle = std::arg(y);
        if (phase.empty()) {
            unwrapped = angle;
        } else {
            double change = angle - previous;
            change -= kTwoPi * std::round(change / kTwoPi);
            unwrapped += change;
        }
        previous = angle;
        phase.push_back(unwrapped);
        magnitudeSum += std::abs(y);
    }
    if (phase.size() < 16 || magnitudeSum / static_cast<double>(phase.size()) < 1e-5)
        return fail(QStringLiteral("No tone near %1 Hz was heard.").arg(nominalHz));

    // The mean: a straight line fitted to the phase (least squares).
    const double count = static_cast<double>(phase.size());
    double sumT = 0.0, sumP = 0.0, sumTT = 0.0, sumTP = 0.0;
    for (std::size_t k = 0; k < phase.size(); ++k) {
        const double t = static_cast<double>(k) / trackRate;
        sumT += t;
        sumP += phase[k];
        sumTT += t * t;
        sumTP += t * phase[k];
    }
    const double slope = (count * sumTP - sumT * sumP) / (count * sumTT - sumT * sumT);

    ToneTrack track;
    track.rate = trackRate;
    track.meanHz = *found + slope / kTwoPi;
    track.hz.reserve(phase.size() - 1);
    for (std::size_t k = 0; k + 1 < phase.size(); ++k)
        track.hz.push_back(*found + (phase[k + 1] - phase[k]) * trackRate / kTwoPi);
    return track;
}

} // namespace tv::deck
