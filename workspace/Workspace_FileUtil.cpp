// The file list's "File Utilities": copy the names of the selected song
// files, paste them (copy the files) into the folder on display, delete the
// selected files. A paste never leaves a half-written file and never loses
// the file it replaces; a delete goes to the desktop's trash where there is
// one, so that it can be undone.
#include "Workspace.h"

#include "FileListBox.h"
#include "FolderListBox.h"
#include "MessageBox.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSaveFile>
#include <QStandardPaths>

namespace tv::workspace {

namespace Msg = tv::shell::Msg;
using tv::shell::msgBox;

namespace {

constexpr qint64 kCopyChunkBytes = 1 << 20;

QString joinFolder(const QString &folder, const QString &name)
{
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

// Copies source to target, replacing a target of that name. The bytes go to
// a temporary file beside the target, which takes the target's place in one
// rename only once the whole copy is written: until then the old target is
// untouched, and after a failure the temporary file is removed. Returns the
// system's description of a failure, or an empty text.
QString copyReplacing(const QString &source, const QString &target)
{
    const QFileInfo from(source);
    const QFileInfo to(target);
    if (from.exists() && to.exists() && from.canonicalFilePath() == to.canonicalFilePath())
        return QStringLiteral("The source and the target are the same file");
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return in.errorString();
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly))
        return out.errorString();
    while (!in.atEnd()) {
        const QByteArray chunk = in.read(kCopyChunkBytes);
        if (chunk.isEmpty())
            return in.error() != QFileDevice::NoError ? in.errorString() : QStringLiteral("The file could not be read to its end");
        if (out.write(chunk) != chunk.size())
            return out.errorString();
        // Big songs take a while: the window keeps painting and the player
        // keeps playing, but no click can start a second paste meanwhile.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    if (!out.commit())
        return out.errorString();
    QFile::setPermissions(target, in.permissions());
    return {};
}

// The user's own trash folder, made when missing; false when there can be
// none (no data folder, or one that cannot be made).
bool homeTrashReady()
{
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (data.isEmpty())
        return false;
    const QString trash = data + QStringLiteral("/Trash");
    if (QFileInfo(trash).isDir())
        return true;
    if (!QDir().mkpath(trash))
        return false;
    QFile::setPermissions(trash, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return true;
}

// Moves the file to the desktop's trash where its file system has one, and
// deletes it where it has none. Qt picks the trash: the user's own for files
// of the home file system, else one at the top of the file's own file system
// (falling back to the user's own, which fails there and so deletes). Qt is
// only asked when the user's own trash exists: without it, Qt 6.4 moves the
// file into a folder "files" of the working folder. Returns the system's
// description of a failure, or an empty text.
QString deleteFile(const QString &path)
{
    QFile file(path);
    if (homeTrashReady() && file.moveToTrash())
        return {};
    if (file.remove())
        return {};
    return file.errorString();
}

QStringList selectedNames(const tv::controls::FileListBox *files)
{
    QStringList names;
    for (int i = 0; i < files->count(); ++i) {
        if (files->item(i)->isSelected())
            names << files->item(i)->text();
    }
    return names;
}

} // namespace

void Workspace::connectFileUtilities()
{
    connect(m_mnuCopyFile, &QAction::triggered, this, &Workspace::mnuCopyFile_Click);
    connect(m_mnuPasteFile, &QAction::triggered, this, &Workspace::mnuPasteFile_Click);
    connect(m_mnuDelete, &QAction::triggered, this, &Workspace::mnuDelete_Click);
}

void Workspace::mnuCopyFile_Click()
{
    // Only the names and their folder: nothing is copied on disk yet.
    m_strCopyFiles = selectedNames(m_File1);
    m_strCopyPath = m_Dir1->path();
    m_mnuPasteFile->setEnabled(true);
}

void Workspace::mnuPasteFile_Click()
{
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    bool busy = true;
    const QString folder = m_Dir1->path();
    for (const QString &name : std::as_const(m_strCopyFiles)) {
        const QString failure = copyReplacing(joinFolder(m_strCopyPath, name), joinFolder(folder, name));
        if (failure.isEmpty())
            continue;
        if (busy) {
            QGuiApplication::restoreOverrideCursor();
            busy = false;
        }
        msgBox(this, QStringLiteral("File Copy Error:") + failure, Msg::Exclamation, m_profile.messageTitle);
    }
    m_mnuPasteFile->setEnabled(false);
    QCoreApplication::processEvents();
    m_File1->refresh();
    if (busy)
        QGuiApplication::restoreOverrideCursor();
}

void Workspace::mnuDelete_Click()
{
    // The names are taken first: while a question waits for its answer, a
    // running scan moves the selection on.
    const QString folder = m_Dir1->path();
    for (const QString &name : selectedNames(m_File1)) {
        if (msgBox(this, QStringLiteral("Delete: ") + name + QStringLiteral(" ?"), Msg::YesNo, m_profile.messageTitle) != Msg::Yes)
            continue;
        const QString failure = deleteFile(joinFolder(folder, name));
        if (!failure.isEmpty())
            msgBox(this, QStringLiteral("File Delete Error:") + failure, Msg::Exclamation, m_profile.messageTitle);
    }
    m_File1->refresh();
}

} // namespace tv::workspace
