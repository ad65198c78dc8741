// The window as a whole: sliding and resizing panels, the "record" and
// "stopped" control states, tool tips, closing, the command-line file, and
// the help, print and mixer buttons.
#include "Workspace.h"

#include "AnimationPacer.h"
#include "CdControlBar.h"
#include "Forms.h"
#include "LabelWindow.h"
#include "Launcher.h"
#include "MediaControlBar.h"
#include "MediaPlayer.h"
#include "MessageBox.h"
#include "Module1.h"
#include "PlayListBox.h"
#include "frmAbout.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

namespace tv::workspace {

namespace {

constexpr int kInView = 300;  // twips: the left of a frame in view
constexpr int kParked = 6500; // twips: the left of a parked frame
constexpr int kSlideMs = 350; // a whole slide, whatever the machine
constexpr int kResizeMs = 250;

QString &commandLine()
{
    static QString line;
    return line;
}

// The record state's pointer: a small red record dot beside the arrow.
QCursor recordCursor()
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QPolygon arrow({{0, 0}, {0, 16}, {4, 12}, {7, 19}, {9, 18}, {6, 11}, {11, 11}});
    p.setPen(Qt::white);
    p.setBrush(Qt::black);
    p.drawPolygon(arrow);
    p.setBrush(QColor(220, 0, 0));
    p.drawEllipse(QPoint(20, 20), 6, 6);
    return QCursor(pixmap, 0, 0);
}

} // namespace

// Counts a running animation; when the last one ends and a close came
// meanwhile, the window closes once control is back in the event loop, never
// inside the animation's own loop.
class Workspace::AnimationScope
{
public:
    explicit AnimationScope(Workspace &window) : m_window(window) { ++m_window.m_animations; }
    ~AnimationScope()
    {
        if (--m_window.m_animations == 0 && m_window.m_closeAfterAnimation) {
            m_window.m_closeAfterAnimation = false;
            QMetaObject::invokeMethod(&m_window, &QWidget::close, Qt::QueuedConnection);
        }
    }
    AnimationScope(const AnimationScope &) = delete;
    AnimationScope &operator=(const AnimationScope &) = delete;

private:
    Workspace &m_window;
};

void Workspace::setCommandLine(const QString &line)
{
    QString path = line.trimmed();
    // A path handed over in quotes is the path inside them.
    if (path.size() >= 2 && path.startsWith(QLatin1Char('"')) && path.endsWith(QLatin1Char('"')))
        path = path.mid(1, path.size() - 2);
    commandLine() = path;
}

const QStringList &Workspace::mixerPrograms()
{
    static const QStringList programs = {QStringLiteral("pavucontrol"), QStringLiteral("pavucontrol-qt"), QStringLiteral("kmix"),
                                         QStringLiteral("xfce4-mixer"), QStringLiteral("gnome-control-center")};
    return programs;
}

void Workspace::setToolTips()
{
    const bool tape = isCassette();
    m_cmdPrevRec->setToolTip(tape ? QStringLiteral("Click here to cycle between the Preview and the Record to Tape Windows.")
                                  : QStringLiteral("Click here to cycle between the Preview and the Record to MiniDisc Windows."));
    for (QPushButton *b : {m_cmdPause, m_cmdStop, m_cmdRecordSide[0], m_cmdRecordSide[1]}) {
        if (b)
            b->setToolTip(QString());
    }
    m_frmTapeLength->setToolTip(tape ? QStringLiteral("Select the Length of your cassette tape. Time divided between TapeSide A and B Playlist.")
                                     : QStringLiteral("Select the Length of your blank MiniDisc."));
    for (QRadioButton *option : m_lengthOptions) {
        if (tape)
            option->setToolTip(QStringLiteral("Select the Length of cassette tape. Time is divided between TapeSide A and B Playlist."));
        else
            option->setToolTip(option->objectName() == QLatin1String("opt148") ? QString() : QStringLiteral("Select the Length of MiniDisc."));
    }
    m_OptUSR->setToolTip(tape ? QStringLiteral("Enter a Custom Tape Length. Time is divided between TapeSide A and B Playlist.")
                              : QStringLiteral("Enter a Custom MiniDisc Length."));
    if (tape)
        m_cmdTapeSide->setToolTip(QStringLiteral("Click here to cycle between theTape Side A and Tape Side B Playlist."));
    m_cmdTapeSideList->setToolTip(tape ? QStringLiteral("Click Here to Hide the TapeSide A & B Playlist Windows.")
                                       : QStringLiteral("Click Here to Hide the MiniDisc Playlist Windows."));
    m_lstPlayList[0]->setToolTip(tape ? QStringLiteral("Select Files from Drive List below to create Tape Side A Playlist. List limited to Tape Side A Length.")
                                      : QStringLiteral("Select Files from Drive List below to create MiniDisc Playlist."));
    m_cmdDelete[0]->setToolTip(tape ? QStringLiteral("Delete the currently selected File from the Tape Side A Playlist.")
                                    : QStringLiteral("Delete the currently selected File from the MiniDisc Playlist."));
    m_lblInfo[0]->setToolTip(tape ? QStringLiteral("Length of current Playlist and Tape Time still available.")
                                  : QStringLiteral("Length of current Playlist and Time still available."));
    if (tape) {
        m_lstPlayList[1]->setToolTip(QStringLiteral("Select Files from Drive List below to create Tape Side B Playlist. List limited to Tape Side B Length."));
        m_cmdDelete[1]->setToolTip(QStringLiteral("Delete the currently selected File from the Tape Side B Playlist."));
        m_lblInfo[1]->setToolTip(QStringLiteral("Length of current Playlist and Tape Time still available."));
    }
    const QString driveTip = tape ? QStringLiteral("Use Drive List to find Files then Double Click, Right Click or Drag to Tape Side A or B. Right Click to Play the Selected File.")
                                  : QStringLiteral("Use Drive List to find Files then Double Click, Right Click or Drag to Playlist. Right Click to Play the Selected File.");
    m_cmdDriveList->setToolTip(driveTip);
    m_frmDriveList->setToolTip(driveTip);
    for (int side = 0; side < m_profile.sides.size(); ++side)
        m_cmdPrint[side]->setToolTip(tape ? QStringLiteral("Print Tape Case Insert") : QStringLiteral("Print MiniDisc Insert"));
}

void Workspace::slideSwap(QWidget *front, QWidget *back, bool showAndHide)
{
    if (showAndHide)
        back->show();
    const AnimationScope running(*this);
    const int steps = (kParked - kInView) / 20 + 1; // 300, 320, ... 6500
    AnimationPacer pacer(steps, kSlideMs, m_closeAfterAnimation);
    int backLeft = leftTwips(back);
    for (int i = 0, x = kInView; x <= kParked; ++i, x += 20) {
        moveLeft(front, x);
        backLeft -= 20;
        moveLeft(back, backLeft);
        pacer.stepDone(i);
    }
    moveLeft(back, kInView);
    moveLeft(front, kParked);
    if (showAndHide)
        front->hide();
    // Tab reaches the controls of the panel in view, not those parked beside it.
    setTabReachable(front, false);
    setTabReachable(back, true);
    m_cmdDummyFocus->setFocus();
}

void Workspace::cmdPrevRec_Click()
{
    if (leftTwips(m_frmPlayMp3) == kInView)
        slideSwap(m_frmPlayMp3, m_frmRecordMp3, false);
    else if (leftTwips(m_frmRecordMp3) == kInView)
        slideSwap(m_frmRecordMp3, m_frmPlayMp3, false);
    else
        m_cmdDummyFocus->setFocus();
}

void Workspace::cmdTapeSide_Click()
{
    if (!isCassette()) {
        m_cmdDummyFocus->setFocus();
        return;
    }
    if (!m_frmTapeSide[0]->isHidden() && m_frmTapeSide[1]->isHidden())
        slideSwap(m_frmTapeSide[0], m_frmTapeSide[1], true);
    else if (!m_frmTapeSide[1]->isHidden() && m_frmTapeSide[0]->isHidden())
        slideSwap(m_frmTapeSide[1], m_frmTapeSide[0], true);
    else
        m_cmdDummyFocus->setFocus();
}

void Workspace::cmdTapeSideList_Click()
{
    m_cmdDummyFocus->setFocus();
    m_cmdTapeSideList->setEnabled(false);
    m_cmdDriveList->setEnabled(false);
    const bool hiding = !m_frmTapeSide[0]->isHidden() || (isCassette() && !m_frmTapeSide[1]->isHidden());
    const int start = m_heightTwips;
    const AnimationScope running(*this);
    const int steps = 2000 / 40 + 1;
    AnimationPacer pacer(steps, kResizeMs, m_closeAfterAnimation);
    const auto placeDriveList = [this](int buttonTop, int frameTop) {
        m_driveListTop = buttonTop;
        m_driveFrameTop = frameTop;
        m_cmdDriveList->move(m_cmdDriveList->x(), m_scale.px(buttonTop));
        m_frmDriveList->move(m_frmDriveList->x(), m_scale.px(frameTop));
    };
    if (hiding) {
        m_cmdTapeSideList->setText(isCassette() ? QStringLiteral("Display TapeSide Playlist") : QStringLiteral("Display MiniDisc Playlist"));
        if (m_Picture1)
            m_Picture1->hide();
        for (int i = 0, h = start; h >= start - 2000; ++i, h -= 40) {
            m_heightTwips = h;
            setFixedHeight(m_scale.px(h));
            if (m_driveListTop - 40 > 2100)
                placeDriveList(m_driveListTop - 40, m_driveFrameTop - 40);
            else
                placeDriveList(2100, 2280);
            pacer.stepDone(i);
        }
        m_cmdTapeSide->hide();
        for (QGroupBox *frame : m_frmTapeSide) {
            if (frame)
                frame->hide();
        }
    } else {
        m_cmdTapeSide->show();
        if (m_Picture1)
            m_Picture1->show();
        const int shownSide = (isCassette() && leftTwips(m_frmTapeSide[0]) != kInView) ? 1 : 0;
        m_frmTapeSide[shownSide]->show();
        m_cmdTapeSideList->setText(isCassette() ? QStringLiteral("Hide TapeSide Playlist") : QStringLiteral("Hide MiniDisc Playlist"));
        for (int i = 0, h = start; h <= start + 2000; ++i, h += 40) {
            m_heightTwips = h;
            setFixedHeight(m_scale.px(h));
            if (m_driveListTop + 40 < 4100)
                placeDriveList(m_driveListTop + 40, m_driveFrameTop + 40);
            else
                placeDriveList(4100, 4280);
            pacer.stepDone(i);
        }
    }
    m_cmdDummyFocus->setFocus();
    m_cmdTapeSideList->setEnabled(true);
    m_cmdDriveList->setEnabled(!blnRecordingA && !blnRecordingB);
}

void Workspace::cmdDriveList_Click()
{
    m_cmdDummyFocus->setFocus();
    m_cmdDriveList->setEnabled(false);
    m_cmdTapeSideList->setEnabled(false);
    const int start = m_heightTwips;
    const AnimationScope running(*this);
    const int steps = 2505 / 40 + 1;
    AnimationPacer pacer(steps, kResizeMs, m_closeAfterAnimation);
    if (!m_frmDriveList->isHidden()) {
        for (int i = 0, h = start; h >= start - 2505; ++i, h -= 40) {
            m_heightTwips = h;
            setFixedHeight(m_scale.px(h));
            pacer.stepDone(i);
        }
        m_frmDriveList->hide();
        m_cmdDriveList->setText(QStringLiteral("Display Drive List"));
    } else {
        m_frmDriveList->show();
        for (int i = 0, h = start; h <= start + 2505; ++i, h += 40) {
            m_heightTwips = h;
            setFixedHeight(m_scale.px(h));
            pacer.stepDone(i);
        }
        m_cmdDriveList->setText(QStringLiteral("Hide Drive List"));
    }
    m_cmdDummyFocus->setFocus();
    m_cmdDriveList->setEnabled(true);
    m_cmdTapeSideList->setEnabled(true);
}

void Workspace::subSetControls(const QString &mode)
{
    const bool record = mode == QLatin1String("record");
    if (!record && mode != QLatin1String("stopped"))
        return;
    if (!record)
        blnRecordingA = blnRecordingB = false;
    for (QPushButton *b : m_cmdRecordSide) {
        if (b)
            b->setEnabled(!record);
    }
    if (!record) {
        m_Label1->clear();
        for (QLabel *l : m_lblRecordSide) {
            if (l)
                l->clear();
        }
        m_cmdDriveList->setEnabled(true);
    }
    for (int side = 0; side < m_profile.sides.size(); ++side) {
        for (QPushButton *b : {m_cmdDelete[side], m_cmdUp[side], m_cmdDown[side]})
            b->setEnabled(!record);
    }
    m_frmTapeLength->setEnabled(!record);
    if (record) {
        // Over the player's own Play, Pause and Stop buttons, wherever its layout put them.
        QRect buttons;
        for (QWidget *b : m_MPlayer->findChildren<QToolButton *>())
            buttons |= QRect(b->mapTo(m_frmPlayMp3, QPoint(0, 0)), b->size());
        if (buttons.isValid())
            m_txtPlayControlsCover->setGeometry(buttons.adjusted(-1, -1, 1, 1));
        m_txtPlayControlsCover->raise();
    }
    m_txtPlayControlsCover->setVisible(record);
    m_MPlayer->setTransportLocked(record);
    m_frmPlayMp3->setTitle(record ? (isCassette() ? QStringLiteral("Cassette Tape Recording In Progress . . . . . .")
                                                  : QStringLiteral("MiniDisc Recording In Progress . . . . . ."))
                                  : QStringLiteral("Preview MP3, Wav and Midi Files"));
    m_lblStatus->setText(record ? QStringLiteral("Recording.....") : QStringLiteral("Ready!"));
    if (record)
        setCursor(recordCursor());
    else
        unsetCursor();
}

void Workspace::cmdHelp_Click()
{
    tv::shell::frmAbout about(this);
    about.setAttribute(Qt::WA_DeleteOnClose, false);
    about.exec();
    m_cmdDummyFocus->setFocus();
}

void Workspace::cmdPrint_Click()
{
    // A fresh label each time, reading this window's playlists as they are now.
    const QList<QListWidget *> playlists = isCassette() ? QList<QListWidget *>{m_lstPlayList[0], m_lstPlayList[1]}
                                                        : QList<QListWidget *>{m_lstPlayList[0]};
    tv::labels::LabelWindow label(isCassette() ? tv::labels::LabelProfile::tapeLabel() : tv::labels::LabelProfile::miniDiscLabel(),
                                  playlists, this);
    if (!isCassette() && m_miniDiscMode != tv::core::MiniDiscMode::SP)
        label.setRecordingMode(tv::core::modeName(m_miniDiscMode));
    label.exec();
    m_cmdDummyFocus->setFocus();
}

void Workspace::cmdMixer_Click()
{
    m_cmdDummyFocus->setFocus();
    const QString mixer = tv::shell::findProgram(mixerPrograms());
    if (mixer.isEmpty() || !tv::shell::startProgram(mixer)) {
        tv::shell::msgBox(this, QStringLiteral("No volume mixer was found. Install one, for example the package pavucontrol."),
                          tv::shell::Msg::Exclamation, m_profile.messageTitle);
    }
}

void Workspace::subOpenCommandLineFile()
{
    const QString path = commandLine();
    if (path.isEmpty())
        return;
    const QString extension = path.mid(path.lastIndexOf(QLatin1Char('.')) + 1).toLower();
    static const QStringList kSongs = {QStringLiteral("snd"), QStringLiteral("wav"), QStringLiteral("au"), QStringLiteral("aif"),
                                       QStringLiteral("aifc"), QStringLiteral("aiff"), QStringLiteral("mid"), QStringLiteral("rmi"),
                                       QStringLiteral("mp3"), QStringLiteral("m3u"), QStringLiteral("ra"), QStringLiteral("cda")};
    if (extension == QLatin1String("tpl")) {
        subLoadPlayList(path);
        return;
    }
    if (!kSongs.contains(extension))
        return;
    subAddSong(path);
    if (m_lstPlayList[0]->count() == 0)
        return;
    m_lstPlayList[0]->setCurrentRow(0);
    mnuPlayListPlay_Click();
    cmdTapeSideList_Click();
}

bool Workspace::event(QEvent *event)
{
    // On show or on activation, whichever comes first: without a window
    // manager, or on a desktop that does not activate new windows, the
    // window may be shown and never activated.
    if ((event->type() == QEvent::Show || event->type() == QEvent::WindowActivate) && !m_commandLineDone) {
        m_commandLineDone = true; // once per load of the window
        QMetaObject::invokeMethod(this, &Workspace::subOpenCommandLineFile, Qt::QueuedConnection);
    }
    return QWidget::event(event);
}

void Workspace::closeEvent(QCloseEvent *event)
{
    if (blnRecordingA || blnRecordingB || m_session.isActive()) {
        event->ignore(); // never in the middle of a recording
        return;
    }
    if (m_animations > 0) {
        m_closeAfterAnimation = true; // the animation hurries to its end, then the window closes
        event->ignore();
        return;
    }
    if (!askToSavePlaylists()) {
        event->ignore(); // the user's playlists stay as they are
        return;
    }
    tv::shell::Module1::subStopPlayers(*this, QStringLiteral("All"));
    if (QWidget *menu = tv::shell::Forms::get(QStringLiteral("frmMenu"))) {
        menu->show();
        menu->activateWindow();
    }
    event->accept();
}

} // namespace tv::workspace
