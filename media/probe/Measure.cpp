#include "Measure.h"

#include "../SoundFile.h"
#include "ContainerProbe.h"
#include "HeaderProbes.h"
#include "M3uList.h"
#include "MidiProbe.h"
#include "Mp3Probe.h"

#include <QFile>

namespace tv::media {

QString fileError(const QString &path, const QString &reason)
{
    return QStringLiteral("The file \"%1\" %2.").arg(path, reason);
}

namespace {

Duration measureWithDepth(const QString &path, int depth);

Duration measurePlaylist(const QString &path, int depth)
{
    // Playlists may name playlists; a loop of them must still end.
    if (depth > 4)
        return Duration::failure(fileError(path, QStringLiteral("is a playlist nested too deeply in other playlists")));
    const M3uList list = readM3u(path);
    if (!list.error.isEmpty())
        return Duration::failure(list.error);
    double total = 0;
    for (const QString &entry : list.entries) {
        const Duration part = measureWithDepth(entry, depth + 1);
        if (!part.ok())
            return Duration::failure(fileError(path, QStringLiteral("is a playlist with an entry that cannot be played: %1").arg(part.error)));
        total += *part.seconds;
    }
    return Duration::of(total);
}

Duration measureWithDepth(const QString &path, int depth)
{
    if (isCdTrackName(path))
        return Duration::failure(fileError(path, QStringLiteral("is an audio CD track, which plays through the CD device")));
    const QString reason = unreadableReason(path);
    if (!reason.isEmpty())
        return Duration::failure(fileError(path, reason));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Duration::failure(fileError(path, QStringLiteral("cannot be read (%1)").arg(file.errorString())));
    const SoundKind kind = soundKindOf(path, file.peek(16));
    if (kind == SoundKind::M3u)
        return measurePlaylist(path, depth);
    if (kind == SoundKind::Container)
        return probeContainer(path);

    // The header formats read the file in place: mapping costs nothing for
    // the bytes that a probe never touches.
    const uchar *data = file.map(0, file.size());
    if (!data)
        return Duration::failure(fileError(path, QStringLiteral("cannot be read (%1)").arg(file.errorString())));
    const Bytes bytes({data, std::size_t(file.size())});
    switch (kind) {
    case SoundKind::Wav: return probeWav(bytes, path);
    case SoundKind::Aiff: return probeAiff(bytes, path);
    case SoundKind::Au: return probeAu(bytes, path);
    case SoundKind::Mp3: return probeMp3(bytes, path);
    case SoundKind::Midi: return probeMidi(bytes, path);
    case SoundKind::M3u:
    case SoundKind::Container: break;
    }
    return probeContainer(path);
}

} // namespace

Duration measureFile(const QString &path)
{
    return measureWithDepth(path, 0);
}

} // namespace tv::media
