#pragma once

#include "SongLevels.h"

#include "FileKeyedCache.h"

#include <QString>
#include <optional>

namespace tv::levels {

// The measured levels of files, kept in the user's cache folder so that a
// known file costs nothing when added again; a changed file is measured
// afresh. Thread-safe: every method may be called from any thread.
class LevelsCache
{
public:
    // The cache file under the XDG cache folder (TapeVantrel/loudness.json).
    static QString defaultFile();
    // The program's one cache, on defaultFile().
    static LevelsCache &shared();

    explicit LevelsCache(const QString &file);

    std::optional<SongLevels> find(const QString &path);
    // Remembers levels for path as the file is now, and writes the cache
    // file (atomically: a crash or a full disk leaves the old one).
    void store(const QString &path, const SongLevels &levels);

private:
    tv::core::FileKeyedCache m_files;
};

} // namespace tv::levels
