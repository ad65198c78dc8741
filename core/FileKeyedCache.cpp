#include "FileKeyedCache.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>
#include <QStandardPaths>

namespace tv::core {

namespace {
const QString kPath = QStringLiteral("path");
const QString kSize = QStringLiteral("size");
const QString kModified = QStringLiteral("modified");

QString keyOf(const QString &path)
{
    return QFileInfo(path).absoluteFilePath();
}
} // namespace

QString FileKeyedCache::inCacheFolder(const QString &name)
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + QStringLiteral("/TapeVantrel/") + name;
}

FileKeyedCache::FileKeyedCache(const QString &file) : m_file(file) {}

void FileKeyedCache::loadOnce()
{
    if (m_loaded)
        return;
    m_loaded = true;
    QFile file(m_file);
    if (!file.open(QIODevice::ReadOnly))
        return; // no cache yet: everything is read afresh
    const QJsonArray files = QJsonDocument::fromJson(file.readAll()).object().value(QStringLiteral("files")).toArray();
    for (const QJsonValue &v : files) {
        QJsonObject facts = v.toObject();
        Entry e;
        e.size = qint64(facts.take(kSize).toDouble(-1));
        e.modifiedMs = qint64(facts.take(kModified).toDouble());
        const QString path = facts.take(kPath).toString();
        e.facts = facts;
        if (!path.isEmpty() && e.size >= 0)
            m_entries.insert(path, e);
    }
}

std::optional<QJsonObject> FileKeyedCache::find(const QString &path)
{
    const QFileInfo info(path);
    const std::lock_guard lock(m_mutex);
    loadOnce();
    const auto it = m_entries.constFind(keyOf(path));
    if (it == m_entries.constEnd() || !info.exists() || it->size != info.size()
        || it->modifiedMs != info.lastModified().toMSecsSinceEpoch())
        return std::nullopt;
    return it->facts;
}

void FileKeyedCache::store(const QString &path, const QJsonObject &facts)
{
    const QFileInfo info(path);
    if (!info.exists())
        return;
    const std::lock_guard lock(m_mutex);
    loadOnce();
    m_entries.insert(keyOf(path), Entry{info.size(), info.lastModified().toMSecsSinceEpoch(), facts});
    save();
}

void FileKeyedCache::save()
{
    QJsonArray files;
    for (auto it = m_entries.cbegin(); it != m_entries.cend(); ++it) {
        QJsonObject o = it->facts;
        o.insert(kPath, it.key());
        o.insert(kSize, double(it->size));
        o.insert(kModified, double(it->modifiedMs));
        files.append(o);
    }
    QDir().mkpath(QFileInfo(m_file).absolutePath());
    QSaveFile file(m_file);
    // A cache that cannot be written only costs reading the files again.
    if (file.open(QIODevice::WriteOnly)) {
        file.write(QJsonDocument(QJsonObject{{QStringLiteral("version"), 1}, {QStringLiteral("files"), files}}).toJson(QJsonDocument::Compact));
        file.commit();
    }
}

} // namespace tv::core
