#pragma once

#include <QString>
#include <optional>

namespace tv::media {

// The playing time of path found the slow and sure way: decoding it with the
// player's decoder and counting the frames it yields. Gives up after budgetMs of work and
// answers nothing then, as it does when the file cannot be decoded at all.
std::optional<double> decodedLength(const QString &path, int budgetMs);

// How many packets of its audio stream the decoder library's demuxer reads
// from path (for MPEG audio: the frames it will decode), within budgetMs;
// nothing when it cannot open the file or the time runs out.
std::optional<qint64> demuxedPackets(const QString &path, int budgetMs);

// Where the decoder that plays path ends, found at the end only: the demuxer
// seeks to fromSeconds, and the packets from there on are decoded; the
// first one's time plus the samples they yield is the end. For files whose
// every byte decodes alike (uncompressed sound) this is what a whole decode
// counts, at the cost of a second of sound. Nothing when the file cannot be
// opened or decoded, the seek fails, or budgetMs runs out.
// knownFormat: the container's demuxer name when the header was read already.
std::optional<double> tailDecodedEnd(const QString &path, double fromSeconds, int budgetMs, const char *knownFormat = nullptr);

// Time left for a decode inside one measurement, which answers within a second.
inline constexpr int kDecodeBudgetMs = 600;

} // namespace tv::media
