#include "ProgramFolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <sys/stat.h>
#include <unistd.h>

namespace tv::shell {

namespace {
// Relative to <prefix>/bin, where links (or copies) of the programs lie.
const QString kInstalledFolder = QStringLiteral("../lib/tapevantrel");
} // namespace

QString runtimeFolderFor(const QString &executableFolder, const QString &fileName)
{
    const QDir folder(executableFolder);
    if (!QFileInfo::exists(folder.filePath(fileName)) && folder.dirName() == QLatin1String("bin")) {
        const QString installed = QDir::cleanPath(folder.filePath(kInstalledFolder));
        if (QFileInfo::exists(QDir(installed).filePath(fileName)))
            return installed;
    }
    return executableFolder;
}

QString runtimeFolder(const QString &fileName)
{
    return runtimeFolderFor(QCoreApplication::applicationDirPath(), fileName);
}

bool isFolderWritable(const QString &folder)
{
    const QByteArray path = QFile::encodeName(folder);
    struct stat st;
    if (folder.isEmpty() || ::stat(path.constData(), &st) != 0 || !S_ISDIR(st.st_mode))
        return false;
    // access() also says no for a read-only mount, even to root.
    if (::access(path.constData(), W_OK | X_OK) != 0)
        return false;
    return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
}

QString userFilesFolder(const QString &programFolder)
{
    if (isFolderWritable(programFolder))
        return programFolder;
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty())
        documents = QDir::homePath();
    const QString own = QDir(documents).filePath(QStringLiteral("TapeVantrel"));
    if (QDir().mkpath(own) && isFolderWritable(own))
        return own;
    return QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

} // namespace tv::shell
