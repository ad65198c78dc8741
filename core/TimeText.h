#pragma once

#include <QString>

namespace tv::core {

// Seconds as the program shows them everywhere: MM:SS below an hour, H:MM:SS
// from an hour on; the sign is dropped. Independent of the user's locale.
// Values beyond 9:06:07 (the 16-bit limit) keep the same form with more hours.
QString fnFormatTime(qint64 seconds);

// Reads MM:SS or H:MM:SS back into seconds; false when the text is neither.
bool parseTimeText(const QString &text, qint64 &seconds);

// Rounds to the nearest whole number, an exact half to the even neighbour.
qint64 roundHalfEven(double value);

} // namespace tv::core
