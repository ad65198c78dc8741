#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

namespace tv::media {

// Bounds-checked reads from a span of file bytes: every read past the end
// yields nothing instead of touching memory that is not there.
class Bytes
{
public:
    explicit Bytes(std::span<const unsigned char> data) : m_data(data) {}

    std::size_t size() const { return m_data.size(); }
    bool has(std::size_t offset, std::size_t count) const
    {
        return offset <= m_data.size() && count <= m_data.size() - offset;
    }
    const unsigned char *at(std::size_t offset) const { return m_data.data() + offset; }

    bool tagIs(std::size_t offset, const char (&tag)[5]) const
    {
        return has(offset, 4) && std::memcmp(at(offset), tag, 4) == 0;
    }
    std::uint32_t be32(std::size_t o) const
    {
        if (!has(o, 4)) return 0;
        const auto *p = at(o);
        return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) | p[3];
    }
    std::uint32_t le32(std::size_t o) const
    {
        if (!has(o, 4)) return 0;
        const auto *p = at(o);
        return (std::uint32_t(p[3]) << 24) | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[1]) << 8) | p[0];
    }
    std::uint16_t be16(std::size_t o) const { return has(o, 2) ? std::uint16_t((at(o)[0] << 8) | at(o)[1]) : 0; }
    std::uint16_t le16(std::size_t o) const { return has(o, 2) ? std::uint16_t((at(o)[1] << 8) | at(o)[0]) : 0; }
    unsigned char u8(std::size_t o) const { return has(o, 1) ? *at(o) : 0; }

private:
    std::span<const unsigned char> m_data;
};

} // namespace tv::media
