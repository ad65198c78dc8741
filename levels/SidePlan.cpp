#include "SidePlan.h"

#include <algorithm>

namespace tv::levels {

QList<PlannedSong> planSide(const QStringList &paths, qint64 songDelayMs, const QList<double> &gains, qint64 leadInMs)
{
    QList<PlannedSong> plan;
    const qint64 delay = std::max<qint64>(0, songDelayMs);
    for (qsizetype k = 0; k < paths.size(); ++k) {
        PlannedSong song;
        song.path = paths.at(k);
        song.silenceBeforeMs = k > 0 ? delay : std::max<qint64>(0, leadInMs);
        song.gain = k < gains.size() ? gains.at(k) : 1.0;
        plan.append(song);
    }
    return plan;
}

} // namespace tv::levels
