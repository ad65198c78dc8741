#include "SourceFactory.h"

#include "../SoundFile.h"
#include "../cd/CdSource.h"
#include "../probe/Duration.h"
#include "FfmpegSource.h"
#include "M3uSource.h"
#include "MidiSource.h"

#include <QFile>

namespace tv::media {

std::unique_ptr<AudioSource> openSource(const QString &path, QString &error)
{
    if (isCdTrackName(path)) {
        error = fileError(path, QStringLiteral("is an audio CD track, which plays through the CD device"));
        return nullptr;
    }
    const QString reason = unreadableReason(path);
    if (!reason.isEmpty()) {
        error = fileError(path, reason);
        return nullptr;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = fileError(path, QStringLiteral("cannot be read (%1)").arg(file.errorString()));
        return nullptr;
    }
    switch (soundKindOf(path, file.peek(16))) {
    case SoundKind::Midi: return MidiSource::open(path, error);
    case SoundKind::M3u: return M3uSource::open(path, error);
    default: return FfmpegSource::open(path, error);
    }
}

} // namespace tv::media

namespace tv::media {

std::unique_ptr<AudioSource> openPlayable(const QString &path, QString &error)
{
    if (isCdTrackName(path))
        return CdSource::openTrack(path, error);
    return openSource(path, error);
}

} // namespace tv::media
