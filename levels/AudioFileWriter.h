#pragma once

#include "ExactFiles.h"
#include <QString>
#include <memory>

struct AVCodecContext;
struct AVFormatContext;
struct AVFrame;
struct AVIOContext;
struct AVPacket;

namespace tv::levels {

// Writes the playback format (s16 stereo, 44.1 kHz) to a WAV or FLAC file
// through FFmpeg's encoders, chosen by the name's suffix. The file appears
// under its name only when finish() succeeds, in one rename: a cancelled or
// failed write (a full disk) leaves any file that was there untouched.
// One thread at a time.
class AudioFileWriter
{
public:
    AudioFileWriter();
    ~AudioFileWriter();
    AudioFileWriter(const AudioFileWriter &) = delete;
    AudioFileWriter &operator=(const AudioFileWriter &) = delete;

    // True when the name ends in a suffix the writer knows (.wav, .flac).
    static bool knowsFormatOf(const QString &path);

    // false with error set (a full sentence) when the file cannot be begun.
    bool open(const QString &path, QString &error);
    bool write(const qint16 *interleaved, qint64 frames, QString &error);
    bool finish(QString &error);

private:
    struct Io;
    bool encodeBuffered(bool flush, QString &error);
    bool drain(QString &error);
    bool failed(QString &error, const QString &what, int code);

    QString m_path;
    std::unique_ptr<tv::core::ReplacingFile> m_file; // the target, by its name's bytes, replaced once whole
    std::unique_ptr<Io> m_io;
    AVFormatContext *m_format = nullptr;
    AVCodecContext *m_codec = nullptr;
    AVFrame *m_frame = nullptr;
    AVPacket *m_packet = nullptr;
    int m_frameSize = 0;  // frames per encoder frame
    int m_buffered = 0;   // frames waiting in m_frame
    qint64 m_pts = 0;
    bool m_headerWritten = false;
};

} // namespace tv::levels
