#pragma once

#include <QString>
#include <QtGlobal>
#include <cmath>

namespace tv::levels {

// What the level tools know of one song: its EBU R128 integrated loudness,
// its true peak, and the loudest stretch of it (the window of highest
// loudness, at most kLoudestWindowMs long).
struct SongLevels
{
    double integratedLufs = -HUGE_VAL; // -inf for a silent song
    double truePeakDbtp = -HUGE_VAL;   // -inf for a silent song
    qint64 loudestStartMs = 0;         // from the song's start
    qint64 loudestLengthMs = 0;        // shorter than the window only for a shorter song
    double loudestLufs = -HUGE_VAL;    // loudness of that window (ungated)

    bool isSilent() const { return !std::isfinite(integratedLufs); }
};

inline constexpr qint64 kLoudestWindowMs = 10000;

// "-14.2 LUFS, peak -0.3 dBTP": the playlist entry's tool tip.
QString levelsText(const SongLevels &levels);

} // namespace tv::levels
