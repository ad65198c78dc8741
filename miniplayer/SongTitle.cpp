#include "SongTitle.h"

namespace tv::miniplayer {

QString fnSongTitle(const QString &path)
{
    if (path.size() < 4)
        return {};
    const QString name = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    // Whatever the extension's length (.mp3, .aiff, .midi): all of it goes.
    return dot >= 0 ? name.left(dot) : name;
}

} // namespace tv::miniplayer
