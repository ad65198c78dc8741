#include "FlutterMeter.h"

#include "FlutterWeighting.h"

#include <algorithm>
#include <cmath>

namespace tv::deck {

namespace {

constexpr double kWarmUpSeconds = 3.0; // the weighting's slowest poles settle in this
constexpr double kPeakShare = 0.95;

// The deviation with its mean and a straight drift taken off.
std::vector<double> detrended(const std::vector<double> &values)
{
    const double n = static_cast<double>(values.size());
    double sumT = 0.0, sumV = 0.0, sumTT = 0.0, sumTV = 0.0;
    for (std::size_t i = 0; i < values.size(); ++i) {
        const double t = static_cast<double>(i);
        sumT += t;
        sumV += values[i];
        sumTT += t * t;
        sumTV += t * values[i];
    }
    const double slope = (n * sumTV - sumT * sumV) / (n * sumTT - sumT * sumT);
    const double offset = (sumV - slope * sumT) / n;
    std::vector<double> out(values.size());
    for (std::size_t i = 0; i < values.size(); ++i)
        out[i] = values[i] - offset - slope * static_cast<double>(i);
    return out;
}

} // namespace

FlutterFigures measureFlutter(const ToneTrack &track, double nominalHz)
{
    FlutterFigures figures;
    figures.speedErrorPercent = (track.meanHz / nominalHz - 1.0) * 100.0;
    figures.rate = track.rate;
    if (track.hz.size() < 4 || track.meanHz <= 0.0)
        return figures;

    std::vector<double> deviation(track.hz.size());
    for (std::size_t i = 0; i < deviation.size(); ++i)
        deviation[i] = track.hz[i] / track.meanHz - 1.0;
    deviation = detrended(deviation);

    double squares = 0.0;
    for (double d : deviation)
        squares += d * d;
    figures.unweightedRmsPercent = std::sqrt(squares / static_cast<double>(deviation.size())) * 100.0;

    // The filter is brought to where the deviation begins by running it first
    // over the opening seconds played backwards, which meet the deviation's
    // first value without a step; so the whole stretch counts.
    FlutterWeightingFilter filter(track.rate);
    const auto warmUp = std::min(deviation.size() - 1, static_cast<std::size_t>(kWarmUpSeconds * track.rate));
    for (std::size_t i = warmUp; i >= 1; --i)
        filter.process(deviation[i]);
    figures.weightedPercent.reserve(deviation.size());
    for (double d : deviation)
        figures.weightedPercent.push_back(filter.process(d) * 100.0);

    std::vector<double> magnitudes(figures.weightedPercent.size());
    std::transform(figures.weightedPercent.begin(), figures.weightedPercent.end(), magnitudes.begin(),
                   [](double v) { return std::abs(v); });
    const auto at = static_cast<std::size_t>(kPeakShare * static_cast<double>(magnitudes.size() - 1));
    std::nth_element(magnitudes.begin(), magnitudes.begin() + static_cast<long>(at), magnitudes.end());
    figures.weightedPeakPercent = magnitudes[at];
    return figures;
}

} // namespace tv::deck
