#pragma once

#include <QList>
#include <QString>

#include <optional>

namespace tv::core {

// Planning a side beyond its read-out: the MiniDisc's recording modes and
// track limit, which songs run past the end, and where to split two sides.
// A side's time is its songs plus a song delay between each two of them
// (none below 1 s), as the read-out counts it.

// A MiniDisc deck records SP, LP2 or LP4: the same disc holds 1, 2 or 4
// times its minutes.
enum class MiniDiscMode { SP = 1, LP2 = 2, LP4 = 4 };
QString modeName(MiniDiscMode mode); // "SP", "LP2", "LP4"
std::optional<MiniDiscMode> modeFromName(const QString &name);
qint64 lengthInMode(qint64 discSeconds, MiniDiscMode mode);
// The shortest mode at least as long as chosen in which a side of
// usedSeconds fits the disc; nothing when it fits in chosen or in none.
std::optional<MiniDiscMode> longerModeThatFits(qint64 usedSeconds, qint64 discSeconds, MiniDiscMode chosen);

// The most tracks a MiniDisc holds.
inline constexpr int kMiniDiscTrackLimit = 254;

// The side's time for songs of these lengths.
qint64 sideSeconds(const QList<qint64> &songs, qint64 delaySeconds);
// The index of the first song that ends past sideLength (its last second
// is not on the side); songs.size() when all fit.
qsizetype firstSongPastTheEnd(const QList<qint64> &songs, qint64 delaySeconds, qint64 sideLength);

// Splitting one run of songs (Side A's then Side B's, in order) between two
// sides: the number of songs that go on Side A.
// Balanced: both sides fit, with the smallest difference between them
// (on a tie, the longer Side A); nothing when no split fits.
std::optional<qsizetype> balancedSplit(const QList<qint64> &songs, qint64 delaySeconds, qint64 sideLength);
// Side A first: as many songs as fit on Side A, the rest on B.
qsizetype fillFirstSplit(const QList<qint64> &songs, qint64 delaySeconds, qint64 sideLength);

} // namespace tv::core
