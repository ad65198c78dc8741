// libFuzzer targets for measuring, one build of this file per kind of file
// (TV_FUZZ_KIND): the bytes are written to a file and measured as adding a
// song measures it. Nothing may crash or hang, and the oracle holds: the
// answer is an error naming the file, or a finite length within bounds that
// a decode of the same file confirms.
#include "probe/Measure.h"
#include "source/SourceFactory.h"

#include <QByteArray>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

enum class Kind { Mp3, Midi, Header, Container, Playlist };
constexpr Kind kKind = Kind::TV_FUZZ_KIND;

// Lengths a decode checks; longer answers are only checked for bounds,
// which keeps one input at a few milliseconds.
constexpr double kLongestChecked = 30.0;
constexpr double kTolerance = 0.05;

qint64 g_slowestMs = 0;

void fail(const char *what, const QString &detail)
{
    std::fprintf(stderr, "oracle: %s: %s\n", what, qPrintable(detail));
    std::abort();
}

QString folder()
{
    static const QString dir = [] {
        const QString d = QDir::tempPath() + QStringLiteral("/tv-fuzz-%1").arg(getpid());
        QDir().mkpath(d);
        return d;
    }();
    return dir;
}

// The file name decides the kind where the first bytes do not (.mp3, .mid);
// for the header and container targets the first input byte picks one.
QString nameFor(const uint8_t *data, size_t size)
{
    static const char *const kHeader[] = {"f.wav", "f.aiff", "f.aifc", "f.au"};
    static const char *const kContainer[] = {"f.flac", "f.ogg", "f.opus", "f.m4a", "f.ra"};
    const unsigned pick = size > 0 ? data[0] : 0;
    switch (kKind) {
    case Kind::Mp3: return QStringLiteral("f.mp3");
    case Kind::Midi: return QStringLiteral("f.mid");
    case Kind::Header: return QString::fromLatin1(kHeader[pick % 4]);
    case Kind::Container: return QString::fromLatin1(kContainer[pick % 5]);
    case Kind::Playlist: return QStringLiteral("f.m3u");
    }
    return {};
}

// Seconds of sound the player's decoder yields for path, or -1 when it cannot open it.
double decodedSeconds(const QString &path, double cap)
{
    QString error;
    const auto source = tv::media::openSource(path, error);
    if (!source)
        return -1;
    std::vector<qint16> buffer(4096 * 2);
    qint64 frames = 0;
    const qint64 most = qint64(cap * 44100);
    for (qint64 n; frames <= most && (n = source->readFrames(buffer.data(), 4096)) > 0;)
        frames += n;
    return double(frames) / 44100.0;
}

void reportSlowest()
{
    std::fprintf(stderr, "slowest measurement: %lld ms\n", static_cast<long long>(g_slowestMs));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    std::atexit(reportSlowest);
    if (kKind == Kind::Playlist) {
        // Songs the fuzzed playlists may name, and playlists naming playlists.
        QFile wav(folder() + QStringLiteral("/a.wav"));
        if (wav.open(QIODevice::WriteOnly)) {
            QByteArray header("RIFF\x24\x1F\0\0WAVEfmt \x10\0\0\0\x01\0\x01\0\x40\x1F\0\0\x40\x1F\0\0\x01\0\x08\0data\0\x1F\0\0", 44);
            wav.write(header + QByteArray(0x1F00, char(0x80)));
        }
        QFile inner(folder() + QStringLiteral("/b.m3u"));
        if (inner.open(QIODevice::WriteOnly))
            inner.write("a.wav\na.wav\nf.m3u\n");
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = folder() + QLatin1Char('/') + nameFor(data, size);
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    QElapsedTimer clock;
    clock.start();
    const tv::media::Duration d = tv::media::measureFile(path);
    g_slowestMs = std::max(g_slowestMs, clock.elapsed());
    if (!d.ok()) {
        if (!d.error.contains(path))
            fail("an error that does not name the file", d.error);
        return 0;
    }
    const double s = *d.seconds;
    if (!std::isfinite(s) || s <= 0 || s > tv::media::kLongestSeconds)
        fail("a length out of bounds", QString::number(s, 'g', 17));
    if (s > kLongestChecked || kKind == Kind::Playlist)
        return 0;
    const double decoded = decodedSeconds(path, s + 1.0);
    if (decoded < 0)
        fail("measured, but the player cannot open it", QString::number(s));
    if (kKind == Kind::Midi) {
        // The synthesizer renders exactly the measured tracks for the measured time.
        if (std::abs(decoded - s) > 0.001)
            fail("a MIDI file that does not play its measured length", QStringLiteral("%1 vs %2").arg(s).arg(decoded));
        return 0;
    }
    // A container's stated length is checked at its end only: damage inside
    // may make a decode shorter than it, never longer.
    const bool shorterAllowed = kKind == Kind::Container;
    if (decoded > s + kTolerance || (!shorterAllowed && decoded < s - kTolerance))
        fail("measured and decoded lengths differ", QStringLiteral("measured %1 s, decoded %2 s").arg(s, 0, 'f', 4).arg(decoded, 0, 'f', 4));
    return 0;
}
