#pragma once

#include <QString>

namespace tv::workspace {

// Where each file dialog and the drive browser were last, kept in the
// settings store (section "Folders") so that the next start opens there.
enum class FolderRole { SavePlaylist, LoadPlaylist, RenderSide, Browser };

// The folder last kept for role, or fallback when none was kept or the
// folder is gone (a removed stick, a deleted folder).
QString rememberedFolder(FolderRole role, const QString &fallback);
void rememberFolder(FolderRole role, const QString &folder);
// The folder of a file the user just chose in a dialog.
void rememberFolderOf(FolderRole role, const QString &filePath);

} // namespace tv::workspace
