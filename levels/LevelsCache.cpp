#include "LevelsCache.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QStandardPaths>

namespace tv::levels {

namespace {
// JSON has no infinity: a silent song's figures are stored as null.
QJsonValue number(double value)
{
    return std::isfinite(value) ? QJsonValue(value) : QJsonValue();
}
double numberOf(const QJsonValue &value)
{
    return value.isDouble() ? value.toDouble() : -HUGE_VAL;
}

QString keyOf(const QString &path)
{
    return QFileInfo(path).absoluteFilePath();
}
} // namespace

QString LevelsCache::defaultFile()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + QStringLiteral("/TapeVantrel/loudness.json");
}

LevelsCache &LevelsCache::shared()
{
    static LevelsCache cache(defaultFile());
    return cache;
}

LevelsCache::LevelsCache(const QString &file) : m_file(file) {}

void LevelsCache::loadOnce()
{
    if (m_loaded)
        return;
    m_loaded = true;
    QFile file(m_file);
    if (!file.open(QIODevice::ReadOnly))
        return; // no cache yet: everything is measured
    const QJsonArray files = QJsonDocument::fromJson(file.readAll()).object().value(QStringLiteral("files")).toArray();
    for (const QJsonValue &v : files) {
        const QJsonObject o = v.toObject();
        Entry e;
        e.size = qint64(o.value(QStringLiteral("size")).toDouble(-1));
        e.modifiedMs = qint64(o.value(QStringLiteral("modified")).toDouble());
        e.levels.integratedLufs = numberOf(o.value(QStringLiteral("lufs")));
        e.levels.truePeakDbtp = numberOf(o.value(QStringLiteral("peak")));
        e.levels.loudestStartMs = qint64(o.value(QStringLiteral("loudestStart")).toDouble());
        e.levels.loudestLengthMs = qint64(o.value(QStringLiteral("loudestLength")).toDouble());
        e.levels.loudestLufs = numberOf(o.value(QStringLiteral("loudestLufs")));
        const QString path = o.value(QStringLiteral("path")).toString();
        if (!path.isEmpty() && e.size >= 0)
            m_entries.insert(path, e);
    }
}

std::optional<SongLevels> LevelsCache::find(const QString &path)
{
    const QFileInfo info(path);
    const std::lock_guard lock(m_mutex);
    loadOnce();
    const auto it = m_entries.constFind(keyOf(path));
    if (it == m_entries.constEnd() || !info.exists() || it->size != info.size()
        || it->modifiedMs != info.lastModified().toMSecsSinceEpoch())
        return std::nullopt;
    return it->levels;
}

void LevelsCache::store(const QString &path, const SongLevels &levels)
{
    const QFileInfo info(path);
    if (!info.exists())
        return;
    const std::lock_guard lock(m_mutex);
    loadOnce();
    m_entries.insert(keyOf(path), Entry{info.size(), info.lastModified().toMSecsSinceEpoch(), levels});
    save();
}

void LevelsCache::save()
{
    QJsonArray files;
    for (auto it = m_entries.cbegin(); it != m_entries.cend(); ++it) {
        const SongLevels &l = it->levels;
        files.append(QJsonObject{{QStringLiteral("path"), it.key()},
                                 {QStringLiteral("size"), double(it->size)},
                                 {QStringLiteral("modified"), double(it->modifiedMs)},
                                 {QStringLiteral("lufs"), number(l.integratedLufs)},
                                 {QStringLiteral("peak"), number(l.truePeakDbtp)},
                                 {QStringLiteral("loudestStart"), double(l.loudestStartMs)},
                                 {QStringLiteral("loudestLength"), double(l.loudestLengthMs)},
                                 {QStringLiteral("loudestLufs"), number(l.loudestLufs)}});
    }
    QDir().mkpath(QFileInfo(m_file).absolutePath());
    QSaveFile file(m_file);
    // A cache that cannot be written only costs a new measuring next time.
    if (file.open(QIODevice::WriteOnly)) {
        file.write(QJsonDocument(QJsonObject{{QStringLiteral("version"), 1}, {QStringLiteral("files"), files}}).toJson(QJsonDocument::Compact));
        file.commit();
    }
}

} // namespace tv::levels
