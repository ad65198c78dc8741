#include "ExactFiles.h"

#include "NameBytes.h"

#include <QDateTime>
#include <QStandardPaths>
#include <QUrl>

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tv::core {

namespace {
QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

QByteArray folderOf(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    return slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : path.left(slash);
}

QByteArray baseOf(const QByteArray &path)
{
    return path.mid(path.lastIndexOf('/') + 1);
}
} // namespace

QStringList argumentNames(int argc, char **argv)
{
    QStringList names;
    for (int i = 0; i < argc; ++i)
        names.append(fileNameFromBytes(QByteArray(argv[i])));
    return names;
}

int openExact(const QString &name, int flags, unsigned mode)
{
    return ::open(fileNameBytes(name).constData(), flags | O_CLOEXEC, mode_t(mode));
}

bool readExact(const QString &name, qint64 maxBytes, QByteArray &bytes, QString &error)
{
    const int fd = openExact(name, O_RDONLY);
    if (fd < 0) {
        error = systemError(errno);
        return false;
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        error = file.errorString();
        return false;
    }
    if (file.size() > maxBytes) {
        error = QStringLiteral("it is larger than %1 bytes").arg(maxBytes);
        return false;
    }
    bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        error = file.errorString();
        return false;
    }
    return true;
}

QString removeExact(const QString &name)
{
    return ::unlink(fileNameBytes(name).constData()) == 0 ? QString() : systemError(errno);
}

bool trashExact(const QString &name)
{
    // The desktop's home trash: files/ holds the file, info/ says where it
    // came from and when (the freedesktop.org trash layout).
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (data.isEmpty())
        return false;
    const QByteArray trash = fileNameBytes(data) + "/Trash";
    ::mkdir(trash.constData(), 0700);
    ::mkdir((trash + "/files").constData(), 0700);
    ::mkdir((trash + "/info").constData(), 0700);
    const QByteArray path = fileNameBytes(name);
    struct stat file, bin;
    if (::lstat(path.constData(), &file) != 0 || ::stat((trash + "/files").constData(), &bin) != 0 || file.st_dev != bin.st_dev)
        return false;
    char absolute[PATH_MAX];
    const QByteArray folder = ::realpath(folderOf(path).constData(), absolute) ? QByteArray(absolute) : QByteArray();
    if (folder.isEmpty())
        return false;
    const QByteArray base = baseOf(path);
    for (int n = 1; n < 1000; ++n) {
        const QByteArray stem = n == 1 ? base : base + '.' + QByteArray::number(n);
        const QByteArray info = trash + "/info/" + stem + ".trashinfo";
        const int fd = ::open(info.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST)
                continue; // a file of that name is in the trash already
            return false;
        }
        const QByteArray record = "[Trash Info]\nPath=" + (folder == "/" ? QByteArray() : folder).toPercentEncoding("/") + '/'
            + base.toPercentEncoding() + "\nDeletionDate=" + QDateTime::currentDateTime().toString(Qt::ISODate).toLatin1() + "\n";
        const bool written = ::write(fd, record.constData(), size_t(record.size())) == record.size();
        ::close(fd);
        if (written && ::rename(path.constData(), (trash + "/files/" + stem).constData()) == 0)
            return true;
        ::unlink(info.constData());
        return false;
    }
    return false;
}

ReplacingFile::ReplacingFile(const QString &target)
    : m_target(target)
{
}

ReplacingFile::~ReplacingFile()
{
    discard();
}

bool ReplacingFile::open()
{
    const QByteArray target = fileNameBytes(m_target);
    QByteArray pattern = folderOf(target) + "/." + baseOf(target) + ".XXXXXX";
    const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0) {
        m_error = systemError(errno);
        return false;
    }
    m_temporary = pattern;
    if (!m_file.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        m_error = m_file.errorString();
        discard();
        return false;
    }
    return true;
}

bool ReplacingFile::commit(QFile::Permissions permissions)
{
    if (m_temporary.isEmpty())
        return false;
    if (!m_file.flush() || ::fsync(m_file.handle()) != 0) {
        m_error = m_file.error() != QFileDevice::NoError ? m_file.errorString() : systemError(errno);
        discard();
        return false;
    }
    const QByteArray target = fileNameBytes(m_target);
    struct stat old;
    mode_t mode = 0;
    if (::stat(target.constData(), &old) == 0) {
        mode = old.st_mode & 07777;
    } else if (permissions) {
        const auto bit = [&](QFile::Permission p, mode_t m) { return permissions.testFlag(p) ? m : 0; };
        mode = bit(QFile::ReadOwner, S_IRUSR) | bit(QFile::WriteOwner, S_IWUSR) | bit(QFile::ExeOwner, S_IXUSR)
            | bit(QFile::ReadGroup, S_IRGRP) | bit(QFile::WriteGroup, S_IWGRP) | bit(QFile::ExeGroup, S_IXGRP)
            | bit(QFile::ReadOther, S_IROTH) | bit(QFile::WriteOther, S_IWOTH) | bit(QFile::ExeOther, S_IXOTH);
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    ::fchmod(m_file.handle(), mode);
    m_file.close();
    if (::rename(m_temporary.constData(), target.constData()) != 0) {
        m_error = systemError(errno);
        discard();
        return false;
    }
    m_temporary.clear();
    return true;
}

void ReplacingFile::discard()
{
    if (m_file.isOpen())
        m_file.close();
    if (!m_temporary.isEmpty()) {
        ::unlink(m_temporary.constData());
        m_temporary.clear();
    }
}

} // namespace tv::core
