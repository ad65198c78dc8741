#include "SongLevels.h"

namespace tv::levels {

namespace {
QString figure(double value)
{
    // A decimal point whatever the user's locale, as meters show it.
    return std::isfinite(value) ? QString::number(value, 'f', 1) : QStringLiteral("-inf");
}
} // namespace

QString levelsText(const SongLevels &levels)
{
    return QStringLiteral("%1 LUFS, peak %2 dBTP").arg(figure(levels.integratedLufs), figure(levels.truePeakDbtp));
}

} // namespace tv::levels
