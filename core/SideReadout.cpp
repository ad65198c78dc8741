#include "SideReadout.h"

#include "TimeText.h"

namespace tv::core {

SideReadout computeSideReadout(qint64 songSeconds, qint64 entries, qint64 delaySeconds, qint64 sideLength)
{
    SideReadout r;
    const qint64 gap = (delaySeconds < 1 || entries == 0) ? 0 : (entries - 1) * delaySeconds;
    r.total = songSeconds + gap;
    r.remaining = sideLength - r.total;
    r.overFull = r.remaining < 0;
    r.info = QStringLiteral("[ Time Used: ") + fnFormatTime(r.total) + (r.overFull ? QStringLiteral(" ][ Available: -") : QStringLiteral(" ][ Available: "))
             + fnFormatTime(r.remaining) + QStringLiteral(" ]");
    return r;
}

} // namespace tv::core
