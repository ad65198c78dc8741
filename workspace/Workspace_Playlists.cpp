// Playlist editing: moving, deleting and clearing entries, and the
// playlist popup menu with its items enabled by the state.
#include "Workspace.h"

#include "MessageBox.h"
#include "PlayListBox.h"
#include "SongEntry.h"

#include <QAction>
#include <QGroupBox>
#include <QMenu>
#include <QPushButton>

namespace tv::workspace {

namespace Msg = tv::shell::Msg;

void Workspace::buildPlaylistMenu()
{
    m_mnuPlayList = new QMenu(this);
    m_mnuPlayList->setObjectName(QStringLiteral("mnuPlayList"));
    const auto item = [this](const char *name, const QString &caption) {
        QAction *action = m_mnuPlayList->addAction(caption);
        action->setObjectName(QLatin1String(name));
        return action;
    };
    m_mnuPlayListPlay = item("mnuPlayListPlay", QStringLiteral("Play"));
    m_mnuPlayListDelete = item("mnuPlayListDelete", QStringLiteral("Delete Selected"));
    m_mnuPlayListSave = item("mnuPlayListSave", QStringLiteral("Save Playlist"));
    m_mnuPlayListLoad = item("mnuPlayListLoad", QStringLiteral("Load Playlist"));
    m_mnuPlayListClear = item("mnuPlayListClear", QStringLiteral("Clear Playlist"));
    connect(m_mnuPlayListPlay, &QAction::triggered, this, &Workspace::mnuPlayListPlay_Click);
    connect(m_mnuPlayListDelete, &QAction::triggered, this, &Workspace::mnuPlayListDelete_Click);
    connect(m_mnuPlayListSave, &QAction::triggered, this, &Workspace::mnuPlayListSave_Click);
    connect(m_mnuPlayListLoad, &QAction::triggered, this, &Workspace::mnuPlayListLoad_Click);
    connect(m_mnuPlayListClear, &QAction::triggered, this, &Workspace::mnuPlayListClear_Click);
    buildSidePlanningItems();
}

int Workspace::playlistOnDisplay() const
{
    if (!isCassette())
        return 0;
    const auto shown = [this](int side) { return !m_lstPlayList[side]->isHidden() && !m_frmTapeSide[side]->isHidden(); };
    if (shown(0) && !shown(1))
        return 0;
    if (shown(1) && !shown(0))
        return 1;
    return -1;
}

void Workspace::cmdUp_Click(int side)
{
    tv::controls::PlayListBox *list = m_lstPlayList[side];
    const int k = list->currentRow();
    if (list->selectedItems().size() == 1 && k > 0) {
        list->insertItem(k - 1, list->takeItem(k));
        list->clearSelection();
        list->setCurrentRow(k - 1);
        list->item(k - 1)->setSelected(true);
    }
    m_cmdDummyFocus->setFocus();
}

void Workspace::cmdDown_Click(int side)
{
    tv::controls::PlayListBox *list = m_lstPlayList[side];
    const int k = list->currentRow();
    if (list->selectedItems().size() == 1 && k >= 0 && k + 1 != list->count()) {
        list->insertItem(k + 1, list->takeItem(k));
        list->clearSelection();
        list->setCurrentRow(k + 1);
        list->item(k + 1)->setSelected(true);
    }
    m_cmdDummyFocus->setFocus();
}

void Workspace::cmdDelete_Click(int side)
{
    tv::controls::PlayListBox *list = m_lstPlayList[side];
    qint64 &total = side == 0 ? m_intTimeA : m_intTimeB;
    int lowest = -1;
    for (int i = list->count() - 1; i >= 0; --i) {
        if (!list->item(i)->isSelected())
            continue;
        tv::core::SongEntry entry;
        if (!tv::core::SongEntry::parse(list->item(i)->text(), entry))
            break; // an entry whose length cannot be read: stop here, silently
        total -= entry.seconds;
        delete list->takeItem(i);
        lowest = i;
        if (side == 0)
            subTapeA_TimeCalc();
        else
            subTapeB_TimeCalc();
    }
    // A neighbour of where the removals ended stays selected: the entry just
    // before that place, or the first entry when they reached the top.
    if (lowest >= 0 && list->count() > 0) {
        const int pick = lowest == 0 ? 0 : lowest - 1;
        list->clearSelection();
        list->setCurrentRow(pick);
        list->item(pick)->setSelected(true);
    }
    m_cmdDummyFocus->setFocus();
}

void Workspace::mnuPlayListDelete_Click()
{
    const int side = playlistOnDisplay();
    if (side >= 0)
        cmdDelete_Click(side);
}

void Workspace::mnuPlayListClear_Click()
{
    const int side = playlistOnDisplay();
    if (side < 0)
        return;
    const QString title = isCassette() ? QStringLiteral("Tape Vantrel") : QStringLiteral("MiniDisc Vantrel");
    const QString question = QStringLiteral("Clear %1 Playlist?").arg(m_profile.sides.at(side).recordingName);
    if (tv::shell::msgBox(this, question, Msg::YesNo | Msg::Question, title) != Msg::Yes)
        return;
    m_lstPlayList[side]->clear();
    if (side == 0) {
        m_intTimeA = 0;
        subTapeA_TimeCalc();
    } else {
        m_intTimeB = 0;
        subTapeB_TimeCalc();
    }
}

void Workspace::lstPlayList_MouseDown(int side, Qt::MouseButton button, const QPoint &globalPos)
{
    if (button != Qt::RightButton)
        return;
    const tv::controls::PlayListBox *list = m_lstPlayList[side];
    const bool entries = list->count() > 0;
    const bool selected = entries && !list->selectedItems().isEmpty();
    const bool recording = blnRecordingA || blnRecordingB;
    m_mnuPlayListPlay->setEnabled(selected && !recording);
    m_mnuPlayListDelete->setEnabled(selected && !recording);
    m_mnuPlayListClear->setEnabled(entries && !recording);
    m_mnuPlayListSave->setEnabled(entries);
    m_mnuPlayListLoad->setEnabled(!recording);
    if (m_mnuBalanceSides) {
        const bool any = m_lstPlayList[0]->count() + m_lstPlayList[1]->count() > 0;
        m_mnuBalanceSides->setEnabled(any && !recording);
        m_mnuFillSideAFirst->setEnabled(any && !recording);
    }
    m_mnuPlayList->popup(globalPos);
}

} // namespace tv::workspace
