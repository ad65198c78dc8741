#include "LoudnessMeter.h"

#include "AudioFormat.h"

#include <ebur128.h>
extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

#include <algorithm>
#include <cmath>

namespace tv::levels {

namespace {
constexpr qint64 kBlockMs = 100;
constexpr qint64 kBlockFrames = tv::media::kSampleRate * kBlockMs / 1000;
constexpr int kTruePeakRate = 192000;

// libebur128's loudness of a mean energy, and back.
double energyOf(double lufs)
{
    return std::isfinite(lufs) ? std::pow(10.0, (lufs + 0.691) / 10.0) : 0.0;
}
double lufsOf(double energy)
{
    return energy > 0 ? -0.691 + 10.0 * std::log10(energy) : -HUGE_VAL;
}
double dbOf(double linear)
{
    return linear > 0 ? 20.0 * std::log10(linear) : -HUGE_VAL;
}
} // namespace

struct LoudnessMeter::State
{
    ebur128_state *meter = ebur128_init(tv::media::kChannels, tv::media::kSampleRate, EBUR128_MODE_I);
    SwrContext *upsampler = makeUpsampler();
    ~State()
    {
        if (meter)
            ebur128_destroy(&meter);
        swr_free(&upsampler);
    }
    static SwrContext *makeUpsampler()
    {
        SwrContext *swr = nullptr;
        AVChannelLayout stereo;
        av_channel_layout_default(&stereo, tv::media::kChannels);
        if (swr_alloc_set_opts2(&swr, &stereo, AV_SAMPLE_FMT_FLT, kTruePeakRate, &stereo, AV_SAMPLE_FMT_S16, tv::media::kSampleRate, 0, nullptr) < 0
            || swr_init(swr) < 0)
            swr_free(&swr);
        return swr;
    }
};

LoudnessMeter::LoudnessMeter() : m_state(std::make_unique<State>()) {}

LoudnessMeter::~LoudnessMeter() = default;

bool LoudnessMeter::isValid() const
{
    return m_state->meter && m_state->upsampler;
}

void LoudnessMeter::scanPeak(const float *samples, int frames)
{
    float peak = m_truePeak;
    for (int i = 0; i < frames * tv::media::kChannels; ++i)
        peak = std::max(peak, std::abs(samples[i]));
    m_truePeak = peak;
}

void LoudnessMeter::addFrames(const qint16 *interleaved, qint64 frames)
{
    if (!isValid())
        return;
    const int out = swr_get_out_samples(m_state->upsampler, int(frames));
    m_upsampled.resize(std::size_t(std::max(out, 0)) * tv::media::kChannels);
    const auto *in = reinterpret_cast<const uint8_t *>(interleaved);
    auto *up = reinterpret_cast<uint8_t *>(m_upsampled.data());
    const int got = swr_convert(m_state->upsampler, &up, out, &in, int(frames));
    if (got > 0)
        scanPeak(m_upsampled.data(), got);
    // Fed block by block, so that each 100 ms block's energy can be read
    // from the meter's own K-weighted history.
    while (frames > 0) {
        const qint64 n = std::min(frames, kBlockFrames - m_blockFill);
        ebur128_add_frames_short(m_state->meter, interleaved, std::size_t(n));
        interleaved += n * tv::media::kChannels;
        frames -= n;
        m_blockFill += n;
        if (m_blockFill == kBlockFrames)
            closeBlock();
    }
}

void LoudnessMeter::closeBlock()
{
    double lufs = -HUGE_VAL;
    if (ebur128_loudness_window(m_state->meter, kBlockMs, &lufs) != EBUR128_SUCCESS)
        lufs = -HUGE_VAL;
    m_blockEnergy.push_back(energyOf(lufs));
    m_blockFill = 0;
}

SongLevels LoudnessMeter::result()
{
    SongLevels levels;
    if (!isValid())
        return levels;
    double lufs = -HUGE_VAL;
    if (ebur128_loudness_global(m_state->meter, &lufs) == EBUR128_SUCCESS)
        levels.integratedLufs = std::isfinite(lufs) ? lufs : -HUGE_VAL;
    // What the resampler still holds: the last few milliseconds.
    const int out = swr_get_out_samples(m_state->upsampler, 0);
    if (out > 0) {
        m_upsampled.resize(std::size_t(out) * tv::media::kChannels);
        auto *up = reinterpret_cast<uint8_t *>(m_upsampled.data());
        const int got = swr_convert(m_state->upsampler, &up, out, nullptr, 0);
        if (got > 0)
            scanPeak(m_upsampled.data(), got);
    }
    levels.truePeakDbtp = dbOf(m_truePeak);

    // The loudest window: a sliding sum over the blocks (a partly filled
    // last block is left out; it is shorter than 100 ms).
    const qint64 windowBlocks = kLoudestWindowMs / kBlockMs;
    const qint64 blocks = qint64(m_blockEnergy.size());
    const qint64 span = std::min(windowBlocks, blocks);
    if (span == 0)
        return levels;
    double sum = 0;
    for (qint64 i = 0; i < span; ++i)
        sum += m_blockEnergy[std::size_t(i)];
    double best = sum;
    qint64 bestStart = 0;
    for (qint64 start = 1; start + span <= blocks; ++start) {
        sum += m_blockEnergy[std::size_t(start + span - 1)] - m_blockEnergy[std::size_t(start - 1)];
        if (sum > best * (1 + 1e-12)) {
            best = sum;
            bestStart = start;
        }
    }
    levels.loudestStartMs = bestStart * kBlockMs;
    levels.loudestLengthMs = span * kBlockMs;
    levels.loudestLufs = lufsOf(best / double(span));
    return levels;
}

} // namespace tv::levels
