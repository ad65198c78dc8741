#pragma once

#include "SongLevels.h"

#include <QHash>
#include <QString>
#include <mutex>
#include <optional>

namespace tv::levels {

// The measured levels of files, kept in one file in the user's cache folder
// so that a known file costs nothing when added again. A file is known by
// its path, size and modification time: a changed file is measured afresh.
// Thread-safe: every method may be called from any thread.
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
    struct Entry
    {
        qint64 size = -1;
        qint64 modifiedMs = 0;
        SongLevels levels;
    };
    void loadOnce();
    void save();

    QString m_file;
    std::mutex m_mutex;
    bool m_loaded = false;
    QHash<QString, Entry> m_entries;
};

} // namespace tv::levels
