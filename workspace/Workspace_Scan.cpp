// Scan: the beginning of every file of the file list in turn, to pick songs
// by ear. One file plays at a time; every 11 seconds the next one starts,
// wrapping round from the last to the first, until the user stops the scan.
//
// The files follow each other on the sound clock: each is planned on the
// output as an excerpt of exactly one beat, so the next one starts to the
// frame however late the window is, and the window shows each as it is
// heard. The timer moves on by itself only where nothing is planned: a CD
// track (which the CD player plays), a file that cannot be measured (which
// the player reports), or a plan the user stopped.
#include "Workspace.h"

#include "CdControlBar.h"
#include "FileListBox.h"
#include "MediaControlBar.h"
#include "MediaPlayer.h"
#include "Module1.h"
#include "cd/CdAudioDevice.h"
#include "output/AudioOutput.h"
#include "probe/Measure.h"

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
    m_scanChain = std::make_unique<ScanChain>(*m_deck);
    connect(m_deck, &tv::media::AudioOutput::started, this, &Workspace::scanFileHeard);

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
    m_scanChain->release(); // the song heard now plays on, and nothing after it
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
    if (m_scanChain->nextIsComing())
        return; // the sound moves on by itself, on its own clock
    advanceScan();
}

void Workspace::advanceScan()
{
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
    ScanChain::File file;
    if (!scanFileAt(index, file)) {
        // The player reports it, or hands a CD track to the CD player;
        // nothing of the plan plays on under it.
        m_scanChain->stopSound();
        m_MPlayer->player()->setFileName(path);
        return true;
    }
    m_scanChain->playNow(file, m_tmrScan->interval());
    m_MPlayer->player()->adopt(m_scanChain->current().serial, path, file.seconds);
    planScanAhead();
    return true;
}

bool Workspace::scanFileAt(int index, ScanChain::File &file) const
{
    const QListWidgetItem *item = m_File1->item(index);
    if (!item)
        return false;
    const QString path = m_File1->fullPath(item->text());
    if (path.endsWith(QLatin1String("cda"), Qt::CaseSensitive))
        return false;
    const tv::media::Duration length = tv::media::measureFile(path);
    if (!length.ok())
        return false;
    file = {};
    file.index = index;
    file.path = path;
    file.seconds = *length.seconds;
    return true;
}

void Workspace::planScanAhead()
{
    // Files are planned in list order, round from the last to the first; a
    // file that cannot be planned ends the plan there, and the timer plays
    // it when its beat comes.
    while (m_scanChain->wantsMore()) {
        const int last = m_scanChain->lastIndex();
        ScanChain::File next;
        if (!scanFileAt(last + 1 < m_File1->count() ? last + 1 : 0, next))
            return;
        m_scanChain->planNext(next);
    }
}

void Workspace::scanFileHeard(quint64 serial)
{
    if (!isScanning() || !m_scanChain->takeStarted(serial))
        return;
    m_tmrScan->start(); // the timer keeps the beat of what is heard
    const ScanChain::File &file = m_scanChain->current();
    const QListWidgetItem *item = m_File1->item(file.index);
    if (!item || m_File1->fullPath(item->text()) != file.path) {
        // The list changed since the file was planned: the file is not
        // the list's any more, and the scan goes on in the list on display.
        m_scanChain->stopSound();
        tmrScan_Timer(); // nothing is planned now: the tick's own checks decide
        return;
    }
    if (QListWidgetItem *before = m_File1->currentItem())
        before->setSelected(false);
    m_File1->setCurrentRow(file.index, QItemSelectionModel::Select);
    if (file.failed()) {
        m_MPlayer->player()->close();
        m_Label1->setText(QStringLiteral("Error Opening: ") + m_File1->fileName());
    } else {
        m_Label1->setText(file.path);
        m_MPlayer->player()->adopt(file.serial, file.path, file.seconds);
    }
    planScanAhead();
}

} // namespace tv::workspace
