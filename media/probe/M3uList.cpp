#include "M3uList.h"

#include "../FileName.h"
#include "Duration.h"
#include "FileWindow.h"

#include <QDir>
#include <QStringDecoder>

#include <sys/stat.h>

namespace tv::media {

namespace {

bool exists(const QString &path)
{
    struct stat info = {};
    return ::stat(fileNameBytes(path).constData(), &info) == 0;
}

QString entryPath(const QString &folder, QString name)
{
    name.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (!name.startsWith(QLatin1Char('/')))
        name = folder + QLatin1Char('/') + name;
    return QDir::cleanPath(name);
}

} // namespace

M3uList readM3u(const QString &path)
{
    M3uList list;
    FileWindow file;
    if (!file.open(path)) {
        list.error = fileError(path, QStringLiteral("cannot be read (%1)").arg(file.errorText()));
        return list;
    }
    // A playlist is a short text; a huge file named .m3u is no playlist.
    constexpr std::size_t kLargest = 4 * 1024 * 1024;
    if (file.size() > kLargest) {
        list.error = fileError(path, QStringLiteral("is too large to be a playlist"));
        return list;
    }
    const QByteArray bytes = file.read(0, file.size());
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const QString folder = slash > 0 ? path.left(slash) : slash == 0 ? QString() : QDir::currentPath();
    for (QByteArray line : bytes.split('\n')) {
        line = line.trimmed();
        if (line.startsWith("\xEF\xBB\xBF"))
            line.remove(0, 3);
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        if (list.entries.size() == kMostPlaylistEntries) {
            list.entries.clear();
            list.error = fileError(path, QStringLiteral("is a playlist of more than %1 songs, more than can be measured").arg(kMostPlaylistEntries));
            return list;
        }
        QString entry = entryPath(folder, fileNameFromBytes(line));
        QStringDecoder utf8(QStringDecoder::Utf8);
        (void)utf8(line);
        if (utf8.hasError() && !exists(entry)) {
            const QString latin1 = entryPath(folder, QString::fromLatin1(line));
            if (exists(latin1))
                entry = latin1;
        }
        list.entries << entry;
    }
    if (list.entries.isEmpty())
        list.error = fileError(path, QStringLiteral("is a playlist that names no songs"));
    return list;
}

} // namespace tv::media
