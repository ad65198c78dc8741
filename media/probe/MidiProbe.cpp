#include "MidiProbe.h"

#include <algorithm>
#include <map>

namespace tv::media {

namespace {

constexpr std::uint32_t kDefaultTempo = 500000; // microseconds per quarter note

bool readVarLen(const Bytes &b, std::size_t &o, std::size_t end, std::uint32_t &value)
{
    value = 0;
    for (int i = 0; i < 4; ++i) {
        if (o >= end)
            return false;
        const unsigned char c = b.u8(o++);
        value = (value << 7) | (c & 0x7F);
        if (!(c & 0x80))
            return true;
    }
    return false; // more than four bytes: not a MIDI number
}

struct TrackScan
{
    std::uint64_t endTick = 0;
    QString error;
};

// Walks the events of one track between body and end, recording tempo changes.
TrackScan scanTrack(const Bytes &b, std::size_t o, std::size_t end, std::multimap<std::uint64_t, std::uint32_t> &tempos)
{
    TrackScan scan;
    std::uint64_t tick = 0;
    unsigned char running = 0;
    while (o < end) {
        std::uint32_t delta = 0;
        if (!readVarLen(b, o, end, delta)) {
            scan.error = QStringLiteral("an event time in a track is damaged");
            return scan;
        }
        tick += delta;
        if (o >= end) {
            scan.error = QStringLiteral("a track ends in the middle of an event");
            return scan;
        }
        unsigned char status = b.u8(o);
        if (status & 0x80) {
            ++o;
        } else if (running) {
            status = running; // running status: the data byte belongs to the previous kind
        } else {
            scan.error = QStringLiteral("a track starts with data bytes that belong to no event");
            return scan;
        }
        if (status == 0xFF) {
            if (o >= end) {
                scan.error = QStringLiteral("a track ends in the middle of an event");
                return scan;
            }
            const unsigned char type = b.u8(o++);
            std::uint32_t length = 0;
            if (!readVarLen(b, o, end, length) || length > end - o) {
                scan.error = QStringLiteral("a meta event runs past the end of its track");
                return scan;
            }
            if (type == 0x51 && length >= 3) {
                const std::uint32_t tempo = (std::uint32_t(b.u8(o)) << 16) | (std::uint32_t(b.u8(o + 1)) << 8) | b.u8(o + 2);
                if (tempo > 0)
                    tempos.emplace(tick, tempo);
            }
            o += length;
            scan.endTick = tick;
            if (type == 0x2F)
                break; // end of track
            continue;
        }
        if (status == 0xF0 || status == 0xF7) {
            std::uint32_t length = 0;
            if (!readVarLen(b, o, end, length) || length > end - o) {
                scan.error = QStringLiteral("a system-exclusive event runs past the end of its track");
                return scan;
            }
            o += length;
            running = 0;
            scan.endTick = tick;
            continue;
        }
        if (status >= 0xF0) {
            scan.error = QStringLiteral("a track holds a system message that has no place in a file");
            return scan;
        }
        running = status;
        const int dataBytes = (status & 0xF0) == 0xC0 || (status & 0xF0) == 0xD0 ? 1 : 2;
        if (end - o < std::size_t(dataBytes)) {
            scan.error = QStringLiteral("a track ends in the middle of an event");
            return scan;
        }
        o += std::size_t(dataBytes);
        scan.endTick = tick;
    }
    return scan;
}

QString notMidi(const QString &detail) { return QStringLiteral("is not a valid MIDI file: ") + detail; }

} // namespace

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
            return file.mid(qsizetype(o + 8), qsizetype(std::min<std::size_t>(size, b.size() - o - 8)));
        if (size > b.size())
            break;
        o += 8 + size + (size & 1);
    }
    return {};
}

Duration probeMidi(const Bytes &whole, const QString &path)
{
    const QByteArray raw = QByteArray::fromRawData(reinterpret_cast<const char *>(whole.at(0)), qsizetype(whole.size()));
    const QByteArray smf = standardMidiData(raw);
    if (smf.isEmpty())
        return Duration::failure(fileError(path, notMidi(QStringLiteral("it holds no standard MIDI data"))));
    const Bytes b({reinterpret_cast<const unsigned char *>(smf.constData()), std::size_t(smf.size())});

    const std::uint32_t headerLength = b.be32(4);
    if (headerLength < 6 || !b.has(8, headerLength))
        return Duration::failure(fileError(path, notMidi(QStringLiteral("its header chunk has a wrong length"))));
    const std::uint16_t division = b.be16(12);
    if (division == 0)
        return Duration::failure(fileError(path, notMidi(QStringLiteral("its time division is zero"))));

    std::multimap<std::uint64_t, std::uint32_t> tempos;
    std::uint64_t endTick = 0;
    int tracksRead = 0;
    std::size_t o = 8 + headerLength;
    while (b.has(o, 8)) {
        const std::uint32_t length = b.be32(o + 4);
        const std::size_t body = o + 8;
        if (length > b.size() - body)
            return Duration::failure(fileError(path, QStringLiteral("is damaged: a chunk claims %1 bytes but only %2 remain in the file")
                                                          .arg(length).arg(b.size() - body)));
        if (b.tagIs(o, "MTrk")) {
            const TrackScan scan = scanTrack(b, body, body + length, tempos);
            if (!scan.error.isEmpty())
                return Duration::failure(fileError(path, notMidi(scan.error)));
            endTick = std::max(endTick, scan.endTick);
            ++tracksRead;
        }
        o = body + length;
    }
    if (tracksRead == 0)
        return Duration::failure(fileError(path, notMidi(QStringLiteral("it holds no complete track"))));

    if (division & 0x8000) {
        // SMPTE timing: frames per second and ticks per frame, tempo plays no part.
        const int fps = -static_cast<signed char>(division >> 8);
        const int ticksPerFrame = division & 0xFF;
        const double rate = (fps == 29 ? 29.97 : fps) * ticksPerFrame;
        if (rate <= 0)
            return Duration::failure(fileError(path, notMidi(QStringLiteral("its SMPTE time division is impossible"))));
        return Duration::of(double(endTick) / rate);
    }

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
