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

OpenedInput openAudioInput(const QString &path, const char *knownFormat)
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
    if (knownFormat) {
        // Its header states the stream: a few kilobytes tell the rest. The
        // WAV reader still looks for other codecs in what it takes for plain
        // 16-bit samples, running every reader's check on the packets read
        // until this much is read: one packet's worth keeps that to one
        // check (with 32 KiB it was three quarters of measuring a WAV).
        av_dict_set(&options, "probesize", "4096", 0);
        av_dict_set(&options, "analyzeduration", "0", 0);
    }
    // A container already known from its header spares probing them all.
    const AVInputFormat *format = knownFormat ? av_find_input_format(knownFormat) : nullptr;
    int rc = avformat_open_input(&raw, name.constData(), format, &options);
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
