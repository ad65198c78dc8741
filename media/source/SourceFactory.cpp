#include "SourceFactory.h"

#include "../SoundFile.h"
#include "../probe/Duration.h"
#include "FfmpegSource.h"
#include "M3uSource.h"
#include "MidiSource.h"

#include "../probe/FileWindow.h"

namespace tv::media {

std::unique_ptr<AudioSource> openSource(const QString &path, QString &error, int depth)
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
    FileWindow file;
    if (!file.open(path)) {
        error = fileError(path, QStringLiteral("cannot be read (%1)").arg(file.errorText()));
        return nullptr;
    }
    switch (soundKindOf(path, file.read(0, 16))) {
    case SoundKind::Midi: return MidiSource::open(path, error);
    case SoundKind::M3u: return M3uSource::open(path, error, depth);
    default: return FfmpegSource::open(path, error);
    }
}

} // namespace tv::media

