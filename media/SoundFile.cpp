#include "SoundFile.h"

#include "FileName.h"

#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace tv::media {

SoundKind soundKindOf(const QString &path, const QByteArray &head)
{
    // What the first bytes say wins over the name: a file renamed to the
    // wrong extension is measured as what it is.
    if (head.startsWith("RIFF") && head.mid(8, 4) == "WAVE")
        return SoundKind::Wav;
    if (head.startsWith("MThd") || (head.startsWith("RIFF") && head.mid(8, 4) == "RMID"))
        return SoundKind::Midi;
    if (head.startsWith("FORM") && (head.mid(8, 4) == "AIFF" || head.mid(8, 4) == "AIFC"))
        return SoundKind::Aiff;
    if (head.startsWith(".snd"))
        return SoundKind::Au;
    if (head.startsWith("fLaC") || head.startsWith("OggS") || head.startsWith(".RMF") || head.startsWith(".ra\xFD")
        || head.mid(4, 4) == "ftyp" || head.startsWith("RF64"))
        return SoundKind::Container;
    // An MPEG audio frame header right at the start (layers I to III).
    if (head.size() >= 2 && uchar(head[0]) == 0xFF && (uchar(head[1]) & 0xE0) == 0xE0 && (uchar(head[1]) & 0x06) != 0)
        return SoundKind::Mp3;
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("m3u") || suffix == QLatin1String("m3u8"))
        return SoundKind::M3u;
    if (suffix == QLatin1String("mp3") || suffix == QLatin1String("mp2") || suffix == QLatin1String("mpga"))
        return SoundKind::Mp3;
    if (suffix == QLatin1String("mid") || suffix == QLatin1String("midi") || suffix == QLatin1String("rmi"))
        return SoundKind::Midi;
    if (head.startsWith("ID3"))
        return SoundKind::Mp3;
    // A .wav, .aif or .au name without its format's first bytes is no such
    // file: the decoder library says what it holds.
    return SoundKind::Container;
}

QString unreadableReason(const QString &path)
{
    if (path.isEmpty())
        return QStringLiteral("has no name");
    const QByteArray name = fileNameBytes(path);
    struct stat info = {};
    if (::stat(name.constData(), &info) != 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return QStringLiteral("does not exist");
        return QStringLiteral("cannot be read (%1)").arg(QString::fromLocal8Bit(std::strerror(errno)));
    }
    if (S_ISDIR(info.st_mode))
        return QStringLiteral("is a folder, not a sound file");
    if (!S_ISREG(info.st_mode))
        return QStringLiteral("is not a regular file");
    if (::access(name.constData(), R_OK) != 0)
        return QStringLiteral("cannot be read: permission denied");
    if (info.st_size == 0)
        return QStringLiteral("is empty");
    return {};
}

bool isCdTrackName(const QString &path)
{
    return path.endsWith(QLatin1String("cda"), Qt::CaseSensitive);
}

} // namespace tv::media
