#pragma once

#include "FileWindow.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

namespace tv::media {

// Bounds-checked reads from bytes held in memory or from a FileWindow: every
// read past the end yields nothing (zero, false) instead of touching memory
// that is not there. The size of a file may drop while it is read; every
// check is made against the size at that moment.
class Bytes
{
public:
    explicit Bytes(std::span<const unsigned char> data) : m_data(data) {}
    explicit Bytes(FileWindow &file) : m_file(&file) {}

    std::size_t size() const { return m_file ? m_file->size() : m_data.size(); }
    // The bytes from offset to the end; 0 past the end.
    std::size_t remaining(std::size_t offset) const { return offset < size() ? size() - offset : 0; }
    bool has(std::size_t offset, std::size_t count) const { return count <= remaining(offset) && (count > 0 || offset <= size()); }

    // count contiguous bytes (at most FileWindow::kWindowBytes), or null.
    const unsigned char *fetch(std::size_t offset, std::size_t count) const
    {
        if (!has(offset, count))
            return nullptr;
        return m_file ? m_file->fetch(offset, count) : m_data.data() + offset;
    }
    bool startsWith(std::size_t offset, const char *text, std::size_t n) const
    {
        const unsigned char *p = fetch(offset, n);
        return p && std::memcmp(p, text, n) == 0;
    }
    bool tagIs(std::size_t offset, const char (&tag)[5]) const { return startsWith(offset, tag, 4); }

    std::uint32_t be32(std::size_t o) const
    {
        const unsigned char *p = fetch(o, 4);
        return p ? (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) | p[3] : 0;
    }
    std::uint32_t le32(std::size_t o) const
    {
        const unsigned char *p = fetch(o, 4);
        return p ? (std::uint32_t(p[3]) << 24) | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[1]) << 8) | p[0] : 0;
    }
    std::uint16_t be16(std::size_t o) const
    {
        const unsigned char *p = fetch(o, 2);
        return p ? std::uint16_t((p[0] << 8) | p[1]) : 0;
    }
    std::uint16_t le16(std::size_t o) const
    {
        const unsigned char *p = fetch(o, 2);
        return p ? std::uint16_t((p[1] << 8) | p[0]) : 0;
    }
    unsigned char u8(std::size_t o) const
    {
        const unsigned char *p = fetch(o, 1);
        return p ? *p : 0;
    }

private:
    std::span<const unsigned char> m_data;
    FileWindow *m_file = nullptr;
};

} // namespace tv::media
