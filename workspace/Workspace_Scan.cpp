// Scan: the beginning of every file of the file list in turn, to pick songs
// by ear. One file plays at a time; every 11 seconds the next one starts,
// wrapping round from the last to the first, until the user stops the scan.
#include "Workspace.h"

#include "CdControlBar.h"
#include "FileListBox.h"
#include "MediaControlBar.h"
#include "MediaPlayer.h"
#include "Module1.h"
#include "cd/CdAudioDevice.h"

#include <QBoxLayout>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <functional>

namespace tv::workspace {

namespace {

constexpr int kScanIntervalMs = 11000;

// A click (press and release of the left button inside the widget) on a
// widget that has no click of its own, such as the scan indicator.
class ClickFilter : public QObject
{
public:
    ClickFilter(QWidget *widget, std::function<void()> onClick) : QObject(widget), m_onClick(std::move(onClick))
    {
        widget->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::MouseButtonRelease)
            return false;
        const auto *mouse = static_cast<QMouseEvent *>(event);
        auto *widget = static_cast<QWidget *>(watched);
        if (mouse->button() == Qt::LeftButton && widget->rect().contains(mouse->position().toPoint()))
            m_onClick();
        return false;
    }

private:
    std::function<void()> m_onClick;
};

// The box layout, at any depth below layout, that holds widget.
QBoxLayout *boxHolding(QLayout *layout, QWidget *widget)
{
    if (!layout)
        return nullptr;
    if (layout->indexOf(widget) >= 0)
        return qobject_cast<QBoxLayout *>(layout);
    for (int i = 0; i < layout->count(); ++i) {
        if (QBoxLayout *found = boxHolding(layout->itemAt(i)->layout(), widget))
            return found;
    }
    return nullptr;
}

} // namespace

void Workspace::buildScan()
{
    m_cmdScan = new QPushButton(QStringLiteral("Scan        "), m_frmDriveList);
    m_cmdScan->setObjectName(QStringLiteral("cmdScan"));
    m_cmdScan->setToolTip(QStringLiteral("Plays 10 Seconds of all files listed above. Double Click to Add to Playlist."));
    // Under the file list, whose files it plays.
    if (QBoxLayout *column = boxHolding(m_frmDriveList->layout(), m_Label2))
        column->insertWidget(column->indexOf(m_Label2) + 1, m_cmdScan, 0, Qt::AlignLeft);
    else if (m_frmDriveList->layout())
        m_frmDriveList->layout()->addWidget(m_cmdScan);
    connect(m_cmdScan, &QPushButton::clicked, this, &Workspace::cmdScan_Click);

    m_tmrScan = new QTimer(this);
    m_tmrScan->setObjectName(QStringLiteral("tmrScan"));
    m_tmrScan->setInterval(kScanIntervalMs);
    // Each file gets its full share: a coarse timer may fire hundreds of
    // milliseconds early or late.
    m_tmrScan->setTimerType(Qt::PreciseTimer);
    connect(m_tmrScan, &QTimer::timeout, this, &Workspace::tmrScan_Timer);

    // The indicator also ends the scan while the drive list is hidden.
    new ClickFilter(m_picScan, [this] { cmdScan_Click(); });
    m_picScan->setCursor(Qt::PointingHandCursor);
}

void Workspace::setScanIndicator(bool running)
{
    QPalette palette = m_picScan->palette();
    palette.setColor(QPalette::Window, running ? QColor(0, 255, 0) : QColor(0, 0, 0));
    m_picScan->setPalette(palette);
}

void Workspace::endScanQuietly()
{
    m_tmrScan->stop();
    setScanIndicator(false);
}

void Workspace::cmdScan_Click()
{
    m_cmdDummyFocus->setFocus();
    // A running scan can always be stopped, even when the folder on display
    // has no files any more.
    if (isScanning()) {
        endScanQuietly();
        // A CD track that the scan handed to the CD player would play on by
        // itself; a media-player song is left playing.
        if (m_MCD->device()->fileName().endsWith(QLatin1String("cda"), Qt::CaseSensitive))
            tv::shell::Module1::subStopPlayers(*this, QStringLiteral("All"));
        return;
    }
    if (m_File1->count() == 0)
        return;
    if (blnRecordingA || blnRecordingB)
        return; // the player belongs to the recording
    setScanIndicator(true);
    m_tmrScan->start();
    subScanPlayItem(m_File1->currentRow());
}

void Workspace::tmrScan_Timer()
{
    // The folder may have changed under the scan (to one without files), or
    // a recording may have taken the player.
    if (m_File1->count() == 0 || blnRecordingA || blnRecordingB) {
        endScanQuietly();
        return;
    }
    const int current = m_File1->currentRow();
    if (QListWidgetItem *item = m_File1->item(current))
        item->setSelected(false);
    if (current + 1 == m_File1->count())
        subScanPlayItem(0); // round again from the first file
    else
        subScanPlayItem(current + 1);
}

bool Workspace::subScanPlayItem(int index)
{
    // No item there (no current item, or the list has changed): the next one.
    if (scanPlayOne(index) || scanPlayOne(index + 1))
        return true;
    endScanQuietly();
    return false;
}

bool Workspace::scanPlayOne(int index)
{
    QListWidgetItem *item = m_File1->item(index);
    if (!item)
        return false;
    m_File1->setCurrentRow(index, QItemSelectionModel::Select);
    const QString path = m_File1->fullPath(item->text());
    // One file at a time: a CD track handed to the CD player before now ends.
    tv::shell::Module1::subStopPlayers(*this, QStringLiteral("McdPlayer"));
    m_Label1->setText(path);
    m_MPlayer->player()->setFileName(path);
    return true;
}

} // namespace tv::workspace
