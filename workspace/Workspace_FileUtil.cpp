// The file list's "File Utilities": copy the names of the selected song
// files, paste them (copy the files) into the folder on display, delete the
// selected files. A paste never leaves a half-written file and never loses
// the file it replaces; a delete goes to the desktop's trash where there is
// one, so that it can be undone.
#include "Workspace.h"

#include "FileListBox.h"
#include "FolderListBox.h"
#include "ExactFiles.h"
#include "MessageBox.h"
#include "NameBytes.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QStandardPaths>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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
// untouched, and after a failure the temporary file is removed. Both are
// reached by their names' exact bytes. Returns the system's description of a
// failure, or an empty text.
QString copyReplacing(const QString &source, const QString &target)
{
    struct stat from, to;
    const bool haveTarget = ::stat(tv::core::fileNameBytes(target).constData(), &to) == 0;
    if (::stat(tv::core::fileNameBytes(source).constData(), &from) != 0)
        return QString::fromLocal8Bit(std::strerror(errno));
    if (haveTarget && from.st_dev == to.st_dev && from.st_ino == to.st_ino)
        return QStringLiteral("The source and the target are the same file");
    const int fd = tv::core::openExact(source, O_RDONLY);
    QFile in;
    if (fd < 0 || !in.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        const QString why = fd < 0 ? QString::fromLocal8Bit(std::strerror(errno)) : in.errorString();
        if (fd >= 0)
            ::close(fd);
        return why;
    }
    tv::core::ReplacingFile out(target);
    if (!out.open())
        return out.errorString();
    while (!in.atEnd()) {
        const QByteArray chunk = in.read(kCopyChunkBytes);
        if (chunk.isEmpty())
            return in.error() != QFileDevice::NoError ? in.errorString() : QStringLiteral("The file could not be read to its end");
        if (out.file().write(chunk) != chunk.size())
            return out.file().errorString();
        // Big songs take a while: the window keeps painting and the player
        // keeps playing, but no click can start a second paste meanwhile.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    // A new file gets the source's permissions; a replaced one keeps its own.
    if (!out.commit(in.permissions()))
        return out.errorString();
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

bool hasEscapedBytes(const QString &name)
{
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (tv::core::isEscapedByte(name, i))
            return true;
    }
    return false;
}

// Moves the file to the desktop's trash where its file system has one, and
// deletes it where it has none. Qt picks the trash for a name it can spell:
// the user's own for files of the home file system, else one at the top of
// the file's own file system (falling back to the user's own, which fails
// there and so deletes). Qt is only asked when the user's own trash exists:
// without it, Qt 6.4 moves the file into a folder "files" of the working
// folder. A name with bytes that are not UTF-8, which Qt would spell with
// "?" (another file's name, perhaps), goes to the home trash by its bytes,
// or is deleted by them. Returns the system's description of a failure, or
// an empty text.
QString deleteFile(const QString &path)
{
    if (hasEscapedBytes(path))
        return tv::core::trashExact(path) ? QString() : tv::core::removeExact(path);
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
