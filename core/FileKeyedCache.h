#pragma once

#include <QHash>
#include <QJsonObject>
#include <QString>
#include <mutex>
#include <optional>

namespace tv::core {

// Facts learnt about files (their loudness, their tags), kept in one JSON
// file of the user's cache folder so that a known file costs nothing when met
// again. A file is known by its absolute path, size and modification time: a
// changed file is read afresh. Thread-safe: every method may be called from
// any thread.
class FileKeyedCache
{
public:
    // A file of this name in the program's folder of the XDG cache folder.
    static QString inCacheFolder(const QString &name);

    explicit FileKeyedCache(const QString &file);

    std::optional<QJsonObject> find(const QString &path);
    // Remembers facts for path as the file is now, and writes the cache file
    // (atomically: a crash or a full disk leaves the old one). The names
    // "path", "size" and "modified" are the cache's own.
    void store(const QString &path, const QJsonObject &facts);

private:
    struct Entry
    {
        qint64 size = -1;
        qint64 modifiedMs = 0;
        QJsonObject facts;
    };
    void loadOnce();
    void save();

    QString m_file;
    std::mutex m_mutex;
    bool m_loaded = false;
    QHash<QString, Entry> m_entries;
};

} // namespace tv::core
