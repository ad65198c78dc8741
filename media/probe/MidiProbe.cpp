#include "MidiProbe.h"

#include "Bytes.h"

#include <algorithm>
#include <vector>

namespace tv::media {

namespace {

constexpr std::uint32_t kDefaultTempo = 500000; // microseconds per quarter note

using TempoMap = std::vector<std::pair<std::uint64_t, std::uint32_t>>; // tick, tempo

enum class Read { Ok, CutShort, Damaged };

Read readVarLen(const Bytes &b, std::size_t &o, std::size_t end, std::uint32_t &value)
{
    value = 0;
    for (int i = 0; i < 4; ++i) {
        if (o >= end)
            return Read::CutShort;
        const unsigned char c = b.u8(o++);
        value = (value << 7) | (c & 0x7F);
        if (!(c & 0x80))
            return Read::Ok;
    }
    return Read::Damaged; // more than four bytes: not a MIDI number
}

struct TrackScan
{
    std::uint64_t endTick = 0;
    std::size_t lastEventEnd = 0; // just past the last complete event
    bool cutShort = false;        // the bytes ran out in the middle of an event
    QString error;                // damage that is not a cut
};

// Walks the events of one track between o and end, recording tempo changes
// (into tempos when it is given).
TrackScan scanTrack(const Bytes &b, std::size_t o, std::size_t end, TempoMap *tempos)
{
    TrackScan scan;
    scan.lastEventEnd = o;
    std::uint64_t tick = 0;
    unsigned char running = 0;
    const auto cut = [&scan] {
        scan.cutShort = true;
        return scan;
    };
    const auto damaged = [&scan](const char *why) {
        scan.error = QString::fromLatin1(why);
        return scan;
    };
    while (o < end) {
        std::uint32_t delta = 0;
        const Read time = readVarLen(b, o, end, delta);
        if (time == Read::CutShort)
            return cut();
        if (time == Read::Damaged)
            return damaged("an event time in a track is damaged");
        tick += delta;
        if (o >= end)
            return cut();
        unsigned char status = b.u8(o);
        if (status & 0x80) {
            ++o;
        } else if (running) {
            status = running; // running status: the data byte belongs to the previous kind
        } else {
            return damaged("a track starts with data bytes that belong to no event");
        }
        if (status == 0xFF || status == 0xF0 || status == 0xF7) {
            bool meta = status == 0xFF;
            unsigned char type = 0;
            if (meta) {
                if (o >= end)
                    return cut();
                type = b.u8(o++);
            }
            std::uint32_t length = 0;
            const Read size = readVarLen(b, o, end, length);
            if (size == Read::CutShort || (size == Read::Ok && length > end - o))
                return cut();
            if (size == Read::Damaged)
                return damaged("an event length in a track is damaged");
            if (meta && type == 0x51 && length >= 3 && tempos) {
                const std::uint32_t tempo = (std::uint32_t(b.u8(o)) << 16) | (std::uint32_t(b.u8(o + 1)) << 8) | b.u8(o + 2);
                if (tempo > 0)
                    tempos->emplace_back(tick, tempo);
            }
            o += length;
            if (!meta)
                running = 0;
            scan.endTick = tick;
            scan.lastEventEnd = o;
            if (meta && type == 0x2F)
                break; // end of track
            continue;
        }
        if (status >= 0xF0)
            return damaged("a track holds a system message that has no place in a file");
        running = status;
        const std::size_t dataBytes = (status & 0xF0) == 0xC0 || (status & 0xF0) == 0xD0 ? 1 : 2;
        if (end - o < dataBytes)
            return cut();
        o += dataBytes;
        scan.endTick = tick;
        scan.lastEventEnd = o;
    }
    return scan;
}

QString notMidi(const QString &detail) { return QStringLiteral("is not a valid MIDI file: ") + detail; }

void appendBe32(QByteArray &out, std::uint32_t v)
{
    out.append(char(v >> 24)).append(char(v >> 16)).append(char(v >> 8)).append(char(v));
}

QByteArray standardMidiData(const QByteArray &file)
{
    if (file.startsWith("MThd"))
        return file;
    if (!file.startsWith("RIFF") || file.mid(8, 4) != "RMID")
        return {};
    const Bytes b({reinterpret_cast<const unsigned char *>(file.constData()), std::size_t(file.size())});
    std::size_t o = 12;
    while (b.has(o, 8)) {
        const std::uint32_t size = b.le32(o + 4);
        if (b.tagIs(o, "data"))
            return file.mid(qsizetype(o + 8), qsizetype(std::min<std::size_t>(size, b.remaining(o + 8))));
        o += 8 + std::size_t(size) + (size & 1);
    }
    return {};
}

} // namespace

PlayableMidi playableMidiData(const QByteArray &file)
{
    PlayableMidi result;
    const QByteArray smf = standardMidiData(file);
    if (smf.isEmpty()) {
        result.error = notMidi(QStringLiteral("it holds no standard MIDI data"));
        return result;
    }
    const Bytes b({reinterpret_cast<const unsigned char *>(smf.constData()), std::size_t(smf.size())});
    const std::uint32_t headerLength = b.be32(4);
    if (headerLength < 6 || !b.has(8, headerLength)) {
        result.error = notMidi(QStringLiteral("its header chunk has a wrong length"));
        return result;
    }
    std::uint16_t format = b.be16(8);
    result.tracksAnnounced = b.be16(10);
    const std::uint16_t division = b.be16(12);
    if (division == 0) {
        result.error = notMidi(QStringLiteral("its time division is zero"));
        return result;
    }

    QByteArray tracks;
    std::size_t o = 8 + std::size_t(headerLength);
    while (b.has(o, 8) && result.tracksKept < kMostMidiTracks) {
        const std::uint32_t length = b.be32(o + 4);
        const std::size_t body = o + 8;
        const std::size_t present = std::min<std::size_t>(length, b.remaining(body));
        if (b.tagIs(o, "MTrk")) {
            const TrackScan scan = scanTrack(b, body, body + present, nullptr);
            if (!scan.error.isEmpty()) {
                result.error = notMidi(scan.error);
                return result;
            }
            const std::size_t kept = scan.lastEventEnd - body;
            if (scan.cutShort || present < length) {
                // The file ends inside this track: its complete events play,
                // then the track ends.
                if (kept == 0 && scan.endTick == 0)
                    break;
                tracks.append("MTrk", 4);
                appendBe32(tracks, std::uint32_t(kept + 4));
                tracks.append(smf.constData() + body, qsizetype(kept));
                tracks.append("\x00\xFF\x2F\x00", 4);
                ++result.tracksKept;
                break;
            }
            tracks.append(smf.constData() + o, qsizetype(8 + length));
            ++result.tracksKept;
        }
        if (length > b.remaining(body))
            break;
        o = body + length;
    }
    if (result.tracksKept == 0) {
        result.error = notMidi(QStringLiteral("it holds no complete track"));
        return result;
    }
    if (format == 0 && result.tracksKept > 1)
        format = 1;
    QByteArray out("MThd\x00\x00\x00\x06", 8);
    out.append(char(format >> 8)).append(char(format));
    out.append(char(result.tracksKept >> 8)).append(char(result.tracksKept));
    out.append(char(division >> 8)).append(char(division));
    result.smf = out + tracks;
    return result;
}

Duration probeMidi(const QByteArray &file, const QString &path)
{
    const PlayableMidi playable = playableMidiData(file);
    if (!playable.error.isEmpty())
        return Duration::failure(fileError(path, playable.error));
    const Bytes b({reinterpret_cast<const unsigned char *>(playable.smf.constData()), std::size_t(playable.smf.size())});
    const std::uint16_t division = b.be16(12);

    TempoMap tempos;
    std::uint64_t endTick = 0;
    for (std::size_t o = 14; b.has(o, 8); o += 8 + std::size_t(b.be32(o + 4))) {
        const std::size_t body = o + 8;
        const TrackScan scan = scanTrack(b, body, body + b.be32(o + 4), &tempos);
        endTick = std::max(endTick, scan.endTick);
    }

    if (division & 0x8000) {
        // SMPTE timing: frames per second and ticks per frame, tempo plays no part.
        const int fps = -static_cast<signed char>(division >> 8);
        const int ticksPerFrame = division & 0xFF;
        const double rate = (fps == 29 ? 29.97 : fps) * ticksPerFrame;
        if (rate <= 0)
            return Duration::failure(fileError(path, notMidi(QStringLiteral("its SMPTE time division is impossible"))));
        return Duration::of(double(endTick) / rate);
    }

    // Tempo events of all tracks in the order of their ticks (a stable sort
    // keeps a track's own order for events at one tick).
    std::stable_sort(tempos.begin(), tempos.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    double micros = 0;
    std::uint64_t tick = 0;
    std::uint32_t tempo = kDefaultTempo;
    for (const auto &[at, next] : tempos) {
        if (at >= endTick)
            break;
        micros += double(at - tick) * tempo / division;
        tick = at;
        tempo = next;
    }
    micros += double(endTick - tick) * tempo / division;
    return Duration::of(micros / 1e6);
}

} // namespace tv::media
