#include "FfmpegHandles.h"

#include "FileName.h"

#include <mutex>

namespace tv::media::ff {

QString errorText(int code)
{
    char buffer[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, buffer, sizeof buffer);
    QString text = QString::fromUtf8(buffer);
    if (!text.isEmpty())
        text[0] = text[0].toLower();
    return text;
}

void quietLogging()
{
    static std::once_flag once;
    std::call_once(once, [] { av_log_set_level(AV_LOG_QUIET); });
}

OpenedInput openAudioInput(const QString &path)
{
    quietLogging();
    OpenedInput result;
    AVFormatContext *raw = nullptr;
    // The name's own bytes, read by the plain file protocol only: a name
    // with a colon is no URL, and a hostile file cannot make the decoder
    // library open anything else.
    const QByteArray name = "file:" + fileNameBytes(path);
    AVDictionary *options = nullptr;
    av_dict_set(&options, "protocol_whitelist", "file", 0);
    int rc = avformat_open_input(&raw, name.constData(), nullptr, &options);
    av_dict_free(&options);
    if (rc < 0) {
        result.error = QStringLiteral("cannot be read as sound (%1)").arg(errorText(rc));
        return result;
    }
    result.format.reset(raw);
    // A file cut short may end before the stream details are complete;
    // what the streams already say is enough to decode what is there.
    rc = avformat_find_stream_info(raw, nullptr);
    if (rc < 0 && raw->nb_streams == 0) {
        result.error = QStringLiteral("cannot be read as sound (%1)").arg(errorText(rc));
        return result;
    }
    result.stream = av_find_best_stream(raw, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    if (result.stream < 0)
        result.error = QStringLiteral("holds no sound that can be played");
    return result;
}

} // namespace tv::media::ff
