#include "Measure.h"

#include <QFileInfo>

#include "../SoundFile.h"
#include "../FfmpegHandles.h"
#include "ContainerProbe.h"
#include "DecodedLength.h"
#include "FileWindow.h"
#include "HeaderProbes.h"
#include "M3uList.h"
#include "MidiProbe.h"
#include "Mp3Probe.h"

#include <QElapsedTimer>
#include <QFileInfo>

#include <cmath>

namespace tv::media {

QString fileError(const QString &path, const QString &reason)
{
    return QStringLiteral("The file \"%1\" %2.").arg(path, reason);
}

namespace {

constexpr int kMostPlaylistDepth = 4;
// Within this, a header's exact length is kept over a decode's count.
constexpr double kDecodedTolerance = 0.001;

// The work one measurement of a playlist may do: how many entries it has
// opened so far, in all the playlists it named, and since when.
struct Expansion
{
    int entries = 0;
    QElapsedTimer clock;
    QString exceeded; // set once a bound is passed; every level then stops
};

Duration measureWithDepth(const QString &path, int depth, Expansion &expansion);

Duration measurePlaylist(const QString &path, int depth, Expansion &expansion)
{
    // Playlists may name playlists; a loop of them must still end.
    if (depth > kMostPlaylistDepth)
        return Duration::failure(fileError(path, QStringLiteral("is a playlist nested too deeply in other playlists")));
    const M3uList list = readM3u(path);
    if (!list.error.isEmpty())
        return Duration::failure(list.error);
    double total = 0;
    for (const QString &entry : list.entries) {
        // Breadth is bounded as well as depth: a few short playlists naming
        // each other many times over must not keep the program busy.
        if (++expansion.entries > kMostPlaylistEntries)
            expansion.exceeded = QStringLiteral("is a playlist that names more than %1 songs, counting those of the playlists it names")
                                     .arg(kMostPlaylistEntries);
        else if (expansion.clock.elapsed() > kPlaylistBudgetMs)
            expansion.exceeded = QStringLiteral("is a playlist whose songs cannot be measured within a second");
        if (!expansion.exceeded.isEmpty())
            return Duration::failure(QString());
        const Duration part = measureWithDepth(entry, depth + 1, expansion);
        if (!expansion.exceeded.isEmpty())
            return part;
        if (!part.ok())
            return Duration::failure(fileError(path, QStringLiteral("is a playlist with an entry that cannot be played: %1").arg(part.error)));
        total += *part.seconds;
    }
    return Duration::of(total);
}

// The answer of a probe, made safe: a length must be a number, at least a
// sample long and no longer than any song can be.
Duration bounded(Duration d, const QString &path)
{
    if (!d.ok())
        return d;
    const double s = *d.seconds;
    if (!std::isfinite(s) || s < 0)
        return Duration::failure(fileError(path, QStringLiteral("is damaged: its header gives a length that is not a number of seconds")));
    if (s > kLongestSeconds)
        return Duration::failure(fileError(path, QStringLiteral("is damaged or no song: it claims to last %1 hours, more than %2")
                                                     .arg(std::floor(s / 3600), 0, 'f', 0)
                                                     .arg(kLongestSeconds / 3600)));
    if (s == 0)
        return Duration::failure(fileError(path, QStringLiteral("holds no sound that can be played")));
    return d;
}

// The decoder that plays an uncompressed file has the last word where its
// header could mislead (a field the decoder reads otherwise, a block size
// that leaves a part frame): its end is found by decoding the last quarter
// second after a seek, which costs the same for a song of a minute or an hour. A
// decoder that cannot seek there counts the whole file instead.
Duration confirmedByDecoder(const Duration &fromHeader, const QString &path, const char *container)
{
    constexpr double kTailSeconds = 0.25;
    std::optional<double> decoded = tailDecodedEnd(path, *fromHeader.seconds - kTailSeconds, kDecodeBudgetMs / 2, container);
    if (!decoded)
        decoded = decodedLength(path, kDecodeBudgetMs);
    if (!decoded) {
        const QString why = ff::openAudioInput(path).error;
        return why.isEmpty() ? fromHeader : Duration::failure(fileError(path, why));
    }
    if (*decoded <= 0)
        return Duration::failure(fileError(path, QStringLiteral("holds no sound that can be played")));
    return std::abs(*decoded - *fromHeader.seconds) <= kDecodedTolerance ? fromHeader : Duration::of(*decoded);
}

Duration measureSoundFile(FileWindow &file, SoundKind kind, const QString &path)
{
    const Bytes bytes(file);
    Duration d = Duration::containerDecides();
    switch (kind) {
    case SoundKind::Wav: d = probeWav(bytes, path); break;
    case SoundKind::Aiff: d = probeAiff(bytes, path); break;
    case SoundKind::Au: d = probeAu(bytes, path); break;
    case SoundKind::Mp3: d = probeMp3(bytes, path); break;
    case SoundKind::Midi:
        if (qint64(file.size()) > kLargestMidiFile)
            return Duration::failure(fileError(path, QStringLiteral("is too large to be a MIDI file")));
        d = probeMidi(file.read(0, file.size()), path);
        break;
    case SoundKind::M3u:
    case SoundKind::Container: break;
    }
    if (d.askContainer)
        return probeContainer(path);
    if (d.ok() && (kind == SoundKind::Wav || kind == SoundKind::Aiff || kind == SoundKind::Au))
        return confirmedByDecoder(d, path, kind == SoundKind::Wav ? "wav" : kind == SoundKind::Aiff ? "aiff" : "au");
    return d;
}

Duration measureWithDepth(const QString &path, int depth, Expansion &expansion)
{
    if (isCdTrackName(path))
        return Duration::failure(fileError(path, QStringLiteral("is an audio CD track, which plays through the CD device")));
    static const QStringList kCdImageSuffixes = {QStringLiteral("cue"), QStringLiteral("toc"), QStringLiteral("nrg")};
    if (kCdImageSuffixes.contains(QFileInfo(path).suffix().toLower()))
        return Duration::failure(fileError(path, QStringLiteral("is a CD image, not a song: double-click it in the file list to open "
                                                                 "it as the folder of its tracks, and add those")));
    const QString reason = unreadableReason(path);
    if (!reason.isEmpty())
        return Duration::failure(fileError(path, reason));
    FileWindow file;
    if (!file.open(path))
        return Duration::failure(fileError(path, QStringLiteral("cannot be read (%1)").arg(file.errorText())));
    const SoundKind kind = soundKindOf(path, file.read(0, 16));
    if (kind == SoundKind::M3u)
        return bounded(measurePlaylist(path, depth, expansion), path);
    return bounded(measureSoundFile(file, kind, path), path);
}

} // namespace

Duration measureFile(const QString &path)
{
    Expansion expansion;
    expansion.clock.start();
    Duration d = measureWithDepth(path, 0, expansion);
    if (!expansion.exceeded.isEmpty())
        return Duration::failure(fileError(path, expansion.exceeded));
    return d;
}

} // namespace tv::media
