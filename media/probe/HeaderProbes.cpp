#include "HeaderProbes.h"

#include <cmath>
#include <limits>

namespace tv::media {

namespace {

QString damaged(const QString &kind, const QString &detail)
{
    return QStringLiteral("is not a valid %1 file: %2").arg(kind, detail);
}

// Streaming writers leave these in the size fields when they cannot go back
// and fill in the real size; the file's own size is the truth then.
bool isPlaceholderSize(std::uint32_t size)
{
    return size == 0 || size == 0xFFFFFFFFu || size == 0x7FFFFFFFu;
}

// The 80-bit IEEE 754 extended number that AIFF uses for its sample rate.
double extended80(const Bytes &b, std::size_t o)
{
    const int exponent = ((b.u8(o) & 0x7F) << 8) | b.u8(o + 1);
    std::uint64_t mantissa = 0;
    for (int i = 0; i < 8; ++i)
        mantissa = (mantissa << 8) | b.u8(o + 2 + i);
    if (exponent == 0 && mantissa == 0)
        return 0.0;
    const double value = std::ldexp(double(mantissa), exponent - 16383 - 63);
    return (b.u8(o) & 0x80) ? -value : value;
}

} // namespace

Duration probeWav(const Bytes &file, const QString &path)
{
    const QString kind = QStringLiteral("WAV");
    std::size_t pos = 12;
    std::uint16_t blockAlign = 0;
    std::uint32_t sampleRate = 0;
    std::uint16_t formatTag = 0;
    std::uint32_t factFrames = 0;
    bool haveFmt = false;
    bool haveFact = false;
    while (file.has(pos, 8)) {
        const std::uint32_t size = file.le32(pos + 4);
        const std::size_t body = pos + 8;
        if (file.tagIs(pos, "fmt ")) {
            if (size < 16 || !file.has(body, 16))
                return Duration::failure(fileError(path, damaged(kind, QStringLiteral("its format chunk is too short"))));
            formatTag = file.le16(body);
            sampleRate = file.le32(body + 4);
            blockAlign = file.le16(body + 12);
            haveFmt = true;
        } else if (file.tagIs(pos, "fact") && file.has(body, 4)) {
            factFrames = file.le32(body);
            haveFact = true;
        } else if (file.tagIs(pos, "data")) {
            if (!haveFmt)
                return Duration::failure(fileError(path, damaged(kind, QStringLiteral("its sound data comes before its format chunk"))));
            if (sampleRate == 0 || blockAlign == 0)
                return Duration::failure(fileError(path, damaged(kind, QStringLiteral("its format chunk gives a sample rate or frame size of zero"))));
            const std::size_t present = file.size() - body;
            std::size_t bytes = size;
            if (isPlaceholderSize(size)) {
                bytes = present;
            } else if (size > present) {
                return Duration::failure(fileError(path, QStringLiteral("is damaged: its header promises %1 bytes of sound but the file holds only %2")
                                                              .arg(size).arg(present)));
            }
            // Compressed WAV (ADPCM and the like) states its length in frames.
            if (formatTag != 1 && formatTag != 3 && formatTag != 0xFFFE && haveFact)
                return Duration::of(double(factFrames) / sampleRate);
            return Duration::of(double(bytes / blockAlign) / sampleRate);
        }
        if (size > file.size())
            break;
        pos = body + size + (size & 1);
    }
    return Duration::failure(fileError(path, damaged(kind, QStringLiteral("it has no sound data chunk"))));
}

Duration probeAiff(const Bytes &file, const QString &path)
{
    const QString kind = QStringLiteral("AIFF");
    std::size_t pos = 12;
    bool haveComm = false;
    std::uint32_t frames = 0;
    double rate = 0;
    bool haveSound = false;
    std::size_t soundBytes = 0;
    std::uint32_t frameBytes = 0;
    while (file.has(pos, 8)) {
        const std::uint32_t size = file.be32(pos + 4);
        const std::size_t body = pos + 8;
        if (file.tagIs(pos, "COMM")) {
            if (size < 18 || !file.has(body, 18))
                return Duration::failure(fileError(path, damaged(kind, QStringLiteral("its common chunk is too short"))));
            const int channels = file.be16(body);
            frames = file.be32(body + 2);
            const int bits = file.be16(body + 6);
            rate = extended80(file, body + 8);
            frameBytes = std::uint32_t(channels) * std::uint32_t((bits + 7) / 8);
            haveComm = true;
        } else if (file.tagIs(pos, "SSND")) {
            haveSound = true;
            const std::size_t present = file.size() - std::min(file.size(), body + 8);
            soundBytes = std::min<std::size_t>(size >= 8 ? size - 8 : 0, present);
        }
        if (size > file.size())
            break;
        pos = body + size + (size & 1);
    }
    if (!haveComm)
        return Duration::failure(fileError(path, damaged(kind, QStringLiteral("it has no common chunk"))));
    if (!(rate > 0) || !std::isfinite(rate))
        return Duration::failure(fileError(path, damaged(kind, QStringLiteral("its sample rate is not a positive number"))));
    if (frames > 0 && !haveSound)
        return Duration::failure(fileError(path, damaged(kind, QStringLiteral("it has no sound data chunk"))));
    // Uncompressed AIFF must hold every frame it announces; AIFC may compress.
    const bool compressed = file.tagIs(8, "AIFC");
    if (!compressed && frameBytes > 0 && std::uint64_t(frames) * frameBytes > soundBytes)
        return Duration::failure(fileError(path, QStringLiteral("is damaged: its header promises %1 sample frames but the file holds only %2")
                                                      .arg(frames).arg(soundBytes / frameBytes)));
    return Duration::of(double(frames) / rate);
}

Duration probeAu(const Bytes &file, const QString &path)
{
    const QString kind = QStringLiteral("AU");
    if (!file.has(0, 24))
        return Duration::failure(fileError(path, damaged(kind, QStringLiteral("its header is too short"))));
    const std::uint32_t offset = file.be32(4);
    const std::uint32_t size = file.be32(8);
    const std::uint32_t encoding = file.be32(12);
    const std::uint32_t rate = file.be32(16);
    const std::uint32_t channels = file.be32(20);
    int bytesPerSample = 0;
    switch (encoding) {
    case 1: case 2: case 27: bytesPerSample = 1; break; // mu-law, 8-bit linear, A-law
    case 3: bytesPerSample = 2; break;
    case 4: bytesPerSample = 3; break;
    case 5: case 6: bytesPerSample = 4; break;
    case 7: bytesPerSample = 8; break;
    default:
        return Duration::failure(fileError(path, QStringLiteral("uses an AU sound encoding (%1) that cannot be played").arg(encoding)));
    }
    if (rate == 0 || channels == 0 || channels > 64)
        return Duration::failure(fileError(path, damaged(kind, QStringLiteral("its header gives an impossible sample rate or channel count"))));
    if (offset < 24 || offset > file.size())
        return Duration::failure(fileError(path, damaged(kind, QStringLiteral("its sound data offset points outside the file"))));
    const std::size_t present = file.size() - offset;
    std::size_t bytes = size;
    if (size == 0xFFFFFFFFu) {
        bytes = present; // "unknown size": the data runs to the end of the file
    } else if (size > present) {
        return Duration::failure(fileError(path, QStringLiteral("is damaged: its header promises %1 bytes of sound but the file holds only %2")
                                                      .arg(size).arg(present)));
    }
    return Duration::of(double(bytes / (std::size_t(bytesPerSample) * channels)) / rate);
}

} // namespace tv::media
