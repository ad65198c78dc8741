#include "DeckAnalysis.h"

#include "DeckSignal.h"

#include <algorithm>
#include <cmath>

namespace tv::deck {

namespace {

constexpr double kBlockSeconds = 0.010;
constexpr double kBelowLoudestDb = 25.0; // a part is heard where the level is this close to the loudest
constexpr double kQuietestHeardDbfs = -60.0;
constexpr double kBridgedGapSeconds = 0.1; // a dropout does not split a part
constexpr double kTrimSeconds = 0.3;       // each part's edges are left out of its figures
constexpr double kDurationSlack = 0.15;    // a part may last 15 % more or less (deck speed, dropouts)

struct Run
{
    std::size_t from; // samples
    std::size_t to;
};

// The stretches where the sound is loud enough to be a part of the signal.
std::vector<Run> loudRuns(std::span<const float> samples, double sampleRate)
{
    const auto block = static_cast<std::size_t>(kBlockSeconds * sampleRate);
    std::vector<double> levels;
    for (std::size_t at = 0; at + block <= samples.size(); at += block)
        levels.push_back(sineLevelDbfs(samples.subspan(at, block)));
    if (levels.empty())
        return {};
    const double loudest = *std::max_element(levels.begin(), levels.end());
    const double threshold = std::max(kQuietestHeardDbfs, loudest - kBelowLoudestDb);
    const auto bridge = static_cast<std::size_t>(kBridgedGapSeconds / kBlockSeconds);

    std::vector<Run> runs;
    for (std::size_t i = 0; i < levels.size(); ++i) {
        if (levels[i] < threshold)
            continue;
        if (!runs.empty() && i * block - runs.back().to <= bridge * block)
            runs.back().to = (i + 1) * block;
        else
            runs.push_back({i * block, (i + 1) * block});
    }
    return runs;
}

std::span<const float> trimmed(std::span<const float> samples, const Run &run, double sampleRate)
{
    const auto trim = static_cast<std::size_t>(kTrimSeconds * sampleRate);
    if (run.to - run.from <= 2 * trim)
        return {};
    return samples.subspan(run.from + trim, run.to - run.from - 2 * trim);
}

struct Parts
{
    std::vector<Run> runs; // the parts found, in the signal's order
    bool whole = false;    // every part found
    bool broken = false;   // a part after the first heard too long or too short
};

// The signal's sounding parts: the first runs, in order, that last as long
// as the parts do; anything before (a click, the deck's own start) is
// passed over.
Parts findParts(std::span<const float> samples, double sampleRate)
{
    std::vector<double> wanted;
    for (const Segment &s : deckSignalSegments())
        if (s.kind != SegmentKind::Silence)
            wanted.push_back(s.seconds);
    Parts parts;
    for (const Run &run : loudRuns(samples, sampleRate)) {
        if (parts.runs.size() == wanted.size())
            break;
        // A run still sounding at the end of what was heard is not judged yet.
        if (static_cast<double>(samples.size() - run.to) < kBridgedGapSeconds * sampleRate)
            break;
        const double seconds = static_cast<double>(run.to - run.from) / sampleRate;
        const double want = wanted[parts.runs.size()];
        if (std::abs(seconds - want) <= kDurationSlack * want) {
            parts.runs.push_back(run);
        } else if (!parts.runs.empty()) {
            parts.broken = true;
            break;
        }
    }
    parts.whole = parts.runs.size() == wanted.size();
    return parts;
}

} // namespace

Hearing hearSignal(std::span<const float> samples, double sampleRate)
{
    const Parts parts = findParts(samples, sampleRate);
    if (parts.broken)
        return Hearing::Broken;
    // The last part may still be sounding: it counts once quiet follows it.
    if (parts.whole && static_cast<double>(samples.size() - parts.runs.back().to) >= kTrimSeconds * sampleRate)
        return Hearing::Whole;
    return Hearing::NotYet;
}

double sineLevelDbfs(std::span<const float> samples)
{
    if (samples.empty())
        return -200.0;
    double squares = 0.0;
    for (float s : samples)
        squares += static_cast<double>(s) * s;
    const double rms = std::sqrt(squares / static_cast<double>(samples.size()));
    return rms > 0.0 ? 20.0 * std::log10(rms * std::sqrt(2.0)) : -200.0;
}

DeckReport analyseDeckCapture(std::span<const float> samples, double sampleRate)
{
    DeckReport report;
    const Parts found = findParts(samples, sampleRate);
    const std::vector<Run> &parts = found.runs;
    if (!found.whole) {
        report.error = parts.empty() ? QStringLiteral("The test signal was not heard from the deck.")
                                     : QStringLiteral("The test signal was not heard whole: a part of it was cut short or missing.");
        return report;
    }

    const std::span<const float> level = trimmed(samples, parts[0], sampleRate);
    report.levelDbfs = sineLevelDbfs(level);
    report.levelChangeDb = report.levelDbfs - kSentLevelDbfs;

    // The silence after the level tone, away from both tones' edges.
    const Run quiet{parts[0].to, parts[1].from};
    report.noiseFloorDbfs = sineLevelDbfs(trimmed(samples, quiet, sampleRate));

    QString error;
    const std::optional<ToneTrack> track = followTone(trimmed(samples, parts[1], sampleRate), sampleRate, kSpeedToneHz, &error);
    if (!track) {
        report.error = error;
        return report;
    }
    report.flutter = measureFlutter(*track, kSpeedToneHz);
    const double speed = track->meanHz / kSpeedToneHz;
    report.response = measureResponse(trimmed(samples, parts[2], sampleRate), sampleRate, speed);
    if (report.response.empty())
        report.error = QStringLiteral("The multitone was heard too briefly to measure the response.");
    return report;
}

} // namespace tv::deck
