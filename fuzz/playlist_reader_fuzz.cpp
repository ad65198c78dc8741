// libFuzzer target: the playlist reader on arbitrary bytes. It must never
// crash or hang, and a playlist it reads whole must come back the same after
// being written out and read again.
#include "PlaylistFile.h"

#include <cstdint>
#include <cstdlib>

namespace {

bool hasMarkerEntry(const tv::core::PlaylistSection &s)
{
    for (int i = 1; i < s.entries.size(); ++i) {
        if (s.entries[i] == QLatin1String("playlistend") || s.entries[i] == QLatin1String("playlistb"))
            return true;
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    for (bool cassette : {true, false}) {
        const tv::core::PlaylistRead first = tv::core::readPlaylist(bytes, cassette);
        if (first.outcome != tv::core::PlaylistRead::Outcome::Sections)
            continue;
        const tv::core::PlaylistContent &c = first.content;
        if (hasMarkerEntry(c.sideA) || hasMarkerEntry(c.sideB))
            continue;
        // Header lines that hold a line break cannot come from a file's lines.
        const tv::core::PlaylistRead again = tv::core::readPlaylist(tv::core::writePlaylist(c, cassette), cassette);
        if (again.outcome != first.outcome || again.content.sideA.entries != c.sideA.entries || again.content.sideB.entries != c.sideB.entries
            || again.content.sideA.total != c.sideA.total || again.content.sideB.total != c.sideB.total || again.content.delay != c.delay)
            std::abort();
    }
    return 0;
}
