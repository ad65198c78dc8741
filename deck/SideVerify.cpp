#include "SideVerify.h"

#include "Spectrum.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace tv::deck {

namespace {

constexpr int kCoarse = 10;                // blocks in a coarse block (about 10 ms)
constexpr double kFloorDb = -70.0;         // quieter than this counts as silence for the alignment
constexpr double kWindowSeconds = 2.0;     // the stretches of a song aligned one by one
constexpr double kMaxDrift = 0.03;         // no deck runs 3 % off
constexpr double kSearchSeconds = 2.0;     // a stretch is looked for this far around the whole side's place
constexpr double kFineSearchSeconds = 0.03;
constexpr double kTrustedCorrelation = 0.5;
constexpr double kInlierSeconds = 0.03;
constexpr double kFineInlierSeconds = 0.005; // off the line by more: placed on a look-alike moment
constexpr double kDropoutDb = 3.0;
constexpr int kDropoutBlocks = 10;         // about 10 ms
constexpr qint64 kBridgedBlocks = 2;
constexpr std::size_t kLocalReach = 250;   // blocks either side giving a moment's level
constexpr std::size_t kLocalStep = 50;
constexpr double kPresentDb = 20.0;        // less than this under: the song is there
constexpr double kJudgedBelowPeakDb = 30.0;
constexpr double kQuietestJudgedDbfs = -50.0;
constexpr double kMissingShare = 0.2;
constexpr double kCutSeconds = 0.5;
constexpr double kLoudestSeconds = 0.4;

const double kBlockSeconds = Envelope::kBlockSeconds;

double dbOfPower(double power)
{
    return 10.0 * std::log10(2.0 * power + 1e-14); // a full-scale sine reads 0
}

// Sums of power from the start, for the level of any stretch at once.
std::vector<double> prefixSums(const std::vector<float> &power)
{
    std::vector<double> sums(power.size() + 1, 0.0);
    for (std::size_t i = 0; i < power.size(); ++i)
        sums[i + 1] = sums[i] + power[i];
    return sums;
}

double stretchDb(const std::vector<double> &sums, qint64 from, qint64 to)
{
    const auto n = static_cast<qint64>(sums.size()) - 1;
    from = std::clamp<qint64>(from, 0, n);
    to = std::clamp<qint64>(to, 0, n);
    if (to <= from)
        return dbOfPower(0.0);
    return dbOfPower((sums[static_cast<std::size_t>(to)] - sums[static_cast<std::size_t>(from)]) / static_cast<double>(to - from));
}

// The level in dB of each group of blocks, silence held at the floor.
std::vector<float> groupedDb(const std::vector<double> &sums, int group)
{
    const qint64 count = (static_cast<qint64>(sums.size()) - 1) / group;
    std::vector<float> out(static_cast<std::size_t>(std::max<qint64>(0, count)));
    for (qint64 i = 0; i < count; ++i)
        out[static_cast<std::size_t>(i)] = static_cast<float>(std::max(kFloorDb, stretchDb(sums, i * group, (i + 1) * group)));
    return out;
}

std::vector<float> lessMean(std::span<const float> values)
{
    const double mean = values.empty() ? 0.0 : std::accumulate(values.begin(), values.end(), 0.0) / static_cast<double>(values.size());
    std::vector<float> out(values.size());
    for (std::size_t i = 0; i < values.size(); ++i)
        out[i] = static_cast<float>(values[i] - mean);
    return out;
}

double correlationAt(std::span<const float> a, std::span<const float> b)
{
    const std::vector<float> x = lessMean(a);
    const std::vector<float> y = lessMean(b);
    double xy = 0.0, xx = 0.0, yy = 0.0;
    for (std::size_t i = 0; i < x.size(); ++i) {
        xy += double(x[i]) * y[i];
        xx += double(x[i]) * x[i];
        yy += double(y[i]) * y[i];
    }
    return xx > 0.0 && yy > 0.0 ? xy / std::sqrt(xx * yy) : 0.0;
}

struct Found
{
    qint64 lag = 0; // in the units of the levels searched
    double correlation = 0.0;
};

// Where window (levels of the reference) sits in levels of the playback,
// looked for with its start between from and to: the shift of best
// normalised correlation (the FFT gives the products; each slice's own
// spread, from running sums, scales them, so a loud edge in the playback
// does not outweigh a true match).
Found findWindow(std::span<const float> window, const std::vector<float> &heard, qint64 from, qint64 to)
{
    const auto size = static_cast<qint64>(window.size());
    from = std::max<qint64>(0, from);
    to = std::min<qint64>(static_cast<qint64>(heard.size()) - size, to);
    if (to < from || size == 0)
        return {};
    const std::span<const float> segment(heard.data() + from, static_cast<std::size_t>(to - from + size));
    const std::vector<float> w = lessMean(window);
    double ww = 0.0;
    for (float v : w)
        ww += double(v) * v;
    if (ww <= 0.0)
        return {};
    const std::vector<double> products = crossCorrelation(w, segment);
    std::vector<double> sums(segment.size() + 1, 0.0), squares(segment.size() + 1, 0.0);
    for (std::size_t i = 0; i < segment.size(); ++i) {
        sums[i + 1] = sums[i] + segment[i];
        squares[i + 1] = squares[i] + double(segment[i]) * segment[i];
    }
    Found best{from, -2.0};
    for (qint64 k = 0; k <= to - from; ++k) {
        const auto a = static_cast<std::size_t>(k), b = static_cast<std::size_t>(k + size);
        const double sum = sums[b] - sums[a];
        const double spread = squares[b] - squares[a] - sum * sum / double(size);
        if (spread <= 1e-9)
            continue;
        const double c = products[a] / std::sqrt(ww * spread);
        if (c > best.correlation)
            best = {from + k, c};
    }
    return best;
}

double median(std::vector<double> values)
{
    if (values.empty())
        return 0.0;
    const auto middle = values.begin() + static_cast<long>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

struct Anchor
{
    double at;  // reference block, the stretch's middle
    double lag; // playback block less reference block there
};

} // namespace

SideVerdict verifySide(const SideReference &reference, const Envelope &heard)
{
    SideVerdict verdict;
    const std::vector<double> refSums = prefixSums(reference.envelope.power);
    const std::vector<double> heardSums = prefixSums(heard.power);
    const std::vector<float> refCoarse = groupedDb(refSums, kCoarse);
    const std::vector<float> heardCoarse = groupedDb(heardSums, kCoarse);
    const auto sideBlocks = static_cast<qint64>(reference.envelope.power.size());
    if (refCoarse.empty() || heardCoarse.size() < 2) {
        verdict.error = QStringLiteral("Nothing was heard from the deck.");
        return verdict;
    }

    const auto window = static_cast<qint64>(kWindowSeconds / kBlockSeconds);
    const qint64 reach = static_cast<qint64>(kMaxDrift * static_cast<double>(sideBlocks)) + static_cast<qint64>(kSearchSeconds / kBlockSeconds);
    // The songs in stretches of about 2 s, each placed on its own.
    std::vector<std::pair<qint64, qint64>> stretches; // reference blocks
    for (const SideSong &song : reference.songs) {
        const qint64 end = song.startBlock + song.blocks;
        for (qint64 from = song.startBlock; from < end; from += window) {
            qint64 to = std::min(end, from + window);
            if (end - to < window / 2)
                to = end; // a short last stretch joins the one before
            stretches.push_back({from, to});
            if (to == end)
                break;
        }
    }
    // Where the side lies as a whole: a few stretches spread over it, each
    // looked for anywhere in the playback; the middle of their places.
    std::vector<double> wholeLags;
    const std::size_t every = std::max<std::size_t>(1, stretches.size() / 9);
    for (std::size_t i = every / 2; i < stretches.size(); i += every) {
        const qint64 a = stretches[i].first / kCoarse, b = stretches[i].second / kCoarse;
        if (b - a < 50)
            continue;
        const std::span<const float> levels(refCoarse.data() + a, static_cast<std::size_t>(b - a));
        const Found f = findWindow(levels, heardCoarse, 0, static_cast<qint64>(heardCoarse.size()));
        if (f.correlation >= kTrustedCorrelation)
            wholeLags.push_back(double(f.lag - a));
    }
    if (wholeLags.empty()) {
        verdict.error = QStringLiteral("The side was not found in what was heard: nothing in it sounds like its songs.");
        return verdict;
    }
    const auto wholeLag = static_cast<qint64>(std::lround(median(wholeLags)));

    // Each stretch near that place.
    std::vector<Anchor> coarse;
    for (const auto &[from, to] : stretches) {
        const qint64 a = from / kCoarse, b = to / kCoarse;
        if (b - a < 50)
            continue;
        const std::span<const float> levels(refCoarse.data() + a, static_cast<std::size_t>(b - a));
        const auto [lo, hi] = std::minmax_element(levels.begin(), levels.end());
        if (*hi - *lo < 3.0f)
            continue; // too steady (or silent) to be placed
        const Found f = findWindow(levels, heardCoarse, a + wholeLag - reach / kCoarse, a + wholeLag + reach / kCoarse);
        if (f.correlation >= kTrustedCorrelation)
            coarse.push_back({double(a + b) / 2.0 * kCoarse, double((f.lag - a) * kCoarse)});
    }
    if (coarse.empty()) {
        verdict.error = QStringLiteral("The side was not found in what was heard: nothing in it sounds like its songs.");
        return verdict;
    }

    // A straight line through them (the median of the slopes between
    // pairs, so a stretch placed wrong does not tilt it).
    std::vector<double> slopes;
    for (std::size_t i = 0; i < coarse.size(); ++i)
        for (std::size_t j = i + 1; j < coarse.size(); ++j)
            if (coarse[j].at - coarse[i].at > 1.0)
                slopes.push_back((coarse[j].lag - coarse[i].lag) / (coarse[j].at - coarse[i].at));
    const double slope = median(slopes);
    std::vector<double> offsets;
    for (const Anchor &c : coarse)
        offsets.push_back(c.lag - slope * c.at);
    const double offset = median(offsets);

    // Each stretch again at 1 ms: the playback read along the line (so a
    // deck's speed does not smear a stretch) and shifted by each of the
    // nearby blocks; the best shift, refined between blocks, places it.
    // Twice: the second time along the line the first gave.
    const std::vector<float> refFine = groupedDb(refSums, 1);
    const std::vector<float> heardFine = groupedDb(heardSums, 1);
    const auto fineReach = static_cast<qint64>(kFineSearchSeconds / kBlockSeconds);
    std::vector<Anchor> fine;
    double lineOffset = offset, lineSlope = slope;
    double fineSlope = slope, fineOffset = offset;
    for (int pass = 0; pass < 2; ++pass) {
        fine.clear();
        for (const auto &[from, to] : stretches) {
            const double middle = double(from + to) / 2.0;
            const std::span<const float> levels(refFine.data() + from, static_cast<std::size_t>(to - from));
            const auto [lo, hi] = std::minmax_element(levels.begin(), levels.end());
            if (levels.size() < 200 || *hi - *lo < 3.0f)
                continue;
            std::vector<float> along(levels.size());
            double bestCorrelation = -1.0;
            qint64 best = 0;
            std::vector<double> correlations;
            const qint64 reachNow = pass == 0 ? fineReach : fineReach / 4;
            for (qint64 d = -reachNow; d <= reachNow; ++d) {
                bool inside = true;
                for (std::size_t i = 0; i < levels.size(); ++i) {
                    const double at = double(from) + double(i);
                    const auto j = static_cast<qint64>(std::lround(at + lineOffset + lineSlope * at)) + d;
                    if (j < 0 || j >= static_cast<qint64>(heardFine.size())) {
                        inside = false;
                        break;
                    }
                    along[i] = heardFine[static_cast<std::size_t>(j)];
                }
                const double c = inside ? correlationAt(levels, along) : -1.0;
                correlations.push_back(c);
                if (c > bestCorrelation) {
                    bestCorrelation = c;
                    best = d;
                }
            }
            if (bestCorrelation < kTrustedCorrelation)
                continue;
            double shift = double(best);
            const auto k = static_cast<std::size_t>(best + reachNow);
            if (k > 0 && k + 1 < correlations.size()) {
                const double l = correlations[k - 1], c = correlations[k], r = correlations[k + 1];
                const double denominator = l - 2.0 * c + r;
                if (denominator < 0.0)
                    shift += std::clamp(0.5 * (l - r) / denominator, -0.5, 0.5);
            }
            fine.push_back({middle, lineOffset + lineSlope * middle + shift});
        }
        if (fine.size() < 2)
            break;
        // The least-squares line through the fine places, those far off it left out.
        const auto fit = [&](const std::vector<Anchor> &points) {
            double st = 0, sl = 0, stt = 0, stl = 0;
            for (const Anchor &f : points) {
                st += f.at;
                sl += f.lag;
                stt += f.at * f.at;
                stl += f.at * f.lag;
            }
            const double count = double(points.size());
            const double denominator = count * stt - st * st;
            fineSlope = denominator > 0.0 ? (count * stl - st * sl) / denominator : lineSlope;
            fineOffset = (sl - fineSlope * st) / count;
        };
        fit(fine);
        std::vector<Anchor> kept;
        const double tolerance = (pass == 0 ? kInlierSeconds : kFineInlierSeconds) / kBlockSeconds;
        for (const Anchor &f : fine)
            if (std::abs(f.lag - (fineOffset + fineSlope * f.at)) <= tolerance)
                kept.push_back(f);
        if (kept.size() >= 2 && kept.size() < fine.size()) {
            fine = kept;
            fit(fine);
        }
        lineOffset = fineOffset;
        lineSlope = fineSlope;
    }
    if (fine.empty()) {
        for (const Anchor &c : coarse)
            if (std::abs(c.lag - (offset + slope * c.at)) <= kInlierSeconds / kBlockSeconds + kCoarse)
                fine.push_back(c);
        if (fine.empty())
            fine = coarse;
    }
    std::sort(fine.begin(), fine.end(), [](const Anchor &x, const Anchor &y) { return x.at < y.at; });
    verdict.driftPercent = (1.0 / (1.0 + fineSlope) - 1.0) * 100.0;

    // Where each reference block was heard: straight between the fine
    // places (which follow slow wow), on the line beyond them.
    const auto heardAt = [&](qint64 block) {
        const double at = double(block);
        double lag;
        if (fine.size() < 2 || at <= fine.front().at || at >= fine.back().at) {
            const Anchor &edge = fine.size() >= 2 && at >= fine.back().at ? fine.back() : fine.front();
            lag = edge.lag + fineSlope * (at - edge.at);
        } else {
            const auto upper = std::upper_bound(fine.begin(), fine.end(), at, [](double v, const Anchor &x) { return v < x.at; });
            const auto lower = upper - 1;
            lag = lower->lag + (upper->lag - lower->lag) * (at - lower->at) / (upper->at - lower->at);
        }
        return static_cast<qint64>(std::lround(at + lag));
    };
    // Levels are compared block by block: a level over a longer stretch
    // lets one loud block hide a dropout where the music dips.
    const auto refLevel = [&](qint64 block) { return stretchDb(refSums, block, block + 1); };
    const auto heardLevel = [&](qint64 block) {
        const qint64 at = heardAt(block);
        return stretchDb(heardSums, at, at + 1);
    };

    // The blocks of each song loud enough to judge.
    QList<std::vector<qint64>> judged;
    std::vector<double> differences;
    for (const SideSong &song : reference.songs) {
        double peak = kFloorDb;
        for (qint64 b = song.startBlock; b < song.startBlock + song.blocks; ++b)
            peak = std::max(peak, refLevel(b));
        std::vector<qint64> blocks;
        const double quietest = std::max(kQuietestJudgedDbfs, peak - kJudgedBelowPeakDb);
        for (qint64 b = song.startBlock; b < song.startBlock + song.blocks; ++b)
            if (refLevel(b) >= quietest)
                blocks.push_back(b);
        for (std::size_t i = 0; i < blocks.size(); i += 10)
            if (heardLevel(blocks[i]) - refLevel(blocks[i]) > -kPresentDb)
                differences.push_back(heardLevel(blocks[i]) - refLevel(blocks[i]));
        judged.append(std::move(blocks));
    }
    verdict.gainDb = median(differences);

    for (qsizetype s = 0; s < reference.songs.size(); ++s) {
        const SideSong &song = reference.songs.at(s);
        SongCheck check;
        check.name = song.name;
        check.seconds = double(song.blocks) * kBlockSeconds;
        check.heardAtSeconds = double(heardAt(song.startBlock)) * kBlockSeconds;
        const std::vector<qint64> &blocks = judged.at(s);
        std::vector<double> under(blocks.size());
        qsizetype present = 0;
        qsizetype lastPresent = -1;
        for (std::size_t i = 0; i < blocks.size(); ++i) {
            under[i] = heardLevel(blocks[i]) - refLevel(blocks[i]) - verdict.gainDb;
            if (under[i] > -kPresentDb) {
                ++present;
                lastPresent = qsizetype(i);
            }
        }
        // A dropout is judged against the level of the moments around it: a
        // deck gives bright passages back softer than dull ones, and that is
        // its response, not a dropout.
        std::vector<double> local(blocks.size(), 0.0);
        for (std::size_t g = 0; g < blocks.size(); g += kLocalStep) {
            std::vector<double> near;
            for (std::size_t i = g > kLocalReach ? g - kLocalReach : 0; i < std::min(blocks.size(), g + kLocalReach); ++i)
                if (under[i] > -kPresentDb)
                    near.push_back(under[i]);
            const double level = near.empty() ? 0.0 : median(near);
            for (std::size_t i = g; i < std::min(blocks.size(), g + kLocalStep); ++i)
                local[i] = level;
        }
        if (blocks.empty()) {
            check.found = SongCheck::Found::Whole; // a silent song: nothing to miss
        } else if (double(present) < kMissingShare * double(blocks.size())) {
            check.found = SongCheck::Found::Missing;
        } else {
            const auto after = qsizetype(blocks.size()) - 1 - lastPresent;
            const bool cut = double(after) * kBlockSeconds >= kCutSeconds;
            check.found = cut ? SongCheck::Found::CutShort : SongCheck::Found::Whole;
            if (cut)
                check.cutAtSeconds = double(blocks[std::size_t(lastPresent)] + 1 - song.startBlock) * kBlockSeconds;
            // Dropouts: runs of judged blocks more than 3 dB under.
            const std::size_t judgedUpTo = cut ? std::size_t(lastPresent) + 1 : blocks.size();
            for (std::size_t i = 0; i < judgedUpTo;) {
                if (under[i] - local[i] >= -kDropoutDb) {
                    ++i;
                    continue;
                }
                std::size_t j = i;
                double depth = under[i] - local[i];
                // A block or two too quiet in the song to judge does not end it.
                while (j + 1 < judgedUpTo && blocks[j + 1] - blocks[j] <= kBridgedBlocks + 1 && under[j + 1] - local[j + 1] < -kDropoutDb) {
                    ++j;
                    depth = std::min(depth, under[j] - local[j]);
                }
                const qint64 length = blocks[j] - blocks[i] + 1;
                if (length >= kDropoutBlocks)
                    check.dropouts.append({double(blocks[i] - song.startBlock) * kBlockSeconds, double(length) * kBlockSeconds, depth});
                i = j + 1;
            }
        }
        verdict.songs.append(check);
    }

    // The loudest stretch heard within the side.
    const auto span = static_cast<qint64>(kLoudestSeconds / kBlockSeconds);
    const qint64 first = heardAt(reference.songs.isEmpty() ? 0 : reference.songs.front().startBlock);
    const qint64 last = heardAt(sideBlocks);
    qint64 loudestAt = -1;
    for (qint64 b = std::max<qint64>(0, first); b + span <= std::min<qint64>(last, qint64(heard.power.size())); b += 10) {
        const double level = stretchDb(heardSums, b, b + span);
        if (level > verdict.loudestDbfs) {
            verdict.loudestDbfs = level;
            loudestAt = b;
        }
    }
    if (loudestAt >= 0) {
        const double refBlock = (double(loudestAt + span / 2) - fineOffset) / (1.0 + fineSlope);
        for (qsizetype s = 0; s < reference.songs.size(); ++s)
            if (double(reference.songs.at(s).startBlock) <= refBlock)
                verdict.loudestSong = s;
        if (verdict.loudestSong >= 0)
            verdict.loudestAtSeconds = std::max(0.0, (refBlock - double(reference.songs.at(verdict.loudestSong).startBlock)) * kBlockSeconds);
    }
    return verdict;
}

} // namespace tv::deck
