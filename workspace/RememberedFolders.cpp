#include "RememberedFolders.h"

#include "Settings.h"

#include <QFileInfo>

namespace tv::workspace {

namespace {
const QString kSection = QStringLiteral("Folders");

QString keyOf(FolderRole role)
{
    switch (role) {
    case FolderRole::SavePlaylist:
        return QStringLiteral("SavePlaylist");
    case FolderRole::LoadPlaylist:
        return QStringLiteral("LoadPlaylist");
    case FolderRole::RenderSide:
        return QStringLiteral("RenderSide");
    case FolderRole::Browser:
        break;
    }
    return QStringLiteral("Browser");
}
} // namespace

QString rememberedFolder(FolderRole role, const QString &fallback)
{
    const QString kept = tv::shell::getSetting(kSection, keyOf(role));
    return !kept.isEmpty() && QFileInfo(kept).isDir() ? kept : fallback;
}

void rememberFolder(FolderRole role, const QString &folder)
{
    if (folder.isEmpty() || tv::shell::getSetting(kSection, keyOf(role)) == folder)
        return;
    tv::shell::saveSetting(kSection, keyOf(role), folder);
}

void rememberFolderOf(FolderRole role, const QString &filePath)
{
    if (!filePath.trimmed().isEmpty())
        rememberFolder(role, QFileInfo(filePath).absolutePath());
}

} // namespace tv::workspace
