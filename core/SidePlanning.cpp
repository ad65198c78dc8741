#include "SidePlanning.h"

#include <cstdlib>

namespace tv::core {

QString modeName(MiniDiscMode mode)
{
    switch (mode) {
    case MiniDiscMode::LP2:
        return QStringLiteral("LP2");
    case MiniDiscMode::LP4:
        return QStringLiteral("LP4");
    case MiniDiscMode::SP:
        break;
    }
    return QStringLiteral("SP");
}

std::optional<MiniDiscMode> modeFromName(const QString &name)
{
    for (const MiniDiscMode mode : {MiniDiscMode::SP, MiniDiscMode::LP2, MiniDiscMode::LP4}) {
        if (name == modeName(mode))
            return mode;
    }
    return std::nullopt;
}

qint64 lengthInMode(qint64 discSeconds, MiniDiscMode mode)
{
    return discSeconds * qint64(mode);
}

std::optional<MiniDiscMode> longerModeThatFits(qint64 usedSeconds, qint64 discSeconds, MiniDiscMode chosen)
{
    if (usedSeconds <= lengthInMode(discSeconds, chosen))
        return std::nullopt;
    for (const MiniDiscMode mode : {MiniDiscMode::LP2, MiniDiscMode::LP4}) {
        if (qint64(mode) > qint64(chosen) && usedSeconds <= lengthInMode(discSeconds, mode))
            return mode;
    }
    return std::nullopt;
}

qint64 sideSeconds(const QList<qint64> &songs, qint64 delaySeconds)
{
    qint64 total = 0;
    for (const qint64 s : songs)
        total += s;
    if (delaySeconds >= 1 && songs.size() > 1)
        total += (songs.size() - 1) * delaySeconds;
    return total;
}

qsizetype firstSongPastTheEnd(const QList<qint64> &songs, qint64 delaySeconds, qint64 sideLength)
{
    const qint64 gap = delaySeconds >= 1 ? delaySeconds : 0;
    qint64 end = 0;
    for (qsizetype i = 0; i < songs.size(); ++i) {
        end += (i > 0 ? gap : 0) + songs.at(i);
        if (end > sideLength)
            return i;
    }
    return songs.size();
}

std::optional<qsizetype> balancedSplit(const QList<qint64> &songs, qint64 delaySeconds, qint64 sideLength)
{
    std::optional<qsizetype> best;
    qint64 bestDifference = 0;
    for (qsizetype onA = 0; onA <= songs.size(); ++onA) {
        const qint64 a = sideSeconds(songs.mid(0, onA), delaySeconds);
        const qint64 b = sideSeconds(songs.mid(onA), delaySeconds);
        if (a > sideLength || b > sideLength)
            continue;
        const qint64 difference = std::llabs(a - b);
        if (!best || difference < bestDifference || (difference == bestDifference && a > b)) {
            best = onA;
            bestDifference = difference;
        }
    }
    return best;
}

qsizetype fillFirstSplit(const QList<qint64> &songs, qint64 delaySeconds, qint64 sideLength)
{
    return firstSongPastTheEnd(songs, delaySeconds, sideLength);
}

} // namespace tv::core
