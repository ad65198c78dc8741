#pragma once

#include <QString>

namespace tv::shell {

inline constexpr int kVersionMajor = 7;
inline constexpr int kVersionMinor = 0;
inline constexpr int kVersionRevision = 0;

// "7.0.0"
inline QString versionNumber()
{
    return QStringLiteral("%1.%2.%3").arg(kVersionMajor).arg(kVersionMinor).arg(kVersionRevision);
}

// "Version 7.0.0"
inline QString versionText()
{
    return QStringLiteral("Version ") + versionNumber();
}

} // namespace tv::shell
