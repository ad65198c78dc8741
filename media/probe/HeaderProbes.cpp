#include "HeaderProbes.h"

#include <array>
#include <cmath>

namespace tv::media {

namespace {

// Real files hold a handful of chunks before their sound; thousands of them
// are a hostile or broken file, and walking them must stay quick.
constexpr int kMostChunks = 1000;
constexpr std::uint32_t kMostChannels = 64;

QString damaged(const QString &kind, const QString &detail)
{
    return QStringLiteral("is not a valid %1 file: %2").arg(kind, detail);
}

Duration failure(const QString &path, const QString &kind, const QString &detail)
{
    return Duration::failure(fileError(path, damaged(kind, detail)));
}

Duration noSound(const QString &path)
{
    return Duration::failure(fileError(path, QStringLiteral("holds no sound that can be played")));
}

bool plausibleRate(double rate)
{
    return std::isfinite(rate) && rate >= kLowestRate && rate <= kHighestRate;
}

QString rateText(double rate)
{
    return std::isfinite(rate) ? QString::number(rate, 'g', 6) : QStringLiteral("not a number");
}

// Streaming writers leave these in the size fields when they cannot go back
// and fill in the real size; the file's own size is the truth then.
bool isPlaceholderSize(std::uint32_t size)
{
    return size == 0 || size == 0xFFFFFFFFu || size == 0x7FFFFFFFu;
}

// The 80-bit IEEE 754 extended number that AIFF uses for its sample rate.
// Infinity and NaN (the largest exponent) come back as NaN.
double extended80(const Bytes &b, std::size_t o)
{
    const int exponent = ((b.u8(o) & 0x7F) << 8) | b.u8(o + 1);
    std::uint64_t mantissa = 0;
    for (int i = 0; i < 8; ++i)
        mantissa = (mantissa << 8) | b.u8(o + 2 + i);
    if (exponent == 0x7FFF)
        return std::nan("");
    if (exponent == 0 && mantissa == 0)
        return 0.0;
    const double value = std::ldexp(double(mantissa), exponent - 16383 - 63);
    return (b.u8(o) & 0x80) ? -value : value;
}

double lengthOf(std::uint64_t frames, double rate)
{
    return double(frames) / rate;
}

} // namespace

Duration probeWav(const Bytes &file, const QString &path)
{
    const QString kind = QStringLiteral("WAV");
    if (!file.tagIs(0, "RIFF") || !file.tagIs(8, "WAVE"))
        return Duration::containerDecides(); // RF64, or another format under a .wav name
    std::size_t pos = 12;
    std::uint32_t frameBytes = 0;
    std::uint32_t sampleRate = 0;
    bool haveFmt = false;
    for (int chunks = 0; file.has(pos, 8); ++chunks) {
        if (chunks == kMostChunks)
            return failure(path, kind, QStringLiteral("it holds more than %1 chunks before its sound data").arg(kMostChunks));
        const std::uint32_t size = file.le32(pos + 4);
        const std::size_t body = pos + 8;
        if (file.tagIs(pos, "fmt ")) {
            if (size < 16 || !file.has(body, 16))
                return failure(path, kind, QStringLiteral("its format chunk is too short"));
            std::uint16_t formatTag = file.le16(body);
            const std::uint16_t channels = file.le16(body + 2);
            sampleRate = file.le32(body + 4);
            const std::uint16_t bits = file.le16(body + 14);
            if (formatTag == 0xFFFE && size >= 40 && file.has(body, 26))
                formatTag = file.le16(body + 24); // the extensible format's real format
            if (formatTag != 1 && formatTag != 3)
                return Duration::containerDecides(); // ADPCM, MP3 in WAV and the like
            if (channels == 0 || channels > kMostChannels)
                return failure(path, kind, QStringLiteral("its format chunk gives %1 channels").arg(channels));
            if (!plausibleRate(sampleRate))
                return failure(path, kind, QStringLiteral("its format chunk gives an impossible sample rate (%1 Hz)").arg(sampleRate));
            if (bits == 0 || bits > 64)
                return failure(path, kind, QStringLiteral("its format chunk gives %1 bits per sample").arg(bits));
            // What the decoder takes as one frame, whatever the block size field says.
            frameBytes = std::uint32_t(channels) * std::uint32_t((bits + 7) / 8);
            haveFmt = true;
        } else if (file.tagIs(pos, "data")) {
            if (!haveFmt)
                return failure(path, kind, QStringLiteral("its sound data comes before its format chunk"));
            // A header that promises more than the file holds belongs to a
            // file cut short: it plays as far as its bytes go.
            const std::size_t present = file.remaining(body);
            const std::size_t bytes = isPlaceholderSize(size) ? present : std::min<std::size_t>(size, present);
            const std::uint64_t frames = bytes / frameBytes;
            if (frames == 0)
                return noSound(path);
            return Duration::of(lengthOf(frames, sampleRate));
        }
        pos = body + std::size_t(size) + (size & 1);
    }
    return failure(path, kind, QStringLiteral("it has no sound data chunk"));
}

Duration probeAiff(const Bytes &file, const QString &path)
{
    const QString kind = QStringLiteral("AIFF");
    const bool aifc = file.tagIs(8, "AIFC");
    if (!file.tagIs(0, "FORM") || !(aifc || file.tagIs(8, "AIFF")))
        return Duration::containerDecides();
    std::size_t pos = 12;
    bool haveComm = false;
    double rate = 0;
    std::uint32_t frameBytes = 0;
    bool haveSound = false;
    std::size_t soundBytes = 0;
    for (int chunks = 0; file.has(pos, 8); ++chunks) {
        if (chunks == kMostChunks)
            return failure(path, kind, QStringLiteral("it holds more than %1 chunks").arg(kMostChunks));
        const std::uint32_t size = file.be32(pos + 4);
        const std::size_t body = pos + 8;
        if (file.tagIs(pos, "COMM")) {
            if (size < 18 || !file.has(body, 18))
                return failure(path, kind, QStringLiteral("its common chunk is too short"));
            const std::uint32_t channels = file.be16(body);
            const std::uint32_t bits = file.be16(body + 6);
            rate = extended80(file, body + 8);
            std::uint32_t bytesPerSample = (bits + 7) / 8;
            if (aifc) {
                // AIFC names its encoding; the PCM-like ones are read here,
                // real compression (IMA ADPCM, GSM, ...) by the decoder library.
                static constexpr std::array<std::pair<const char *, std::uint32_t>, 16> kEncodings{{
                    {"NONE", 0}, {"twos", 0}, {"sowt", 0}, {"raw ", 1}, {"in24", 3}, {"42ni", 3}, {"in32", 4}, {"23ni", 4},
                    {"fl32", 4}, {"FL32", 4}, {"fl64", 8}, {"FL64", 8}, {"ulaw", 1}, {"ULAW", 1}, {"alaw", 1}, {"ALAW", 1},
                }};
                if (size < 22 || !file.has(body, 22))
                    return failure(path, kind, QStringLiteral("its common chunk names no encoding"));
                bool known = false;
                for (const auto &[tag, sampleBytes] : kEncodings) {
                    if (file.startsWith(body + 18, tag, 4)) {
                        known = true;
                        if (sampleBytes != 0)
                            bytesPerSample = sampleBytes;
                    }
                }
                if (!known)
                    return Duration::containerDecides();
            }
            if (channels == 0 || channels > kMostChannels)
                return failure(path, kind, QStringLiteral("its common chunk gives %1 channels").arg(channels));
            if (bytesPerSample == 0 || bytesPerSample > 8)
                return failure(path, kind, QStringLiteral("its common chunk gives %1 bits per sample").arg(bits));
            if (!plausibleRate(rate))
                return failure(path, kind, QStringLiteral("its sample rate is impossible (%1 Hz)").arg(rateText(rate)));
            frameBytes = channels * bytesPerSample;
            haveComm = true;
        } else if (file.tagIs(pos, "SSND") && !haveSound) {
            // The sound data starts after an offset and a block size field;
            // the decoder plays every byte of the chunk that the file holds.
            haveSound = true;
            const std::size_t start = body + 8 + std::size_t(file.be32(body));
            const std::size_t declared = size >= 8 ? std::size_t(size) - 8 - std::min<std::size_t>(file.be32(body), size - 8) : 0;
            soundBytes = std::min(declared, file.remaining(start));
        }
        pos = body + std::size_t(size) + (size & 1);
    }
    if (!haveComm)
        return failure(path, kind, QStringLiteral("it has no common chunk"));
    if (!haveSound || soundBytes / frameBytes == 0)
        return noSound(path);
    return Duration::of(lengthOf(soundBytes / frameBytes, rate));
}

Duration probeAu(const Bytes &file, const QString &path)
{
    const QString kind = QStringLiteral("AU");
    if (!file.tagIs(0, ".snd"))
        return Duration::containerDecides();
    if (!file.has(0, 24))
        return failure(path, kind, QStringLiteral("its header is too short"));
    const std::uint32_t offset = file.be32(4);
    const std::uint32_t encoding = file.be32(12);
    const std::uint32_t rate = file.be32(16);
    const std::uint32_t channels = file.be32(20);
    std::uint32_t bytesPerSample = 0;
    switch (encoding) {
    case 1: case 2: case 27: bytesPerSample = 1; break; // mu-law, 8-bit linear, A-law
    case 3: bytesPerSample = 2; break;
    case 4: bytesPerSample = 3; break;
    case 5: case 6: bytesPerSample = 4; break;
    case 7: bytesPerSample = 8; break;
    default:
        return Duration::failure(fileError(path, QStringLiteral("uses an AU sound encoding (%1) that cannot be played").arg(encoding)));
    }
    if (!plausibleRate(rate) || channels == 0 || channels > kMostChannels)
        return failure(path, kind, QStringLiteral("its header gives an impossible sample rate or channel count"));
    if (offset < 24 || offset > file.size())
        return failure(path, kind, QStringLiteral("its sound data offset points outside the file"));
    // The decoder plays from the offset to the end of the file, whatever
    // the size field says ("unknown", more than a cut file holds, or less).
    const std::size_t bytes = file.remaining(offset);
    const std::uint64_t frames = bytes / (bytesPerSample * channels);
    if (frames == 0)
        return noSound(path);
    return Duration::of(lengthOf(frames, rate));
}

} // namespace tv::media
