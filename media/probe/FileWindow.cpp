#include "FileWindow.h"

#include "../FileName.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tv::media {

FileWindow::~FileWindow()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool FileWindow::open(const QString &path)
{
    const QByteArray name = fileNameBytes(path);
    // Non-blocking, so that a FIFO put in a file's place cannot hang the
    // open; it is refused just below as no regular file.
    m_fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (m_fd < 0) {
        m_error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    struct stat info = {};
    if (::fstat(m_fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        m_error = QStringLiteral("not a regular file");
        return false;
    }
    m_size = std::size_t(info.st_size);
    return true;
}

const unsigned char *FileWindow::fetch(std::size_t offset, std::size_t count)
{
    if (count > kWindowBytes || offset > m_size || count > m_size - offset)
        return nullptr;
    if (offset >= m_windowStart && offset - m_windowStart + count <= m_windowLength)
        return m_window.data() + (offset - m_windowStart);
    m_window.resize(kWindowBytes);
    const std::size_t wanted = std::min(kWindowBytes, m_size - offset);
    std::size_t got = 0;
    while (got < wanted) {
        const ssize_t n = ::pread(m_fd, m_window.data() + got, wanted - got, off_t(offset + got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break; // the file ended early or cannot be read further: it ends here
        got += std::size_t(n);
    }
    m_windowStart = offset;
    m_windowLength = got;
    if (got < wanted)
        m_size = offset + got;
    return got >= count ? m_window.data() : nullptr;
}

QByteArray FileWindow::read(std::size_t offset, std::size_t count)
{
    QByteArray bytes;
    while (count > 0 && offset < m_size) {
        const std::size_t step = std::min({count, kWindowBytes, m_size - offset});
        const unsigned char *p = fetch(offset, step);
        if (!p)
            continue; // the file shrank: the next step reads what is left
        bytes.append(reinterpret_cast<const char *>(p), qsizetype(step));
        offset += step;
        count -= step;
    }
    return bytes;
}

} // namespace tv::media
