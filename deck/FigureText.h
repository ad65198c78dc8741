#pragma once

#include <QString>

#include <cmath>

namespace tv::deck {

// Signed figures read as a meter reads them: "+1.23", "−0.40", and a
// bare "0.00" when the figure rounds to nothing.
inline QString signedNumber(double value, int decimals)
{
    const QString digits = QString::number(std::abs(value), 'f', decimals);
    if (digits.toDouble() == 0.0)
        return digits;
    return (value < 0 ? QStringLiteral("\u2212") : QStringLiteral("+")) + digits;
}

} // namespace tv::deck
