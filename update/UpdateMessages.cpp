#include "UpdateMessages.h"

#include <QCoreApplication>

namespace tv::update {

namespace {
const QString kNewLine = QStringLiteral("\r\n");
QString tr(const char *text)
{
    return QCoreApplication::translate("UpdateMessages", text);
}
} // namespace

QString webSiteText(const QString &webSite)
{
    return QStringLiteral("You can download new updates from our web site at: ") + webSite;
}

QString downloadOutcomeText(UpdateSession::Outcome outcome, const QString &detail, const QString &webSite)
{
    using Outcome = UpdateSession::Outcome;
    switch (outcome) {
    case Outcome::Installed:
        return QStringLiteral("Download complete. Exit and restart the software to use the new version.");
    case Outcome::ReadOnlyFolder:
        return tr("The software is installed in a folder it cannot change (%1).").arg(detail) + kNewLine
            + tr("Update it through your system's package manager.") + kNewLine + webSiteText(webSite);
    case Outcome::NotVerified:
        return tr("The update was not installed because it could not be verified; the software has not been changed.") + kNewLine + detail
            + kNewLine + webSiteText(webSite);
    case Outcome::Failed:
        return tr("The update could not be downloaded; the software has not been changed.") + kNewLine + detail + kNewLine
            + webSiteText(webSite);
    case Outcome::Cancelled:
        break;
    }
    return {};
}

QString downloadProgressText(qint64 received, qint64 total)
{
    if (total <= 0)
        return tr("Downloading the update...");
    return tr("Downloading the update: %1 %").arg(qBound(qint64(0), received * 100 / total, qint64(100)));
}

} // namespace tv::update
