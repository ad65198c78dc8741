#pragma once

#include "UpdateSession.h"

#include <QString>

namespace tv::update {

// "You can download new updates from our web site at: <site>"
QString webSiteText(const QString &webSite);

// The message that ends a download, for each way it can end (none for a
// cancelled one). Each failure says that the program was not changed and
// where to download by hand.
QString downloadOutcomeText(UpdateSession::Outcome outcome, const QString &detail, const QString &webSite);

// "Downloading the update: 42 %"
QString downloadProgressText(qint64 received, qint64 total);

} // namespace tv::update
