// Listening before recording: a file of the browser or an entry of a
// playlist through the player, and the player's error events.
#include "Workspace.h"

#include "CdControlBar.h"
#include "FileListBox.h"
#include "FolderListBox.h"
#include "MediaControlBar.h"
#include "MediaPlayer.h"
#include "MessageBox.h"
#include "Module1.h"
#include "PlayListBox.h"
#include "cd/CdAudioDevice.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

namespace tv::workspace {

namespace Msg = tv::shell::Msg;
using tv::shell::msgBox;

void Workspace::connectPlayers()
{
    setUpDeckOutput();
    tv::media::MediaPlayer *player = m_MPlayer->player();
    connect(player, &tv::media::MediaPlayer::playStateChanged, this, &Workspace::MPlayer_PlayStateChange);
    connect(player, &tv::media::MediaPlayer::error, this, &Workspace::MPlayer_Error);
    for (int side = 0; side < m_profile.sides.size(); ++side)
        connect(m_lstPlayList[side], &QListWidget::itemDoubleClicked, this, [this, side] { lstPlayList_DblClick(side); });
    connect(m_mnuPlay, &QAction::triggered, this, &Workspace::mnuPlay_Click);
    tv::media::CdAudioDevice *cd = m_MCD->device();
    connect(cd, &tv::media::CdAudioDevice::statusUpdate, this, &Workspace::MCD_StatusUpdate);
    connect(cd, &tv::media::CdAudioDevice::playButtonPressed, this, &Workspace::MCD_PlayClick);
    connect(cd, &tv::media::CdAudioDevice::stopButtonPressed, this, &Workspace::MCD_StopClick);
    connect(m_MCD, &tv::media::CdControlBar::focusReceived, this, &Workspace::MCD_GotFocus);
    buildScan();
    connectFileUtilities();
}

bool Workspace::isScanning() const
{
    return m_picScan->palette().color(QPalette::Window) == QColor(0, 255, 0);
}

void Workspace::mnuPlay_Click()
{
    if (isScanning())
        cmdScan_Click(); // the chosen file replaces the scan
    tv::shell::Module1::subStopPlayers(*this, QStringLiteral("All"));
    const QString name = m_File1->fileName();
    if (name.isEmpty()) {
        msgBox(this, QStringLiteral("   The following error occurred:  No file is selected."), Msg::Exclamation);
        return;
    }
    const QString path = m_File1->fullPath(name);
    m_Label1->setText(path);
    m_MPlayer->player()->setFileName(path);
}

void Workspace::lstPlayList_DblClick(int side)
{
    if (blnRecordingA || blnRecordingB || m_lstPlayList[side]->selectedItems().isEmpty() || !m_lstPlayList[side]->currentItem())
        return;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const int current = m_lstPlayList[side]->currentRow();
    m_Label1->setText(m_lstPlayList[side]->item(current)->text());
    m_MPlayer->player()->setFileName(entryPathAt(side, current));
    QGuiApplication::restoreOverrideCursor();
}

void Workspace::mnuPlayListPlay_Click()
{
    tv::shell::Module1::subStopPlayers(*this, QStringLiteral("All"));
    if (!isCassette()) {
        lstPlayList_DblClick(0);
        return;
    }
    const auto shown = [this](int side) { return m_lstPlayList[side]->isVisible(); };
    if (shown(0) && !shown(1))
        lstPlayList_DblClick(0);
    else if (shown(1) && !shown(0))
        lstPlayList_DblClick(1);
}

void Workspace::MPlayer_Error()
{
    // A recording's songs are the recording's: their failures reach its
    // session through the deck's plan, and end the recording there.
    if (m_session.isActive() || blnRecordingA || blnRecordingB)
        return;
    tv::media::MediaPlayer *player = m_MPlayer->player();
    const QString name = player->fileName();
    if (name.endsWith(QLatin1String("cda"), Qt::CaseSensitive)) {
        sub_MusicCD(name);
        m_MCD->setVisible(!blnRecordingA && !blnRecordingB);
        m_MCDlabel->show();
        m_MPlayer->hide();
        return;
    }
    m_MCD->hide();
    m_MCDlabel->hide();
    m_MPlayer->show();
    if (isScanning()) {
        m_Label1->setText(QStringLiteral("Error Opening: ") + m_File1->fileName());
        QCoreApplication::processEvents();
        return;
    }
    msgBox(this, player->errorDescription(), Msg::Critical, m_profile.messageTitle);
}

} // namespace tv::workspace
