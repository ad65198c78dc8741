#pragma once

#include "OutputWorker.h"

#include <QObject>
#include <QThread>

namespace tv::media {

// The UI thread's handle on one playback thread and its sound output. Every
// method returns at once: commands are queued to the playback thread, and
// finished/failed come back as queued signals on the owner's thread, stamped
// with the serial of the song they belong to so that the owner can ignore
// news of a song it has already replaced.
class AudioOutput : public QObject
{
    Q_OBJECT
public:
    explicit AudioOutput(QObject *parent = nullptr);
    ~AudioOutput() override;

    // Opens path on the playback thread and plays it from startMs.
    void startFile(quint64 serial, const QString &path, qint64 startMs, bool paused = false);
    // Plays an already opened source (the CD device hands its own).
    void startSource(quint64 serial, std::shared_ptr<AudioSource> source, qint64 startMs, bool paused = false);
    void pause();
    void resume();
    void stop();
    void setNextGap(qint64 gapMs);
    void seek(qint64 positionMs);
    void setGain(double linear);
    // How long the output stays open with nothing to play (silence) before it closes.
    void setKeepOpenMs(int ms);

    // Where the listener is in the song with this serial, in ms (0 for any other).
    qint64 positionMs(quint64 serial) const;

signals:
    void finished(quint64 serial); // the last sample of the song has been heard
    void failed(quint64 serial, const QString &error);

private:
    template <typename F> void post(F &&f);

    QThread m_thread;
    OutputWorker::Shared m_shared;
    OutputWorker *m_worker = nullptr;
};

} // namespace tv::media
