#include "PlayableSource.h"

#include "../SoundFile.h"
#include "../cd/CdSource.h"
#include "SourceFactory.h"

namespace tv::media {

std::unique_ptr<AudioSource> openPlayable(const QString &path, QString &error)
{
    if (isCdTrackName(path))
        return CdSource::openTrack(path, error);
    return openSource(path, error);
}

} // namespace tv::media
