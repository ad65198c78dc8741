// The window itself: growing it to show the drive list and shrinking it
// again, and moving it by dragging its background or its song labels.
#include "frmMini.h"

#include "AnimationPacer.h"
#include "DriveListBox.h"
#include "FileListBox.h"
#include "FolderListBox.h"
#include "Twips.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

namespace tv::miniplayer {

namespace {
constexpr int kStepTwips = 40;
constexpr int kResizeMs = 250; // a whole resize, whatever the machine
constexpr int kStateLimitTwips = 1500; // below: drive list hidden; above: shown
} // namespace

void frmMini::setHeightTwips(int twips)
{
    m_heightTwips = twips;
    setFixedHeight(tv::shell::twips(this, twips));
}

void frmMini::cmdFileList_Click()
{
    const int start = m_heightTwips;
    if (start == kStateLimitTwips) {
        m_cmdDummy->setFocus();
        return;
    }
    const bool grow = start < kStateLimitTwips;
    const QList<QWidget *> lists = {m_Drive1, m_Dir1, m_File1};
    m_cmdFileList->setText(grow ? QStringLiteral("Hide Drive List") : QStringLiteral("Display Drive List"));
    m_cmdFileList->setEnabled(false); // one resize at a time: events run between its steps
    if (grow) {
        for (QWidget *w : lists)
            w->show();
    }
    // H, H + 40, ... up to H + 1880 (or down): the last step not past 1905.
    const int steps = kDriveListTwips / kStepTwips + 1;
    const QPointer<frmMini> alive(this);
    tv::workspace::AnimationPacer pacer(steps, kResizeMs);
    for (int i = 0; i < steps; ++i) {
        setHeightTwips(grow ? start + i * kStepTwips : start - i * kStepTwips);
        pacer.stepDone(i);
        if (!alive)
            return;
    }
    if (!grow) {
        // Out of sight and out of the focus chain.
        for (QWidget *w : lists)
            w->hide();
    }
    m_cmdFileList->setEnabled(true);
    m_cmdDummy->setFocus();
}

bool frmMini::dragMouse(QEvent::Type type, const QPoint &pos)
{
    switch (type) {
    case QEvent::MouseButtonPress:
        blnDragging = true;
        return true;
    case QEvent::MouseMove:
        // The pressed control's top-left corner follows the pointer.
        if (blnDragging)
            move(x() + pos.x(), y() + pos.y());
        return true;
    case QEvent::MouseButtonRelease:
        blnDragging = false;
        return true;
    default:
        return false;
    }
}

void frmMini::mousePressEvent(QMouseEvent *event)
{
    dragMouse(event->type(), event->position().toPoint());
}

void frmMini::mouseMoveEvent(QMouseEvent *event)
{
    dragMouse(event->type(), event->position().toPoint());
}

void frmMini::mouseReleaseEvent(QMouseEvent *event)
{
    dragMouse(event->type(), event->position().toPoint());
}

bool frmMini::eventFilter(QObject *watched, QEvent *event)
{
    const bool songLabel = watched == m_lblSongTitle || watched == m_lblSongDetails;
    const QEvent::Type type = event->type();
    if (songLabel && (type == QEvent::MouseButtonPress || type == QEvent::MouseMove || type == QEvent::MouseButtonRelease))
        return dragMouse(type, static_cast<QMouseEvent *>(event)->position().toPoint());
    return QWidget::eventFilter(watched, event);
}

} // namespace tv::miniplayer
