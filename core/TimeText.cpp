#include "TimeText.h"

#include <QStringList>
#include <cmath>
#include <limits>

namespace tv::core {

QString fnFormatTime(qint64 seconds)
{
    const qint64 s = seconds < 0 ? -seconds : seconds;
    const auto two = [](qint64 v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); };
    if (s < 3600)
        return two(s / 60) + QLatin1Char(':') + two(s % 60);
    return QString::number(s / 3600) + QLatin1Char(':') + two(s / 60 % 60) + QLatin1Char(':') + two(s % 60);
}

bool parseTimeText(const QString &text, qint64 &seconds)
{
    const QStringList parts = text.split(QLatin1Char(':'));
    if (parts.size() < 2 || parts.size() > 3)
        return false;
    qint64 total = 0;
    for (const QString &part : parts) {
        bool ok = false;
        const qint64 v = part.toLongLong(&ok);
        if (!ok || v < 0 || part.isEmpty())
            return false;
        total = total * 60 + v;
    }
    seconds = total;
    return true;
}

qint64 roundHalfEven(double value)
{
    // The default floating-point rounding mode rounds halves to even. Values
    // beyond the 64-bit range saturate (a conversion of them is undefined);
    // NaN counts as 0.
    if (std::isnan(value))
        return 0;
    const double rounded = std::nearbyint(value);
    if (rounded >= 9223372036854775807.0)
        return std::numeric_limits<qint64>::max();
    if (rounded <= -9223372036854775808.0)
        return std::numeric_limits<qint64>::min();
    return qint64(rounded);
}

} // namespace tv::core
