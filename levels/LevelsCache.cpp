#include "LevelsCache.h"

#include <QJsonObject>

#include <cmath>

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
} // namespace

QString LevelsCache::defaultFile()
{
    return tv::core::FileKeyedCache::inCacheFolder(QStringLiteral("loudness.json"));
}

LevelsCache &LevelsCache::shared()
{
    static LevelsCache cache(defaultFile());
    return cache;
}

LevelsCache::LevelsCache(const QString &file) : m_files(file) {}

std::optional<SongLevels> LevelsCache::find(const QString &path)
{
    const std::optional<QJsonObject> o = m_files.find(path);
    if (!o)
        return std::nullopt;
    SongLevels l;
    l.integratedLufs = numberOf(o->value(QStringLiteral("lufs")));
    l.truePeakDbtp = numberOf(o->value(QStringLiteral("peak")));
    l.loudestStartMs = qint64(o->value(QStringLiteral("loudestStart")).toDouble());
    l.loudestLengthMs = qint64(o->value(QStringLiteral("loudestLength")).toDouble());
    l.loudestLufs = numberOf(o->value(QStringLiteral("loudestLufs")));
    return l;
}

void LevelsCache::store(const QString &path, const SongLevels &l)
{
    m_files.store(path, QJsonObject{{QStringLiteral("lufs"), number(l.integratedLufs)},
                                    {QStringLiteral("peak"), number(l.truePeakDbtp)},
                                    {QStringLiteral("loudestStart"), double(l.loudestStartMs)},
                                    {QStringLiteral("loudestLength"), double(l.loudestLengthMs)},
                                    {QStringLiteral("loudestLufs"), number(l.loudestLufs)}});
}

} // namespace tv::levels
