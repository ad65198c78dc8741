#pragma once

#include "../AudioSource.h"
#include "FrameRing.h"
#include "HeardClock.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <atomic>
#include <memory>

class QAudioSink;
class QIODevice;
class QTimer;

namespace tv::media {

// Lives on the playback thread: owns the sound output (a QAudioSink in push
// mode), the song being played and the ring of frames decoded ahead. Every
// 10 ms it fills whatever room the sink has with song frames. While paused,
// and between songs when no next song is due, it writes nothing and the
// output stays open, the server playing digital silence; when the next song
// of a recording is due (setNextGap), it writes silence up to that frame so
// the song joins the stream exactly there. Every call but the constructor
// runs on the playback thread.
//
// Push rather than pull: Qt 6.4's PulseAudio sink pulls in 20 ms periods and
// then waits with its buffer short of the server's start threshold, which
// delays the start of playback by up to two seconds.
class OutputWorker : public QObject
{
    Q_OBJECT
public:
    struct Shared
    {
        std::atomic<qint64> positionMs{0};
        std::atomic<quint64> positionSerial{0};
    };

    explicit OutputWorker(Shared &shared);
    ~OutputWorker() override;

    void startSource(quint64 serial, std::shared_ptr<AudioSource> source, qint64 startMs, bool paused);
    void pause();
    void resume();
    void stopSong();
    // The next song to start begins gapMs after the end of the last one in
    // the stream, silence in between (a negative gap: start at once).
    void setNextGap(qint64 gapMs);
    void seek(qint64 positionMs);
    void setGain(double linear) { m_volume = linear; }
    void setKeepOpenMs(int ms) { m_keepOpenMs = ms; }
    void closeOutput();

signals:
    void finished(quint64 serial);
    void failed(quint64 serial, const QString &error);

private:
    bool ensureOutput(quint64 serial);
    void tick();
    void pump();
    qint64 render(qint16 *out, qint64 frames); // returns the frames it produced
    void fillAhead(qint64 targetFrames);
    qint64 heardOutIndex() const;
    qint64 heardNow();
    void dropSong();

    Shared &m_shared;
    QAudioSink *m_sink = nullptr;
    QIODevice *m_device = nullptr;  // the sink's input, owned by the sink
    QByteArray m_pending;            // rendered but not yet taken by the sink
    QTimer *m_timer = nullptr;

    std::shared_ptr<AudioSource> m_source;
    quint64 m_serial = 0;
    FrameRing m_ring;
    HeardClock m_clock;
    bool m_sourceEnded = false;
    bool m_endMarked = false;
    bool m_dropWhenSilent = false;
    bool m_finishScheduled = false;
    qint64 m_endOut = 0;
    qint64 m_lastEndOut = 0;   // where the last song that played to its end ended
    qint64 m_gapTargetOut = -1; // where the next song is due, or -1
    qint64 m_leadSilence = 0;  // silence still to write before the song's first frame
    qint64 m_out = 0;        // frames handed to the sink since it opened
    qint64 m_songFrame = 0;  // the next song frame to hand over
    double m_gain = 1.0;     // fade ramp, 0..1
    double m_gainTarget = 1.0;
    double m_volume = 1.0;
    int m_keepOpenMs = 15000;
    QElapsedTimer m_idleSince;
    QElapsedTimer m_anchorClock; // carries the last exact heard position forward in time
    qint64 m_anchorHeard = 0;
    qint64 m_anchorNs = 0;
    bool m_anchorReset = true;
};

} // namespace tv::media
