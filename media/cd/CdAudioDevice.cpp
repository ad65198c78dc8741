#include "CdAudioDevice.h"

#include "../output/AudioOutput.h"
#include "CdDisc.h"
#include "CdSource.h"
#include "CdTrackFolder.h"

#include <QTimer>

namespace tv::media {

namespace {

quint32 packTmsf(int track, int sectorInTrack)
{
    const int frames = sectorInTrack % CdDisc::kSectorsPerSecond;
    const int seconds = (sectorInTrack / CdDisc::kSectorsPerSecond) % 60;
    const int minutes = std::min(255, sectorInTrack / CdDisc::kSectorsPerSecond / 60);
    return quint32(track & 0xFF) | (quint32(minutes) << 8) | (quint32(seconds) << 16) | (quint32(frames) << 24);
}

qint64 sectorsToMs(qint64 sectors) { return sectors * 1000 / CdDisc::kSectorsPerSecond; }

} // namespace

CdAudioDevice::CdAudioDevice(QObject *parent) : QObject(parent), m_updates(new QTimer(this))
{
    m_updates->setInterval(m_updateInterval);
    connect(m_updates, &QTimer::timeout, this, &CdAudioDevice::statusUpdate);
}

CdAudioDevice::~CdAudioDevice() = default;

void CdAudioDevice::setOutput(AudioOutput *output)
{
    if (m_output)
        disconnect(m_output, nullptr, this, nullptr);
    m_output = output;
    connect(m_output, &AudioOutput::finished, this, &CdAudioDevice::onFinished);
    connect(m_output, &AudioOutput::failed, this, &CdAudioDevice::onFailed);
    connect(m_output, &AudioOutput::dropped, this, &CdAudioDevice::onDropped);
}

AudioOutput &CdAudioDevice::output()
{
    if (!m_output)
        setOutput(new AudioOutput(this));
    return *m_output;
}

void CdAudioDevice::onFinished(quint64 serial)
{
    // Played on past the last track: the disc has ended, the device stops there.
    if (serial != m_serial || m_mode != Mode::Playing || !m_disc)
        return;
    m_mode = Mode::Stopped;
    if (m_playEnd >= 0) {
        // The end of the track: the position moves on to the next one.
        m_seekSector = m_playEnd + 1;
        emit statusUpdate();
    } else {
        m_seekSector = m_disc->lastAudioSector();
    }
}

void CdAudioDevice::onFailed(quint64 serial, const QString &why)
{
    if (serial != m_serial || m_mode == Mode::Stopped)
        return;
    m_error = why;
    m_mode = Mode::Stopped;
    emit failed(why);
}

void CdAudioDevice::onDropped(quint64 serial)
{
    // Another player of the same output started in its place.
    if (serial != m_serial || m_mode == Mode::Stopped)
        return;
    m_seekSector = playSector();
    m_mode = Mode::Stopped;
}

bool CdAudioDevice::fail(const QString &why)
{
    m_error = why;
    return false;
}

bool CdAudioDevice::command(const QString &name)
{
    const QString cmd = name.trimmed().toLower();
    if (cmd == QLatin1String("open"))
        return open();
    if (cmd == QLatin1String("close")) {
        close();
        return true;
    }
    if (cmd != QLatin1String("seek") && cmd != QLatin1String("play") && cmd != QLatin1String("pause") && cmd != QLatin1String("stop"))
        return fail(QStringLiteral("The CD device does not know the command \"%1\".").arg(name));
    if (!m_disc)
        return fail(QStringLiteral("The CD device is not open."));
    if (cmd == QLatin1String("seek"))
        return seek();
    if (cmd == QLatin1String("play"))
        return play();
    if (cmd == QLatin1String("pause")) {
        if (m_mode == Mode::Playing) {
            m_seekSector = playSector();
            if (m_output)
                m_output->pause();
            m_mode = Mode::Paused;
        }
        return true;
    }
    stopPlayback();
    return true;
}

bool CdAudioDevice::open()
{
    close();
    const QString source = CdTrackFolder::sourceFor(m_fileName);
    QString error;
    m_disc = CdDisc::open(source, error);
    if (!m_disc)
        return fail(error);
    if (!CdTrackFolder::matchesDisc(m_fileName, *m_disc, error)) {
        m_disc.reset();
        return fail(error);
    }
    m_seekSector = m_disc->tracks().first().firstSector;
    for (const CdDisc::Track &t : m_disc->tracks()) {
        if (t.audio) {
            m_seekSector = t.firstSector;
            break;
        }
    }
    m_updates->start(m_updateInterval);
    return true;
}

bool CdAudioDevice::seek()
{
    int target = 0;
    if (m_timeFormat == Tmsf) {
        const int number = int(m_to & 0xFF);
        const CdDisc::Track *t = m_disc->track(number);
        if (!t)
            return fail(QStringLiteral("Track %1 is not on this disc.").arg(number));
        if (!t->audio)
            return fail(QStringLiteral("Track %1 is a data track, not music.").arg(number));
        const int minutes = int((m_to >> 8) & 0xFF), seconds = int((m_to >> 16) & 0xFF), frames = int(m_to >> 24);
        target = t->firstSector + (minutes * 60 + seconds) * CdDisc::kSectorsPerSecond + frames;
        if (target > t->lastSector)
            return fail(QStringLiteral("The position lies past the end of track %1.").arg(number));
    } else {
        target = int(qint64(m_to) * CdDisc::kSectorsPerSecond / 1000);
        if (target > m_disc->lastAudioSector())
            return fail(QStringLiteral("The position lies past the end of the disc."));
    }
    // Seeking ends any play, as on a real drive.
    if (m_mode != Mode::Stopped && m_output)
        m_output->stop(m_serial);
    m_mode = Mode::Stopped;
    m_seekSector = target;
    return true;
}

bool CdAudioDevice::play()
{
    if (m_mode == Mode::Playing)
        return true;
    if (m_mode == Mode::Paused) {
        if (m_output)
            m_output->resume();
        m_mode = Mode::Playing;
        return true;
    }
    if (m_seekSector > m_disc->lastAudioSector())
        return fail(QStringLiteral("Play has reached the end of the disc."));
    m_playStart = m_seekSector;
    if (m_silent) {
        m_mode = Mode::Playing;
        return true;
    }
    const CdDisc::Track *track = m_disc->trackAtSector(m_playStart);
    m_playEnd = (m_playToTrackEnd && track) ? track->lastSector : -1;
    m_serial = AudioOutput::newSerial();
    std::shared_ptr<CdDisc> disc = m_disc;
    const int first = m_playStart, last = m_playEnd;
    const QString name = m_fileName;
    output().play(m_serial, [disc, first, last, name](QString &) { return std::make_unique<CdSource>(disc, first, last, name); });
    m_mode = Mode::Playing;
    return true;
}

void CdAudioDevice::stopPlayback()
{
    if (m_mode != Mode::Stopped) {
        m_seekSector = playSector();
        if (m_output)
            m_output->stop(m_serial);
    }
    m_mode = Mode::Stopped;
}

void CdAudioDevice::close()
{
    if (m_mode != Mode::Stopped && m_output)
        m_output->stop(m_serial);
    m_mode = Mode::Stopped;
    m_updates->stop();
    m_disc.reset();
    m_seekSector = m_playStart = 0;
}

int CdAudioDevice::playSector() const
{
    if (m_mode == Mode::Stopped || !m_output)
        return m_seekSector;
    if (m_mode == Mode::Paused)
        return m_seekSector;
    const qint64 ms = m_output->positionMs(m_serial);
    return m_playStart + int(ms * CdDisc::kSectorsPerSecond / 1000);
}

int CdAudioDevice::currentTrack() const
{
    if (!m_disc)
        return 0;
    const CdDisc::Track *t = m_disc->trackAtSector(playSector());
    return t ? t->number : 0;
}

bool CdAudioDevice::setTimeFormat(int format)
{
    if (format != Milliseconds && format != Tmsf)
        return fail(QStringLiteral("The CD device does not know the time format %1.").arg(format));
    m_timeFormat = format;
    return true;
}

qint64 CdAudioDevice::trackLength() const
{
    const CdDisc::Track *t = m_disc ? m_disc->track(m_track) : nullptr;
    if (!t)
        return 0;
    if (m_timeFormat == Tmsf)
        return qint64(packTmsf(0, t->sectors()) >> 8);
    return sectorsToMs(t->sectors());
}

quint32 CdAudioDevice::position() const
{
    if (!m_disc)
        return 0;
    const int sector = playSector();
    if (m_timeFormat == Milliseconds)
        return quint32(sectorsToMs(sector));
    const CdDisc::Track *t = m_disc->trackAtSector(sector);
    if (!t) // past the last track: the lead-out, numbered after it
        return packTmsf(m_disc->tracks().last().number + 1, 0);
    return packTmsf(t->number, std::max(0, sector - t->firstSector));
}

void CdAudioDevice::setUpdateInterval(int ms)
{
    m_updateInterval = std::max(1, ms);
    m_updates->setInterval(m_updateInterval);
}

void CdAudioDevice::pressPlayButton()
{
    emit playButtonPressed();
    if (m_disc)
        (void)play();
}

void CdAudioDevice::pressPauseButton()
{
    if (m_disc)
        (void)command(QStringLiteral("Pause"));
}

void CdAudioDevice::pressStopButton()
{
    emit stopButtonPressed();
    if (m_disc)
        stopPlayback();
}

} // namespace tv::media
