// Audio-CD tracks: played through the CD device in place of the media
// player, with the running read-out, and handing back to the recording
// when a track ends.
#include "Workspace.h"

#include "CdControlBar.h"
#include "Globals.h"
#include "MediaPlayer.h"
#include "MediaControlBar.h"
#include "MessageBox.h"
#include "Module1.h"
#include "TimeText.h"
#include "cd/CdAudioDevice.h"
#include "cd/CdTrackFolder.h"

#include <QLabel>
#include <QPushButton>

namespace tv::workspace {

using tv::media::CdAudioDevice;

void Workspace::sub_MusicCD(const QString &fileName)
{
    CdAudioDevice *cd = m_MCD->device();
    const auto fail = [&] {
        tv::shell::msgBox(this, cd->errorMessage(), tv::shell::Msg::OkOnly, m_profile.messageTitle);
        blnCDPlaying = false;
    };
    (void)cd->command(QStringLiteral("Stop"));
    (void)cd->command(QStringLiteral("Close"));
    cd->setFileName(fileName);
    if (!cd->command(QStringLiteral("Open")))
        return fail();
    const int track = tv::media::CdTrackFolder::trackNumberOf(fileName);
    if (!cd->setTimeFormat(CdAudioDevice::Tmsf))
        return fail();
    cd->setTo(quint32(track));
    if (!cd->command(QStringLiteral("Seek")) || !cd->command(QStringLiteral("Play")))
        return fail();
    blnCDPlaying = true;
    (void)cd->setTimeFormat(CdAudioDevice::Milliseconds);
    cd->setTrack(track);
    m_Label1->setText(QStringLiteral("Music CD Track:   [ ") + fileName + QStringLiteral(" ]"));
}

void Workspace::MCD_StatusUpdate()
{
    CdAudioDevice *cd = m_MCD->device();
    (void)cd->setTimeFormat(CdAudioDevice::Tmsf);
    const QString hex = QStringLiteral("%1").arg(cd->position(), 8, 16, QLatin1Char('0')).toUpper();
    const int track = hex.mid(6, 2).toInt(nullptr, 16);
    const int minutes = hex.mid(4, 2).toInt(nullptr, 16);
    const int seconds = hex.mid(2, 2).toInt(nullptr, 16);
    const bool sameTrack = cd->track() == track;
    if (sameTrack) {
        (void)cd->setTimeFormat(CdAudioDevice::Milliseconds);
        const qint64 length = tv::core::roundHalfEven(double(cd->trackLength()) / 1000.0);
        const auto two = [](int v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); };
        m_MCDlabel->setText(QStringLiteral("Track [") + two(track) + QStringLiteral("]") + QString(73, QLatin1Char(' ')) + two(minutes)
                            + QStringLiteral(":") + two(seconds) + QStringLiteral(" / ") + tv::core::fnFormatTime(length));
        return;
    }
    // Play has run on into the next track: this one is over.
    tv::shell::Module1::subStopPlayers(*this, QStringLiteral("MCDplayer"));
    blnCDPlaying = false;
    if (blnRecordingA || blnRecordingB) {
        // The next song at once, without the step timer; the song delay
        // still comes first.
        m_nextSongDueMs = m_clock.elapsed() + songDelayMs();
        subRecordMP3toTape();
    }
}

void Workspace::MCD_PlayClick()
{
    blnCDPlaying = true;
}

void Workspace::MCD_StopClick()
{
    // Back to the start of the same track, so that Play replays it.
    CdAudioDevice *cd = m_MCD->device();
    (void)cd->command(QStringLiteral("Stop"));
    (void)cd->setTimeFormat(CdAudioDevice::Tmsf);
    cd->setTo(quint32(cd->track()));
    (void)cd->command(QStringLiteral("Seek"));
    blnCDPlaying = false;
}

void Workspace::MCD_GotFocus()
{
    m_cmdDummyFocus->setFocus();
}

} // namespace tv::workspace
