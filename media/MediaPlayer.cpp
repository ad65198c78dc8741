#include "MediaPlayer.h"

#include "output/AudioOutput.h"
#include "probe/Measure.h"
#include "source/SourceFactory.h"
#include "SoundFile.h"

#include <QAudioDevice>
#include <QMediaDevices>
#include <QTimer>
#include <cmath>

namespace tv::media {

MediaPlayer::MediaPlayer(QObject *parent) : QObject(parent) {}

MediaPlayer::~MediaPlayer() = default;

void MediaPlayer::setOutput(AudioOutput *output)
{
    if (m_output)
        disconnect(m_output, nullptr, this, nullptr);
    m_output = output;
    connect(m_output, &AudioOutput::finished, this, &MediaPlayer::onFinished);
    connect(m_output, &AudioOutput::failed, this, &MediaPlayer::onFailed);
    connect(m_output, &AudioOutput::dropped, this, &MediaPlayer::onDropped);
    setVolume(m_volume);
}

AudioOutput &MediaPlayer::ensureOutput()
{
    if (!m_output)
        setOutput(new AudioOutput(this));
    return *m_output;
}

void MediaPlayer::startPlaying(qint64 startMs)
{
    m_playSerial = AudioOutput::newSerial();
    const QString path = m_fileName;
    ensureOutput().play(m_playSerial, [path](QString &error) { return openSource(path, error); }, startMs);
}

bool MediaPlayer::soundDeviceAvailable()
{
    return !QMediaDevices::audioOutputs().isEmpty();
}

void MediaPlayer::setState(int state)
{
    if (state == m_state)
        return;
    const int old = m_state;
    m_state = state;
    emit playStateChanged(old, state);
}

void MediaPlayer::fail(const QString &why)
{
    // Reported later, never inside the call that caused it; dropped when the
    // caller has moved on to another file in the meantime.
    m_error = why;
    const quint64 serial = m_openSerial;
    QTimer::singleShot(0, this, [this, serial] {
        if (serial == m_openSerial)
            emit error();
    });
}

void MediaPlayer::setFileName(const QString &path)
{
    m_openSerial = ++m_nextSerial;
    const quint64 previous = m_playSerial;
    m_playSerial = 0;
    m_fileName = path;
    m_startAt = 0;
    m_duration = 0;
    const Duration length = measureFile(path);
    if (!length.ok()) {
        // Only this player's own song stops: a song planned on a shared
        // output (a recording's next entry) plays on.
        if (m_output && previous)
            m_output->stop(previous);
        setState(Closed);
        fail(length.error);
        return;
    }
    m_duration = *length.seconds;
    m_error.clear();
    if (!m_autoStart) {
        if (m_output && previous)
            m_output->stop(previous);
        setState(Stopped);
        return;
    }
    startPlaying(0);
    if (m_state == Closed)
        setState(Stopped);
    setState(Playing);
}

void MediaPlayer::adopt(quint64 serial, const QString &path, double seconds)
{
    m_openSerial = ++m_nextSerial;
    m_fileName = path;
    m_startAt = 0;
    m_duration = std::max(0.0, seconds);
    m_error.clear();
    m_playSerial = serial;
    AudioOutput &output = ensureOutput();
    if (m_state == Closed)
        setState(Stopped);
    setState(output.isPaused() ? Paused : Playing);
    // The item may have ended or failed before the window showed it.
    const AudioOutput::ItemState s = output.state(serial);
    if (s == AudioOutput::ItemState::Finished)
        QTimer::singleShot(0, this, [this, serial] { onFinished(serial); });
    else if (s == AudioOutput::ItemState::Failed)
        QTimer::singleShot(0, this, [this, serial] { onFailed(serial, m_output->errorText(serial)); });
    else if (s != AudioOutput::ItemState::Planned && s != AudioOutput::ItemState::Playing)
        QTimer::singleShot(0, this, [this, serial] { onDropped(serial); });
}

double MediaPlayer::currentPosition() const
{
    if (m_state == Playing || m_state == Paused)
        return m_output ? double(m_output->positionMs(m_playSerial)) / 1000.0 : 0.0;
    return m_state == Stopped ? m_startAt : 0.0;
}

void MediaPlayer::setCurrentPosition(double seconds)
{
    if (m_state == Closed)
        return;
    seconds = std::clamp(seconds, 0.0, m_duration);
    if (m_state == Stopped)
        m_startAt = seconds;
    else if (m_output)
        m_output->seek(m_playSerial, qint64(seconds * 1000));
}

void MediaPlayer::play()
{
    if (m_state == Paused) {
        ensureOutput().resume();
        setState(Playing);
    } else if (m_state == Stopped) {
        startPlaying(qint64(m_startAt * 1000));
        setState(Playing);
    }
}

void MediaPlayer::pause()
{
    if (m_state != Playing)
        return;
    ensureOutput().pause();
    setState(Paused);
}

void MediaPlayer::stop()
{
    if (m_state != Playing && m_state != Paused)
        return;
    if (m_output && m_playSerial)
        m_output->stop(m_playSerial);
    m_playSerial = 0;
    m_startAt = 0;
    setState(Stopped);
}

void MediaPlayer::close()
{
    m_openSerial = ++m_nextSerial;
    if (m_output && m_playSerial)
        m_output->stop(m_playSerial);
    m_playSerial = 0;
    m_fileName.clear();
    m_duration = 0;
    setState(Closed);
}

void MediaPlayer::setVolume(int hundredthsDb)
{
    m_volume = std::clamp(hundredthsDb, -10000, 0);
    if (m_output)
        m_output->setGain(m_volume <= -10000 ? 0.0 : std::pow(10.0, m_volume / 2000.0));
}

void MediaPlayer::onFinished(quint64 serial)
{
    // Paused too: a pause that lands in a song's last milliseconds holds
    // the silence after it.
    if (serial != m_playSerial || (m_state != Playing && m_state != Paused))
        return;
    m_playSerial = 0;
    m_startAt = 0;
    setState(Stopped);
}

void MediaPlayer::onFailed(quint64 serial, const QString &why)
{
    if (serial != m_playSerial)
        return;
    m_playSerial = 0;
    m_error = why;
    setState(Closed);
    emit error();
}

void MediaPlayer::onDropped(quint64 serial)
{
    // Another player of the same output started in its place.
    if (serial != m_playSerial || (m_state != Playing && m_state != Paused))
        return;
    m_playSerial = 0;
    m_startAt = 0;
    setState(Stopped);
}

} // namespace tv::media
