#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <vector>

namespace tv::media {

// A file opened by its name's bytes and read through one window of ordinary
// buffered reads (pread), never a memory mapping: a file that shrinks while
// it is read (a download being replaced, a network folder) only ends early,
// it cannot fault. size() starts as the size at opening and drops to where
// the data really ended as soon as a read comes back short or fails.
// Not thread-safe; one probe uses it at a time.
class FileWindow
{
public:
    static constexpr std::size_t kWindowBytes = 256 * 1024;

    FileWindow() = default;
    ~FileWindow();
    FileWindow(const FileWindow &) = delete;
    FileWindow &operator=(const FileWindow &) = delete;

    // False with errorText() set when the file cannot be opened.
    bool open(const QString &path);
    std::size_t size() const { return m_size; }
    QString errorText() const { return m_error; }

    // count contiguous bytes at offset (count at most kWindowBytes), or null
    // when the file does not hold them (any more).
    const unsigned char *fetch(std::size_t offset, std::size_t count);
    // Up to count bytes from offset, fewer at the end of the file.
    QByteArray read(std::size_t offset, std::size_t count);

private:
    int m_fd = -1;
    std::size_t m_size = 0;
    std::vector<unsigned char> m_window;
    std::size_t m_windowStart = 0;
    std::size_t m_windowLength = 0;
    QString m_error;
};

} // namespace tv::media
