#include "DeckSignal.h"

#include "AudioFormat.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tv::deck {

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;
constexpr double kRampSeconds = 0.005; // no click at a part's edges

constexpr Segment kSegments[] = {
    {SegmentKind::Silence, 0.5},   {SegmentKind::LevelTone, 3.0}, {SegmentKind::Silence, 2.0},
    {SegmentKind::SpeedTone, 12.0}, {SegmentKind::Silence, 1.0},  {SegmentKind::Multitone, 4.0},
    {SegmentKind::Silence, 0.5},
};

constexpr double kTones[] = {31.5, 40,   50,   63,   80,   100,  125,  160,   200,   250,
                             315,  400,  500,  630,  800,  1000, 1250, 1600,  2000,  2500,
                             3150, 4000, 5000, 6300, 8000, 10000, 12500, 16000};

double amplitude(double dbfs)
{
    return std::pow(10.0, dbfs / 20.0);
}

// The value of one part at t seconds into it.
double partValue(SegmentKind kind, double t)
{
    switch (kind) {
    case SegmentKind::Silence:
        return 0.0;
    case SegmentKind::LevelTone:
        return amplitude(kSentLevelDbfs) * std::sin(kTwoPi * kLevelToneHz * t);
    case SegmentKind::SpeedTone:
        return amplitude(kSentLevelDbfs) * std::sin(kTwoPi * kSpeedToneHz * t);
    case SegmentKind::Multitone: {
        // Schroeder's phases keep the sum's peaks far under the tones' added amplitudes.
        const double n = static_cast<double>(std::size(kTones));
        double sum = 0.0;
        for (std::size_t k = 0; k < std::size(kTones); ++k) {
            const double kk = static_cast<double>(k);
            sum += std::sin(kTwoPi * kTones[k] * t + std::numbers::pi * kk * kk / n);
        }
        return amplitude(kMultitoneDbfs) * sum;
    }
    }
    return 0.0;
}

} // namespace

std::span<const Segment> deckSignalSegments()
{
    return kSegments;
}

double deckSignalSeconds()
{
    double total = 0.0;
    for (const Segment &s : kSegments)
        total += s.seconds;
    return total;
}

std::span<const double> responseTonesHz()
{
    return kTones;
}

std::vector<float> renderDeckSignal(double sampleRate, const TapeClock &clock)
{
    const double total = deckSignalSeconds();
    std::vector<float> out;
    out.reserve(static_cast<std::size_t>(total * sampleRate * 1.1) + 1);
    for (std::size_t i = 0;; ++i) {
        const double real = static_cast<double>(i) / sampleRate;
        const double tape = clock ? clock(real) : real;
        if (tape >= total)
            break;
        double start = 0.0;
        const Segment *part = &kSegments[0];
        for (const Segment &s : kSegments) {
            part = &s;
            if (tape < start + s.seconds)
                break;
            start += s.seconds;
        }
        const double into = tape - start;
        const double edge = std::min(into, part->seconds - into);
        const double ramp = edge >= kRampSeconds ? 1.0 : 0.5 - 0.5 * std::cos(std::numbers::pi * edge / kRampSeconds);
        out.push_back(static_cast<float>(ramp * partValue(part->kind, into)));
    }
    return out;
}

DeckSignalSource::DeckSignalSource() : DeckSignalSource(renderDeckSignal(tv::media::kSampleRate)) {}

DeckSignalSource::DeckSignalSource(std::vector<float> mono) : m_mono(std::move(mono)) {}

qint64 DeckSignalSource::readFrames(qint16 *out, qint64 maxFrames)
{
    const auto frames = std::min<std::size_t>(static_cast<std::size_t>(std::max<qint64>(0, maxFrames)), m_mono.size() - m_at);
    for (std::size_t i = 0; i < frames; ++i) {
        const double v = std::clamp(static_cast<double>(m_mono[m_at + i]), -1.0, 1.0);
        const auto sample = static_cast<qint16>(std::lround(v * 32767.0));
        out[2 * i] = sample;
        out[2 * i + 1] = sample;
    }
    m_at += frames;
    return static_cast<qint64>(frames);
}

bool DeckSignalSource::seekMs(qint64 positionMs)
{
    m_at = std::min(m_mono.size(), static_cast<std::size_t>(tv::media::framesForMs(std::max<qint64>(0, positionMs))));
    return true;
}

} // namespace tv::deck
