#pragma once

#include <QString>

namespace tv::shell {

// The folder that holds a file the program loads at run time (the start-up
// sound, the help guide), found from the running executable's own location
// so that the build folder, an install prefix and the package all work: the
// executable's real folder (links resolved) when the file is there, else
// <prefix>/lib/tapevantrel when the executable lies in <prefix>/bin (a copy
// instead of a link) and the file is there; else the executable's folder,
// so that a message can name where the file was looked for.
QString runtimeFolder(const QString &fileName);
// The same rule for a given executable folder, for tests.
QString runtimeFolderFor(const QString &executableFolder, const QString &fileName);

// Whether the user may keep files in the folder: it can be written and
// searched, and some write bit is set (a folder that nobody may write to, as
// a package manager installs it, counts as read-only even for root).
bool isFolderWritable(const QString &folder);

// Where the file dialogs for the user's own files (playlists) start: the
// program's folder when it is writable (a build or portable folder);
// otherwise "TapeVantrel" under the user's documents folder, made on first
// use. Should that folder not be made, the documents folder itself (or the
// home folder).
QString userFilesFolder(const QString &programFolder);

} // namespace tv::shell
