#pragma once

#include "SongLevels.h"

#include <QList>
#include <optional>

namespace tv::levels {

// The highest true peak a matched song may reach.
inline constexpr double kPeakCeilingDbtp = -1.0;

// The gain (linear) for each song of a side that brings its loudness to the
// side's common target: targetLufs when given, else the quietest song's
// loudness. A gain never lifts a true peak above kPeakCeilingDbtp (a song
// already above it is lowered to it). A song without figures (not measured)
// or a silent one keeps the gain 1.
QList<double> matchingGains(const QList<std::optional<SongLevels>> &songs, std::optional<double> targetLufs = std::nullopt);

// The target matchingGains aims at, or nothing when no song was measured.
std::optional<double> matchingTarget(const QList<std::optional<SongLevels>> &songs, std::optional<double> targetLufs);

} // namespace tv::levels
