#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

#include <memory>
#include <vector>

namespace tv::media {

// One source of the sound server that can be recorded from: a line in, a
// USB interface, or the monitor of an output.
struct CaptureSource
{
    QByteArray name; // the server's name for it
    QString description;
    bool monitor = false;
};

// The server's sources, asked for at once (up to five seconds); empty, with
// error set, when no sound server answers.
QList<CaptureSource> captureSources(QString *error = nullptr);

// A recording stream from one source: the mean of its two channels as mono
// float samples at the program's sample rate, kept in memory (a deck check lasts about half a minute). The
// samples count by the sound card's clock: a hole the server reports is kept
// as silence of its length, so nothing heard moves against what was sent.
//
// Threads: made and used on one thread (the UI thread); the sound server's
// thread only appends samples. Signals come on the object's thread.
class AudioCapture : public QObject
{
    Q_OBJECT
public:
    explicit AudioCapture(QObject *parent = nullptr);
    ~AudioCapture() override;

    // Connects and starts recording from sourceName (empty: the server's
    // default source); started() or failed() follows.
    void start(const QByteArray &sourceName);
    void stop();
    bool isRecording() const;

    // Samples heard since start, from sample `from` on.
    std::vector<float> samples(qint64 from = 0) const;
    // Hands over every sample heard since the last call and lets them go,
    // for a listener that keeps only what it makes of them.
    std::vector<float> takeSamples();
    qint64 sampleCount() const; // since start, taken ones included
    // How often the server had to throw away samples we took too late.
    int overruns() const;

signals:
    void started();
    void failed(const QString &why);

private:
    struct Stream;
    std::unique_ptr<Stream> m_stream;
};

} // namespace tv::media
