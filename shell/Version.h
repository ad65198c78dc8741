#pragma once

#include <QString>

namespace tv::shell {

inline constexpr int kVersionMajor = 7;
inline constexpr int kVersionMinor = 0;
inline constexpr int kVersionRevision = 0;

// "Version 7.0.0"
inline QString versionText()
{
    return QStringLiteral("Version %1.%2.%3").arg(kVersionMajor).arg(kVersionMinor).arg(kVersionRevision);
}

} // namespace tv::shell
