#include "MediaPlayer.h"

#include "output/AudioOutput.h"
#include "probe/Measure.h"
#include "SoundFile.h"

#include <QAudioDevice>
#include <QMediaDevices>
#include <QTimer>
#include <cmath>

namespace tv::media {

MediaPlayer::MediaPlayer(QObject *parent) : QObject(parent) {}

MediaPlayer::~MediaPlayer() = default;

AudioOutput &MediaPlayer::output()
{
    if (!m_output) {
        m_output = new AudioOutput(this);
        connect(m_output, &AudioOutput::finished, this, &MediaPlayer::onFinished);
        connect(m_output, &AudioOutput::failed, this, &MediaPlayer::onFailed);
        setVolume(m_volume);
    }
    return *m_output;
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
    m_playSerial = 0;
    m_fileName = path;
    m_startAt = 0;
    m_duration = 0;
    const Duration length = measureFile(path);
    if (!length.ok()) {
        if (m_output)
            m_output->stop();
        setState(Closed);
        fail(length.error);
        return;
    }
    m_duration = *length.seconds;
    m_error.clear();
    if (m_autoStart) {
        // The new song replaces whatever plays (a pending gap is kept).
        m_playSerial = ++m_nextSerial;
        output().startFile(m_playSerial, m_fileName, 0);
        if (m_state == Closed)
            setState(Stopped);
        setState(Playing);
    } else {
        if (m_output)
            m_output->stop();
        setState(Stopped);
    }
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
        m_output->seek(qint64(seconds * 1000));
}

void MediaPlayer::play()
{
    if (m_state == Paused) {
        output().resume();
        setState(Playing);
    } else if (m_state == Stopped) {
        m_playSerial = ++m_nextSerial;
        output().startFile(m_playSerial, m_fileName, qint64(m_startAt * 1000));
        setState(Playing);
    }
}

void MediaPlayer::pause()
{
    if (m_state != Playing)
        return;
    output().pause();
    setState(Paused);
}

void MediaPlayer::stop()
{
    if (m_state != Playing && m_state != Paused)
        return;
    m_playSerial = 0;
    m_startAt = 0;
    if (m_output)
        m_output->stop();
    setState(Stopped);
}

void MediaPlayer::close()
{
    m_openSerial = ++m_nextSerial;
    m_playSerial = 0;
    if (m_output)
        m_output->stop();
    m_fileName.clear();
    m_duration = 0;
    setState(Closed);
}

void MediaPlayer::setNextGapMs(int gapMs)
{
    output().setNextGap(gapMs);
}

void MediaPlayer::setVolume(int hundredthsDb)
{
    m_volume = std::clamp(hundredthsDb, -10000, 0);
    if (m_output)
        m_output->setGain(m_volume <= -10000 ? 0.0 : std::pow(10.0, m_volume / 2000.0));
}

void MediaPlayer::onFinished(quint64 serial)
{
    if (serial != m_playSerial || m_state != Playing)
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

} // namespace tv::media
