#include "UpdateSite.h"

#include "Signature.h"
#include "UpdateBuildConfig.h"

#include <QHostAddress>
#include <optional>

namespace tv::update {

namespace {
std::optional<UpdateSite> &overridden()
{
    static std::optional<UpdateSite> site;
    return site;
}

QUrl folderUrl(const QString &text)
{
    if (text.isEmpty())
        return {};
    return QUrl(text.endsWith(QLatin1Char('/')) ? text : text + QLatin1Char('/'));
}
} // namespace

UpdateSite builtInUpdateSite()
{
    return { folderUrl(QStringLiteral(TV_UPDATE_URL)), QStringLiteral(TV_WEB_SITE),
        publicKeyFromHex(QStringLiteral(TV_UPDATE_PUBLIC_KEY)) };
}

UpdateSite updateSite()
{
    return overridden() ? *overridden() : builtInUpdateSite();
}

void setUpdateSite(const UpdateSite &site)
{
    overridden() = site;
}

void resetUpdateSite()
{
    overridden().reset();
}

bool isSecureAddress(const QUrl &url)
{
    if (!url.isValid() || url.host().isEmpty())
        return false;
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("https"))
        return true;
    return scheme == QLatin1String("http") && QHostAddress(url.host()).isLoopback();
}

} // namespace tv::update
