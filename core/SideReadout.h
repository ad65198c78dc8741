#pragma once

#include <QString>

namespace tv::core {

// The time read-out of one side: the songs' total plus the silences between
// songs, against the side's length.
struct SideReadout
{
    qint64 total = 0;
    qint64 remaining = 0;
    bool overFull = false;
    QString info; // "[ Time Used: T ][ Available: R ]", R with "-" when over-full
};

// songSeconds: the side's running total; entries: how many songs it holds;
// delaySeconds: the song delay (no gap below 1 s or without songs).
SideReadout computeSideReadout(qint64 songSeconds, qint64 entries, qint64 delaySeconds, qint64 sideLength);

} // namespace tv::core
