#include "ProgramFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tv::update {

namespace {
QString &overridden()
{
    static QString path;
    return path;
}

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}
} // namespace

QString programFile()
{
    return overridden().isEmpty() ? QCoreApplication::applicationFilePath() : overridden();
}

void setProgramFile(const QString &path)
{
    overridden() = path;
}

bool isProgramFolderWritable(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isFile())
        return false;
    const QByteArray folder = QFile::encodeName(info.absolutePath());
    struct stat st;
    if (::stat(folder.constData(), &st) != 0 || !S_ISDIR(st.st_mode))
        return false;
    // access() also says no for a read-only mount, even to the administrator.
    if (::access(folder.constData(), W_OK | X_OK) != 0)
        return false;
    return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
}

namespace {
QString replacementPrefix(const QFileInfo &target)
{
    return QStringLiteral(".") + target.fileName() + QStringLiteral(".update-");
}
} // namespace

int removeUpdateLeftovers(const QString &path, const QDateTime &now)
{
    const QFileInfo info(path);
    const QFileInfo target(info.exists() ? info.canonicalFilePath() : info.absoluteFilePath());
    const QString prefix = replacementPrefix(target);
    // QTemporaryFile fills the six places with letters and digits.
    const QRegularExpression name(QStringLiteral("^") + QRegularExpression::escape(prefix) + QStringLiteral("[A-Za-z0-9]{6}$"));
    const QDir folder = target.absoluteDir();
    int removed = 0;
    const QFileInfoList found = folder.entryInfoList({ prefix + QLatin1Char('*') }, QDir::Files | QDir::Hidden | QDir::NoSymLinks);
    for (const QFileInfo &file : found) {
        if (name.match(file.fileName()).hasMatch() && file.lastModified().secsTo(now) > 24 * 3600
            && QFile::remove(file.absoluteFilePath()))
            ++removed;
    }
    return removed;
}

ProgramReplacement::ProgramReplacement(const QString &path)
{
    const QFileInfo info(path);
    // The file itself is replaced, not a link that points at it.
    m_target = info.exists() ? info.canonicalFilePath() : info.absoluteFilePath();
}

ProgramReplacement::~ProgramReplacement()
{
    discard();
}

QString ProgramReplacement::temporaryPath() const
{
    return m_file ? m_file->fileName() : QString();
}

bool ProgramReplacement::open()
{
    const QFileInfo target(m_target);
    m_file = std::make_unique<QTemporaryFile>(target.absolutePath() + QLatin1Char('/') + replacementPrefix(target) + QStringLiteral("XXXXXX"));
    m_file->setAutoRemove(true);
    if (!m_file->open()) {
        m_errorText = QCoreApplication::translate("ProgramReplacement", "a file could not be made in %1: %2")
                          .arg(QDir::toNativeSeparators(target.absolutePath()), m_file->errorString());
        m_file.reset();
        return false;
    }
    return true;
}

bool ProgramReplacement::commit()
{
    if (!m_file)
        return false;
    const auto fail = [this](const QString &text) {
        m_errorText = text;
        discard();
        return false;
    };
    if (!m_file->flush() || ::fsync(m_file->handle()) != 0)
        return fail(
            QCoreApplication::translate("ProgramReplacement", "the update could not be written to disk: %1").arg(systemError(errno)));

    QFileDevice::Permissions permissions = QFileInfo(m_target).permissions();
    permissions |= QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;
    if (!m_file->setPermissions(permissions))
        return fail(
            QCoreApplication::translate("ProgramReplacement", "the update could not be made executable: %1").arg(m_file->errorString()));

    const QByteArray from = QFile::encodeName(m_file->fileName());
    const QByteArray to = QFile::encodeName(m_target);
    if (::rename(from.constData(), to.constData()) != 0)
        return fail(QCoreApplication::translate("ProgramReplacement", "%1 could not be replaced: %2")
                        .arg(QDir::toNativeSeparators(m_target), systemError(errno)));
    m_file->setAutoRemove(false); // it is the program file now
    m_file.reset();

    // The rename itself reaches the disk with the folder.
    const QByteArray folder = QFile::encodeName(QFileInfo(m_target).absolutePath());
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
    return true;
}

void ProgramReplacement::discard()
{
    m_file.reset(); // auto-removed
}

} // namespace tv::update
