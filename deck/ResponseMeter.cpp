#include "ResponseMeter.h"

#include "DeckSignal.h"
#include "Spectrum.h"

#include <algorithm>
#include <cmath>

namespace tv::deck {

namespace {

constexpr std::size_t kLongestWindow = std::size_t{1} << 17;
constexpr double kFlutterSpread = 0.005; // half a percent either side: more than any deck wobbles
constexpr double kNeighbourShare = 0.1;  // third-octave neighbours lie 23 % and more away

} // namespace

std::vector<ResponsePoint> measureResponse(std::span<const float> samples, double sampleRate, double speed)
{
    std::size_t n = 1;
    while (n * 2 <= samples.size() && n < kLongestWindow)
        n *= 2;
    if (n < 4096)
        return {};
    const std::vector<double> power = hannPowerSpectrum(samples.subspan((samples.size() - n) / 2, n));
    const double binHz = sampleRate / static_cast<double>(n);

    std::vector<ResponsePoint> points;
    double reference = 0.0;
    for (double sent : responseTonesHz()) {
        const double heard = sent * speed;
        if (heard >= sampleRate / 2.0)
            break;
        const double halfWidth = std::min(std::max(4.0 * binHz, kFlutterSpread * heard), kNeighbourShare * heard);
        const double p = bandPower(power, binHz, heard, halfWidth);
        points.push_back({sent, p});
        if (sent == kLevelToneHz)
            reference = p;
    }
    for (ResponsePoint &point : points)
        point.db = reference > 0.0 && point.db > 0.0 ? 10.0 * std::log10(point.db / reference) : -200.0;
    return points;
}

} // namespace tv::deck
