#include "Mp3Probe.h"

#include "../FfmpegHandles.h"
#include "DecodedLength.h"

#include <array>
#include <cstdlib>

namespace tv::media {

namespace {

struct FrameHeader
{
    int version = 0; // 1 = MPEG-1, 2 = MPEG-2, 25 = MPEG-2.5
    int layer = 0;
    int sampleRate = 0;
    int samplesPerFrame = 0;
    int frameBytes = 0;
    bool mono = false;
};

constexpr std::array<std::array<int, 16>, 5> kBitrates{{
    {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0}, // MPEG-1 layer I
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0},    // MPEG-1 layer II
    {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0},     // MPEG-1 layer III
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 0},    // MPEG-2/2.5 layer I
    {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},         // MPEG-2/2.5 layers II, III
}};

// Parses the four header bytes at offset; false when they are no valid header.
// Free-format frames (bitrate index 0) have no stated size and are refused.
bool parseHeader(const Bytes &b, std::size_t o, FrameHeader &h)
{
    const unsigned char *p = b.fetch(o, 4);
    if (!p)
        return false;
    const unsigned char b1 = p[1], b2 = p[2], b3 = p[3];
    if (p[0] != 0xFF || (b1 & 0xE0) != 0xE0)
        return false;
    const int versionBits = (b1 >> 3) & 3;
    const int layerBits = (b1 >> 1) & 3;
    const int bitrateIndex = b2 >> 4;
    const int rateIndex = (b2 >> 2) & 3;
    if (versionBits == 1 || layerBits == 0 || bitrateIndex == 0 || bitrateIndex == 15 || rateIndex == 3 || (b3 & 3) == 2)
        return false;
    h.version = versionBits == 3 ? 1 : versionBits == 2 ? 2 : 25;
    h.layer = 4 - layerBits;
    static constexpr int kRates[3] = {44100, 48000, 32000};
    h.sampleRate = kRates[rateIndex] / (h.version == 1 ? 1 : h.version == 2 ? 2 : 4);
    const int table = h.version == 1 ? h.layer - 1 : (h.layer == 1 ? 3 : 4);
    const int bitrate = kBitrates[table][bitrateIndex] * 1000;
    const int padding = (b2 >> 1) & 1;
    h.mono = (b3 >> 6) == 3;
    if (h.layer == 1) {
        h.samplesPerFrame = 384;
        h.frameBytes = (12 * bitrate / h.sampleRate + padding) * 4;
    } else {
        h.samplesPerFrame = (h.layer == 3 && h.version != 1) ? 576 : 1152;
        h.frameBytes = h.samplesPerFrame / 8 * bitrate / h.sampleRate + padding;
    }
    return h.frameBytes >= 4;
}

bool sameStream(const FrameHeader &a, const FrameHeader &b)
{
    return a.version == b.version && a.layer == b.layer && a.sampleRate == b.sampleRate;
}

// A frame is believed when the next one follows right behind it (or the file
// ends exactly there); this keeps stray 0xFF bytes from counting as frames.
bool isFrameAt(const Bytes &b, std::size_t o, FrameHeader &h)
{
    if (!parseHeader(b, o, h))
        return false;
    const std::size_t next = o + std::size_t(h.frameBytes);
    if (next >= b.size())
        return next == b.size();
    FrameHeader following;
    return parseHeader(b, next, following) && sameStream(h, following);
}

bool isTrailingTag(const Bytes &b, std::size_t o)
{
    static constexpr const char *kTags[] = {"TAG", "APETAGEX", "LYRICSBEGIN", "ID3"};
    for (const char *tag : kTags) {
        if (b.startsWith(o, tag, std::char_traits<char>::length(tag)))
            return true;
    }
    return false;
}

// The first frame from `from` on, searching at most kMp3SyncSearchBytes;
// the file's size when there is none.
std::size_t findFirstFrame(const Bytes &b, std::size_t from, FrameHeader &h)
{
    const std::size_t end = from + std::min(kMp3SyncSearchBytes, b.remaining(from));
    for (std::size_t o = from; o < end && b.has(o, 4); ++o) {
        if (b.u8(o) == 0xFF && isFrameAt(b, o, h))
            return o;
    }
    return b.size();
}

double seconds(std::uint64_t samples, int rate) { return double(samples) / rate; }

// Xing/Info (LAME and others) or VBRI in the first frame: the frame count of
// the stream, and the encoder delay and padding that a LAME tag records.
struct VbrHeader
{
    bool found = false;
    std::uint64_t frames = 0;
    int delay = 0;
    int padding = 0;
};

VbrHeader readVbrHeader(const Bytes &b, std::size_t frame, const FrameHeader &h)
{
    VbrHeader v;
    const std::size_t sideInfo = h.version == 1 ? (h.mono ? 17 : 32) : (h.mono ? 9 : 17);
    const std::size_t xing = frame + 4 + sideInfo;
    if (b.tagIs(xing, "Xing") || b.tagIs(xing, "Info")) {
        v.found = true; // the frame is a header, not sound, with or without a count
        const std::uint32_t flags = b.be32(xing + 4);
        std::size_t o = xing + 8;
        if (flags & 1) {
            v.frames = b.be32(o);
            o += 4;
        }
        if (flags & 2)
            o += 4;
        if (flags & 4)
            o += 100;
        if (flags & 8)
            o += 4;
        // LAME extension: 9-byte encoder name, then at +21 the 12-bit delay and padding.
        if (b.has(o, 24) && (b.startsWith(o, "LAME", 4) || b.startsWith(o, "Lavc", 4) || b.startsWith(o, "Lavf", 4))) {
            const std::size_t dp = o + 21;
            v.delay = (b.u8(dp) << 4) | (b.u8(dp + 1) >> 4);
            v.padding = ((b.u8(dp + 1) & 0x0F) << 8) | b.u8(dp + 2);
        }
        return v;
    }
    const std::size_t vbri = frame + 4 + 32;
    if (b.tagIs(vbri, "VBRI")) {
        v.found = true;
        v.frames = b.be32(vbri + 14);
    }
    return v;
}

// What walking the frame headers found.
struct Mp3Walk
{
    std::uint64_t frames = 0;  // every frame, a Xing/Info header frame included
    std::uint64_t samples = 0; // samples of those frames
    bool damaged = false;      // stretches inside that are no frames
    bool tooLong = false;      // the walk passed kLongestSeconds and stopped
};

Mp3Walk walkFrames(const Bytes &b, std::size_t start, const FrameHeader &first)
{
    Mp3Walk walk;
    std::size_t o = start;
    FrameHeader h;
    while (b.has(o, 4)) {
        if (parseHeader(b, o, h) && sameStream(h, first)) {
            // A last frame cut short still decodes (its missing end as silence).
            walk.samples += std::uint64_t(h.samplesPerFrame);
            ++walk.frames;
            if (seconds(walk.samples, first.sampleRate) > kLongestSeconds) {
                walk.tooLong = true;
                break;
            }
            o += std::size_t(h.frameBytes);
            continue;
        }
        if (isTrailingTag(b, o))
            break;
        walk.damaged = true;
        FrameHeader resync;
        o = findFirstFrame(b, o + 1, resync);
    }
    return walk;
}

} // namespace

std::size_t mp3AudioStart(const Bytes &b)
{
    std::size_t o = 0;
    // One or more ID3v2 tags: "ID3", version, flags, then a 28-bit syncsafe size.
    while (b.has(o, 10) && b.startsWith(o, "ID3", 3)) {
        const std::size_t size = (std::size_t(b.u8(o + 6) & 0x7F) << 21) | (std::size_t(b.u8(o + 7) & 0x7F) << 14)
                                 | (std::size_t(b.u8(o + 8) & 0x7F) << 7) | std::size_t(b.u8(o + 9) & 0x7F);
        const bool footer = b.u8(o + 5) & 0x10;
        o += 10 + size + (footer ? 10 : 0);
    }
    return std::min(o, b.size());
}

Duration probeMp3(const Bytes &b, const QString &path)
{
    FrameHeader first;
    const std::size_t start = findFirstFrame(b, mp3AudioStart(b), first);
    if (start >= b.size())
        return Duration::failure(fileError(path, QStringLiteral("is not a valid MP3 file: no MPEG audio frames were found")));

    const VbrHeader vbr = readVbrHeader(b, start, first);
    Mp3Walk walk = walkFrames(b, start, first);
    if (walk.tooLong)
        return Duration::failure(fileError(path, QStringLiteral("is longer than %1 hours, more than any song can be").arg(kLongestSeconds / 3600)));

    // The decoder library splits the stream into frames its own way; where
    // it finds other frames than the walk (false syncs inside damaged
    // frames), the walk is not what plays.
    if (!walk.damaged) {
        const std::optional<qint64> packets = demuxedPackets(path, kDecodeBudgetMs / 2);
        if (!packets) {
            // Frames the player's decoder library does not take for MPEG
            // audio at all (a few stray frames in other data) do not play.
            const QString why = ff::openAudioInput(path).error;
            if (!why.isEmpty())
                return Duration::failure(fileError(path, why));
        }
        const qint64 audioFrames = qint64(walk.frames) - (vbr.found ? 1 : 0);
        walk.damaged = packets && std::abs(*packets - audioFrames) > 1;
    }
    if (walk.damaged) {
        // How the decoder resynchronises over garbage decides what plays:
        // let it say, within the time a measurement may take.
        if (const std::optional<double> decoded = decodedLength(path, kDecodeBudgetMs)) {
            if (*decoded <= 0)
                return Duration::failure(fileError(path, QStringLiteral("holds no MP3 audio that can be played")));
            return Duration::of(*decoded);
        }
    }

    std::uint64_t samples = walk.samples;
    if (vbr.found && walk.frames > 0) {
        // The header frame plays no sound; its delay and padding are
        // trimmed by the decoder. A frame count that disagrees with the
        // frames present (a damaged or lying header) is not believed.
        samples -= std::uint64_t(first.samplesPerFrame);
        const std::uint64_t audioFrames = walk.frames - 1;
        const std::uint64_t trim = std::uint64_t(vbr.delay) + (vbr.frames == audioFrames ? std::uint64_t(vbr.padding) : 0);
        samples = samples > trim ? samples - trim : 0;
    }
    if (samples == 0)
        return Duration::failure(fileError(path, QStringLiteral("holds no MP3 audio that can be played")));
    return Duration::of(seconds(samples, first.sampleRate));
}

} // namespace tv::media
