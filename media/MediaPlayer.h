#pragma once

#include <QObject>
#include <QString>

namespace tv::media {

class AudioOutput;

// The program's media player: open by file name, play, pause, stop, volume,
// position and the play-state and error events. Lives on the UI thread; every
// call returns within milliseconds (decoding and the sound server are on the
// playback thread). Events always arrive later, queued on the UI thread.
class MediaPlayer : public QObject
{
    Q_OBJECT
public:
    enum PlayState { Stopped = 0, Paused = 1, Playing = 2, Closed = 6 };

    explicit MediaPlayer(QObject *parent = nullptr);
    ~MediaPlayer() override;

    // Plays through output (shared with other players of one window, so that
    // a recording's songs and CD tracks follow each other in one stream)
    // instead of an output of its own. Set before the first play; the output
    // must outlive the player's use of it.
    void setOutput(AudioOutput *output);
    AudioOutput *output() const { return m_output; }

    // Whether writing a file name also starts playback (on by default).
    void setAutoStart(bool on) { m_autoStart = on; }
    bool autoStart() const { return m_autoStart; }

    // Opens path, measuring it at once: duration() is valid on return. With
    // autoStart the song starts playing. A name ending in "cda" is never
    // opened here: it raises error() (the CD device plays those).
    void setFileName(const QString &path);
    // Shows an item that a recording planned on the output as this player's
    // song, without measuring or opening anything: it plays when the plan
    // has it, and the player follows its end, failure or drop.
    void adopt(quint64 serial, const QString &path, double seconds);
    QString fileName() const { return m_fileName; }

    double duration() const { return m_duration; } // seconds
    double currentPosition() const;                // seconds heard so far
    void setCurrentPosition(double seconds);
    int playState() const { return m_state; }

    void play();
    void pause();
    void stop();
    // Closes the file: play state 6.
    void close();

    // Volume in hundredths of a decibel: 0 is full volume, -10000 silence.
    int volume() const { return m_volume; }
    void setVolume(int hundredthsDb);

    QString errorDescription() const { return m_error; }

    // True when the platform lists at least one sound output.
    static bool soundDeviceAvailable();

signals:
    void playStateChanged(int oldState, int newState);
    void error();

private:
    void setState(int state);
    void fail(const QString &why);
    AudioOutput &ensureOutput();
    void startPlaying(qint64 startMs);
    void onFinished(quint64 serial);
    void onFailed(quint64 serial, const QString &why);
    void onDropped(quint64 serial);

    AudioOutput *m_output = nullptr; // made on first play (measuring players never need one), or shared
    QString m_fileName;
    QString m_error;
    double m_duration = 0;
    double m_startAt = 0; // where play() starts from after a stop or a position write
    int m_state = Closed;
    int m_volume = 0;
    bool m_autoStart = true;
    quint64 m_openSerial = 0; // changes with every file-name write
    quint64 m_playSerial = 0; // changes with every start of playback
    quint64 m_nextSerial = 0;
};

} // namespace tv::media
