#include "VersionFile.h"

#include "VersionNumber.h"

namespace tv::update {

QString strVersion(int major, int minor)
{
    return QString::number(major) + QString::number(minor);
}

QString strVersion()
{
    const VersionNumber running = runningVersion();
    return strVersion(running.part(0), running.part(1));
}

QString offerText(const QString &exeName)
{
    return QStringLiteral("A New Version of ") + exeName + QStringLiteral(" is Available.") + QStringLiteral("\r\n")
        + QStringLiteral("Click Download to Automatically Update.");
}

} // namespace tv::update
