// Playing through the workspace's player: one file, Pause and Stop, and Play
// All, which the one-second timer moves on to the next file of the folder.
#include "frmMini.h"

#include "CdControlBar.h"
#include "FileListBox.h"
#include "MediaControlBar.h"
#include "MediaPlayer.h"
#include "MessageBox.h"
#include "Module1.h"
#include "TimeText.h"
#include "Workspace.h"
#include "cd/CdAudioDevice.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

namespace tv::miniplayer {

using tv::media::MediaPlayer;

QString frmMini::songDetails() const
{
    const MediaPlayer *playing = player();
    const double position = playing ? playing->currentPosition() : 0.0;
    const double length = playing ? playing->duration() : 0.0;
    return tv::core::fnFormatTime(tv::core::roundHalfEven(position)) + QStringLiteral(" / ")
           + tv::core::fnFormatTime(tv::core::roundHalfEven(length));
}

void frmMini::subMiniPlay()
{
    // A failing step is reported, and the steps after it still run.
    const auto failed = [this](const QString &why) {
        tv::shell::msgBox(this, QStringLiteral("   The following error occurred:  ") + why, tv::shell::Msg::Exclamation);
    };
    if (!m_workspace) {
        failed(QStringLiteral("The cassette workspace that plays for the mini player is not loaded."));
        return;
    }
    tv::shell::Module1::subStopPlayers(*m_workspace, QStringLiteral("All"));
    const QString name = m_File1->fileName();
    if (name.isEmpty())
        failed(QStringLiteral("No file is selected."));
    else
        player()->setFileName(m_File1->fullPath(name)); // the player starts by itself
    QCoreApplication::processEvents();
    m_lblSongTitle->setText(name);
    m_lblSongDetails->setText(songDetails());
}

void frmMini::cmdPlay_Click()
{
    m_cmdDummy->setFocus();
    blnPaused = false;
    if (!m_File1->fileName().isEmpty())
        subMiniPlay();
}

void frmMini::cmdPause_Click()
{
    m_cmdDummy->setFocus();
    MediaPlayer *playing = player();
    if (!playing)
        return;
    if (blnPaused) {
        playing->play(); // resumes where it paused
        blnPaused = false;
    } else if (playing->playState() == MediaPlayer::Playing) {
        playing->pause();
        blnPaused = true;
    }
}

void frmMini::cmdStop_Click()
{
    m_cmdDummy->setFocus();
    blnPaused = false;
    if (m_workspace)
        tv::shell::Module1::subStopPlayers(*m_workspace, QStringLiteral("All"));
}

void frmMini::chkAll_Click()
{
    if (m_File1->count() > 0 && m_chkAll->isChecked()) {
        // With no file chosen yet, Play All starts at the top.
        if (m_File1->currentRow() <= 0)
            m_File1->setCurrentRow(0);
        subMiniPlay();
        return;
    }
    intNextSong = 0;
    m_chkAll->setChecked(false); // an empty folder cannot stay in Play All
}

bool frmMini::isPlayerIdle() const
{
    const MediaPlayer *playing = player();
    if (!playing)
        return false;
    // A file the player could not open leaves it closed, which is as good as
    // stopped here; a CD track plays on the workspace's CD player until its end.
    const int state = playing->playState();
    const bool mediaIdle = state == MediaPlayer::Stopped || state == MediaPlayer::Closed;
    return mediaIdle && !m_workspace->MCD()->device()->isPlaying();
}

void frmMini::Timer1_Timer()
{
    m_lblSongDetails->setText(songDetails());
    if (!m_chkAll->isChecked() || !isPlayerIdle())
        return;
    // While a message about the last file waits for the user, the next file
    // waits too, so that unplayable files do not pile up messages.
    if (QApplication::activeModalWidget())
        return;
    if (m_File1->count() == 0) {
        // The folder on display has no files any more.
        intNextSong = 0;
        m_chkAll->setChecked(false);
        return;
    }
    const int current = m_File1->currentRow();
    if (QListWidgetItem *item = m_File1->item(current))
        item->setSelected(false);
    intNextSong = current + 1 == m_File1->count() ? 0 : current + 1;
    m_File1->setCurrentRow(intNextSong, QItemSelectionModel::Select);
    subMiniPlay();
}

} // namespace tv::miniplayer
