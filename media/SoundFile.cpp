#include "SoundFile.h"

#include <QFileInfo>

namespace tv::media {

SoundKind soundKindOf(const QString &path, const QByteArray &head)
{
    if (head.startsWith("RIFF") && head.mid(8, 4) == "WAVE")
        return SoundKind::Wav;
    if (head.startsWith("MThd") || (head.startsWith("RIFF") && head.mid(8, 4) == "RMID"))
        return SoundKind::Midi;
    if (head.startsWith("FORM") && (head.mid(8, 4) == "AIFF" || head.mid(8, 4) == "AIFC"))
        return SoundKind::Aiff;
    if (head.startsWith(".snd"))
        return SoundKind::Au;
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("m3u") || suffix == QLatin1String("m3u8"))
        return SoundKind::M3u;
    if (suffix == QLatin1String("mp3") || suffix == QLatin1String("mp2") || suffix == QLatin1String("mpga"))
        return SoundKind::Mp3;
    if (suffix == QLatin1String("wav"))
        return SoundKind::Wav;
    if (suffix == QLatin1String("mid") || suffix == QLatin1String("midi") || suffix == QLatin1String("rmi"))
        return SoundKind::Midi;
    if (suffix == QLatin1String("aif") || suffix == QLatin1String("aiff") || suffix == QLatin1String("aifc"))
        return SoundKind::Aiff;
    if (suffix == QLatin1String("au") || suffix == QLatin1String("snd"))
        return SoundKind::Au;
    if (head.startsWith("ID3"))
        return SoundKind::Mp3;
    return SoundKind::Container;
}

QString unreadableReason(const QString &path)
{
    if (path.isEmpty())
        return QStringLiteral("has no name");
    const QFileInfo info(path);
    if (!info.exists())
        return QStringLiteral("does not exist");
    if (info.isDir())
        return QStringLiteral("is a folder, not a sound file");
    if (!info.isReadable())
        return QStringLiteral("cannot be read: permission denied");
    if (info.size() == 0)
        return QStringLiteral("is empty");
    return {};
}

bool isCdTrackName(const QString &path)
{
    return path.endsWith(QLatin1String("cda"), Qt::CaseSensitive);
}

} // namespace tv::media
