#include "LevelMatching.h"

#include <algorithm>
#include <cmath>

namespace tv::levels {

namespace {
// Kept below the ceiling for the rounding to 16 bits and the meter's own
// spread, so that the matched song measures at or below it.
constexpr double kPeakMarginDb = 0.05;

bool measured(const std::optional<SongLevels> &song)
{
    return song && !song->isSilent();
}
} // namespace

std::optional<double> matchingTarget(const QList<std::optional<SongLevels>> &songs, std::optional<double> targetLufs)
{
    if (targetLufs)
        return targetLufs;
    std::optional<double> quietest;
    for (const auto &song : songs) {
        if (measured(song) && (!quietest || song->integratedLufs < *quietest))
            quietest = song->integratedLufs;
    }
    return quietest;
}

QList<double> matchingGains(const QList<std::optional<SongLevels>> &songs, std::optional<double> targetLufs)
{
    const std::optional<double> target = matchingTarget(songs, targetLufs);
    QList<double> gains;
    for (const auto &song : songs) {
        if (!measured(song) || !target) {
            gains.append(1.0);
            continue;
        }
        double db = *target - song->integratedLufs;
        if (std::isfinite(song->truePeakDbtp))
            db = std::min(db, kPeakCeilingDbtp - kPeakMarginDb - song->truePeakDbtp);
        gains.append(std::pow(10.0, db / 20.0));
    }
    return gains;
}

} // namespace tv::levels
