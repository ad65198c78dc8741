#include "M3uList.h"

#include "Duration.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace tv::media {

M3uList readM3u(const QString &path)
{
    M3uList list;
    QFile file(path);
    // A playlist is a short text; a huge file named .m3u is no playlist.
    constexpr qint64 kLargest = 16 * 1024 * 1024;
    if (file.size() > kLargest) {
        list.error = fileError(path, QStringLiteral("is too large to be a playlist"));
        return list;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        list.error = fileError(path, QStringLiteral("cannot be read (%1)").arg(file.errorString()));
        return list;
    }
    const QByteArray bytes = file.readAll();
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(bytes);
    if (utf8.hasError())
        text = QString::fromLatin1(bytes);
    const QDir folder = QFileInfo(path).absoluteDir();
    for (QString line : text.split(QLatin1Char('\n'))) {
        line = line.trimmed();
        if (line.startsWith(QChar(0xFEFF)))
            line.remove(0, 1);
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        line.replace(QLatin1Char('\\'), QLatin1Char('/'));
        list.entries << QDir::cleanPath(folder.absoluteFilePath(line));
    }
    if (list.entries.isEmpty())
        list.error = fileError(path, QStringLiteral("is a playlist that names no songs"));
    return list;
}

} // namespace tv::media
