// The drive browser: drive, folder and file lists, the file popup menu, and
// which side's playlist is on display.
#include "Workspace.h"

#include "DriveListBox.h"
#include "FileListBox.h"
#include "FolderListBox.h"
#include "MessageBox.h"
#include "PlayListBox.h"
#include "RememberedFolders.h"

#include <QAction>
#include <QGroupBox>
#include <QMenu>

namespace tv::workspace {

void Workspace::Dir1_Change()
{
    m_File1->setPath(m_Dir1->path());
    // Each drive keeps the folder last shown on it, as its current folder.
    const QString drive = m_Drive1->driveOf(m_Dir1->path());
    if (!drive.isEmpty())
        m_driveFolders[drive] = m_Dir1->path();
    rememberFolder(FolderRole::Browser, m_Dir1->path());
}

void Workspace::Drive1_Change()
{
    static int depth = 0; // putting the old drive back runs this handler again, once
    const QString previous = m_lastDrive;
    const QString chosen = m_Drive1->drive();
    const QString folder = m_driveFolders.value(chosen, chosen);
    QString error;
    if (m_Dir1->setPath(folder, error) || (folder != chosen && m_Dir1->setPath(chosen, error))) {
        m_lastDrive = chosen;
        Dir1_Change();
        return;
    }
    tv::shell::msgBox(this, QStringLiteral("Error: ") + error, tv::shell::Msg::Exclamation | tv::shell::Msg::OkOnly);
    if (depth == 0 && previous != chosen) {
        ++depth;
        m_Drive1->setDrive(previous);
        --depth;
    }
}

void Workspace::mnuRefresh_Click()
{
    m_File1->refresh();
    m_Dir1->refresh();
}

void Workspace::updateFileMenu()
{
    const bool haveFile = !m_File1->fileName().isEmpty() && m_File1->count() > 0;
    for (QAction *item : {m_mnuPlay, m_mnuAdd, m_mnuCopyFile, m_mnuDelete})
        item->setEnabled(haveFile);
}

void Workspace::File1_MouseDown(Qt::MouseButton button, const QPoint &globalPos)
{
    if (button != Qt::RightButton)
        return;
    updateFileMenu();
    m_mnuPlayFile->popup(globalPos);
}

Side Workspace::shownSide() const
{
    if (!isCassette())
        return Side::A;
    // Shown: the list and the frame that holds it are both shown.
    const auto shown = [this](int side) { return !m_lstPlayList[side]->isHidden() && !m_frmTapeSide[side]->isHidden(); };
    const auto left = [this](int side) { return leftTwips(m_frmTapeSide[side]); };
    if (shown(0) && !shown(1))
        return Side::A;
    if (shown(1) && !shown(0))
        return Side::B;
    if (left(0) < 1000 && left(1) > 1000)
        return Side::A;
    if (left(1) < 1000 && left(0) > 1000)
        return Side::B;
    return Side::None;
}

} // namespace tv::workspace
