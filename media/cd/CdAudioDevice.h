#pragma once

#include <QObject>
#include <QString>
#include <memory>

class QTimer;

namespace tv::media {

class AudioOutput;
class CdDisc;

// The CD-audio device: commands by name, carried out before the call returns,
// over a drive or a disc image, with its sound through its own playback
// thread to the default output. Lives on the UI thread.
//
// Time formats: 0 = milliseconds, 10 = TMSF, where a position is one 32-bit
// number: lowest byte track, then minutes, then seconds, highest byte frames
// (75 frames a second), minutes/seconds/frames counted within the track.
class CdAudioDevice : public QObject
{
    Q_OBJECT
public:
    enum TimeFormat { Milliseconds = 0, Tmsf = 10 };

    explicit CdAudioDevice(QObject *parent = nullptr);
    ~CdAudioDevice() override;

    // Plays through output (shared with the window's media player, so that
    // a recording's CD tracks and songs follow each other in one stream)
    // instead of an output of its own. Set before the first play.
    void setOutput(AudioOutput *output);

    // A device that only reads track lengths (the disc's table of
    // contents): Play takes it to playing without reading the disc or
    // opening a sound output, so that measuring a track is silent and
    // quick even on a real drive.
    void setSilent(bool silent) { m_silent = silent; }

    void setFileName(const QString &trackFilePath) { m_fileName = trackFilePath; }
    QString fileName() const { return m_fileName; }

    // "Open", "Seek", "Play", "Pause", "Stop", "Close" (any letter case).
    // False when the command failed; errorMessage() then says why.
    [[nodiscard]] bool command(const QString &name);
    QString errorMessage() const { return m_error; }

    // Only 0 and 10 are known; another value is refused (false).
    [[nodiscard]] bool setTimeFormat(int format);
    int timeFormat() const { return m_timeFormat; }

    // The target of the next "Seek": with TMSF a packed position (a plain
    // track number seeks to that track's start), with milliseconds the time
    // from the start of the disc.
    void setTo(quint32 target) { m_to = target; }
    void setTrack(int track) { m_track = track; }
    int track() const { return m_track; }

    // Length of track(): milliseconds, or packed minutes/seconds/frames with TMSF.
    qint64 trackLength() const;
    // Where play is: packed TMSF, or milliseconds from the start of the disc.
    quint32 position() const;
    // The track at the play position (0 when closed).
    int currentTrack() const;
    bool isOpen() const { return m_disc != nullptr; }
    bool isPlaying() const { return m_mode == Mode::Playing; }

    // With this set, "Play" stops at the end of the track it plays, with the
    // position at the start of the following track and a status update
    // raised at once, so that nothing of the next track is heard. Off by
    // default: play runs on into the following tracks.
    void setPlayToTrackEnd(bool on) { m_playToTrackEnd = on; }

    void setUpdateInterval(int ms);
    int updateInterval() const { return m_updateInterval; }

    // For the device's own transport row: the user pressed its buttons.
    void pressPlayButton();
    void pressPauseButton();
    void pressStopButton();

signals:
    void statusUpdate();
    // Play could not go on (the disc cannot be read, the sound output failed).
    void failed(const QString &why);
    void playButtonPressed();
    void stopButtonPressed();

private:
    enum class Mode { Stopped, Playing, Paused };

    bool fail(const QString &why);
    bool open();
    bool seek();
    bool play();
    void stopPlayback();
    void close();
    int playSector() const;
    AudioOutput &output();
    void onFinished(quint64 serial);
    void onFailed(quint64 serial, const QString &why);
    void onDropped(quint64 serial);

    QString m_fileName;
    QString m_error;
    std::shared_ptr<CdDisc> m_disc;
    AudioOutput *m_output = nullptr;
    bool m_silent = false;
    QTimer *m_updates;
    int m_timeFormat = Milliseconds;
    quint32 m_to = 0;
    int m_track = 0;
    int m_updateInterval = 1000;
    Mode m_mode = Mode::Stopped;
    bool m_playToTrackEnd = false;
    int m_playEnd = -1; // the last sector of the running play, -1 for the disc's end
    int m_seekSector = 0;  // where the next Play starts
    int m_playStart = 0;   // sector that the running play started at
    quint64 m_serial = 0;
};

} // namespace tv::media
