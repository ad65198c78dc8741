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
#include "cd/CdDamageReports.h"
#include "cd/CdTrackFolder.h"

#include <QLabel>
#include <QPushButton>

namespace tv::workspace {

using tv::media::CdAudioDevice;

namespace {
QString playingText(const QString &fileName)
{
    return QStringLiteral("Music CD Track:   [ ") + fileName + QStringLiteral(" ]");
}
} // namespace

void Workspace::connectCdDamageReports()
{
    connect(&tv::media::CdDamageReports::instance(), &tv::media::CdDamageReports::damaged, this, &Workspace::MCD_Damaged);
}

void Workspace::MCD_Damaged(const QString &trackFile, int track, qint64 firstMs, qint64 totalMs)
{
    // Told in the read-out, not in a message box: a recording goes on, and
    // the user learns which track to check on the tape. One note per track,
    // kept up to date as more of it is found.
    const QString note = QStringLiteral("   Unreadable: %1 s of track %2 from %3 on, played as silence")
                             .arg(QString::number(double(totalMs) / 1000.0, 'f', 2))
                             .arg(track)
                             .arg(tv::core::fnFormatTime(firstMs / 1000));
    m_cdDamageNotes[trackFile] = note;
    if (m_Label1->text().startsWith(playingText(trackFile)))
        m_Label1->setText(playingText(trackFile) + note);
}

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
    // A preview reads the track anew (a recording's tracks never come here:
    // their damage may be told while they are read ahead, before heard).
    m_cdDamageNotes.remove(fileName);
    m_Label1->setText(playingText(fileName) + m_cdDamageNotes.value(fileName));
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
    // Play has run on into the next track: this one is over. (A recording's
    // tracks are followed through the deck's plan, not here.)
    tv::shell::Module1::subStopPlayers(*this, QStringLiteral("MCDplayer"));
    blnCDPlaying = false;
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
