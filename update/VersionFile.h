#pragma once

#include <QString>

namespace tv::update {

// The version as the first line of version.dat gives it, the form older
// programs compare: the major version followed directly by the minor, in
// plain decimal ("70" for 7.0, "710" for 7.10).
QString strVersion(int major, int minor);
QString strVersion(); // the running program's

// version.dat is a few lines; a larger answer is not one.
inline constexpr qint64 kMaxVersionFileBytes = 64 * 1024;

// The window's offer: "A New Version of <program> is Available.", CR LF,
// "Click Download to Automatically Update.".
QString offerText(const QString &exeName);

} // namespace tv::update
