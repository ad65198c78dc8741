#include "TagTitles.h"

#include "../FfmpegHandles.h"
#include "FileKeyedCache.h"

#include <QJsonObject>

namespace tv::media {

namespace {
// The container's tags first (ID3, MP4, WAV's INFO), then the audio
// stream's own (Ogg and Opus keep their comments there).
QString tag(const AVFormatContext *format, const AVStream *stream, const char *key)
{
    for (const AVDictionary *tags : {format->metadata, stream->metadata}) {
        if (const AVDictionaryEntry *e = av_dict_get(tags, key, nullptr, 0)) {
            const QString value = QString::fromUtf8(e->value).trimmed();
            if (!value.isEmpty())
                return value;
        }
    }
    return {};
}
} // namespace

QString titleLineOf(const QString &artist, const QString &title)
{
    const QString t = title.simplified();
    if (t.isEmpty())
        return {};
    const QString a = artist.simplified();
    return a.isEmpty() ? t : a + QStringLiteral(" \u2013 ") + t;
}

QString readTitleLine(const QString &path)
{
    const ff::OpenedInput input = ff::openAudioInput(path);
    if (!input.error.isEmpty())
        return {};
    const AVFormatContext *format = input.format.get();
    const AVStream *stream = format->streams[input.stream];
    QString artist = tag(format, stream, "artist");
    if (artist.isEmpty())
        artist = tag(format, stream, "album_artist");
    return titleLineOf(artist, tag(format, stream, "title"));
}

QString cachedTitleLine(const QString &path)
{
    static tv::core::FileKeyedCache cache(tv::core::FileKeyedCache::inCacheFolder(QStringLiteral("titles.json")));
    const QString key = QStringLiteral("line");
    if (const std::optional<QJsonObject> known = cache.find(path))
        return known->value(key).toString();
    const QString line = readTitleLine(path);
    cache.store(path, QJsonObject{{key, line}});
    return line;
}

} // namespace tv::media
