#include "Workspace.h"
#include "WorkspaceLevels.h"

#include "CdControlBar.h"
#include "DriveListBox.h"
#include "FileListBox.h"
#include "FolderListBox.h"
#include "MediaControlBar.h"
#include "MediaPlayer.h"
#include "Globals.h"
#include "Module1.h"
#include "Pictures.h"
#include "PlayListBox.h"
#include "Twips.h"
#include "cd/CdAudioDevice.h"

#include <QAction>
#include <QDir>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

namespace tv::workspace {

using tv::shell::twips;
using tv::shell::twipsRect;

namespace {

QGroupBox *frame(QWidget *parent, const QString &name, const QString &caption, QRect twipsGeometry)
{
    auto *box = new QGroupBox(caption, parent);
    box->setObjectName(name);
    box->setGeometry(twipsRect(parent, twipsGeometry.x(), twipsGeometry.y(), twipsGeometry.width(), twipsGeometry.height()));
    return box;
}

QLabel *namedLabel(QWidget *parent, const QString &name, const QString &text = QString())
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

} // namespace

Workspace::Workspace(const MediumProfile &profile, QWidget *parent) : QWidget(parent), m_profile(profile)
{
    setObjectName(profile.windowName);
    setWindowTitle(profile.windowCaption);
    setAttribute(Qt::WA_DeleteOnClose); // a closed workspace starts afresh next time
    QFont small = font();
    small.setPointSizeF(8.25);
    setFont(small);
    setFixedSize(twips(this, 6450), twips(this, 4380));
    // Compact frames whose caption sits on the border line, so that the
    // narrow strips of the layout keep room for their controls.
    setStyleSheet(QStringLiteral("QGroupBox { border: 1px solid palette(mid); margin-top: 0.6em; }"
                                 "QGroupBox::title { subcontrol-origin: margin; left: 6px; padding: 0 2px; }"));

    m_cmdDummyFocus = new QPushButton(this);
    m_cmdDummyFocus->setObjectName(QStringLiteral("cmdDummyFocus"));
    m_cmdDummyFocus->setGeometry(-100, -100, 1, 1); // present for the focus, never seen

    buildPreviewPanel();
    buildRecordPanel();
    buildLengthStrip();
    buildPlaylists();
    buildEdgeButtons();
    buildDriveList();
    buildFileMenu();
    buildPlaylistMenu();

    // Load: the line break, the counters, the status, the file types, the tips.
    tv::shell::globals().gstrNewLine = QStringLiteral("\r\n");
    intRecordIndex = 0;
    m_intTimeA = m_intTimeB = 0;
    m_lblStatus->setText(QStringLiteral("Ready!"));
    tv::shell::Module1::subLoadSupportedFileTypes(*this);
    setToolTips();
    QString error;
    const QString start = QDir::currentPath();
    m_Drive1->setDrive(m_Drive1->driveOf(start));
    m_lastDrive = m_Drive1->drive();
    if (!m_Dir1->setPath(start, error))
        m_Dir1->setPath(QDir::rootPath(), error);
    Dir1_Change();
    connect(m_Drive1, &QComboBox::currentIndexChanged, this, &Workspace::Drive1_Change);
    connectPlayers();
    connect(m_Dir1, &tv::controls::FolderListBox::pathChanged, this, &Workspace::Dir1_Change);
    m_levels = new WorkspaceLevels(*this); // on the deck's stream, which connectPlayers made
}

Workspace::~Workspace() = default;

void Workspace::buildPreviewPanel()
{
    m_frmPlayMp3 = frame(this, QStringLiteral("frmPlayMp3"), QStringLiteral("Preview Sound Files"), {300, 0, 6135, 1300});
    auto *column = new QVBoxLayout(m_frmPlayMp3);
    column->setContentsMargins(4, 2, 4, 2);
    column->setSpacing(1);
    m_MPlayer = new tv::media::MediaControlBar(m_frmPlayMp3);
    m_MPlayer->setObjectName(QStringLiteral("MPlayer"));
    column->addWidget(m_MPlayer);
    m_MCD = new tv::media::CdControlBar(m_frmPlayMp3);
    m_MCD->setObjectName(QStringLiteral("MCD"));
    m_MCD->device()->setUpdateInterval(1000);
    // A track ends at its end: nothing of the next track reaches the deck.
    m_MCD->device()->setPlayToTrackEnd(true);
    m_MCD->hide();
    column->addWidget(m_MCD);
    m_Label1 = namedLabel(m_frmPlayMp3, QStringLiteral("Label1"));
    column->addWidget(m_Label1);
    m_MCDlabel = namedLabel(m_frmPlayMp3, QStringLiteral("MCDlabel"));
    m_MCDlabel->hide();
    column->addWidget(m_MCDlabel);
    column->addStretch(1);

    // The scan indicator: black while no scan runs, green while one does.
    m_picScan = new QFrame(m_frmPlayMp3);
    m_picScan->setObjectName(QStringLiteral("picScan"));
    m_picScan->setFixedSize(twips(this, 195), twips(this, 195));
    m_picScan->setAutoFillBackground(true);
    QPalette scan = m_picScan->palette();
    scan.setColor(QPalette::Window, Qt::black);
    m_picScan->setPalette(scan);

    m_cmdMixer = new QPushButton(QStringLiteral("Mixer"), m_frmPlayMp3);
    m_cmdMixer->setObjectName(QStringLiteral("cmdMixer"));
    m_cmdMixer->setToolTip(QStringLiteral("Sound System Mixer"));
    connect(m_cmdMixer, &QPushButton::clicked, this, &Workspace::cmdMixer_Click);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(m_picScan, 0, Qt::AlignVCenter);
    bottom->addStretch(1);
    bottom->addWidget(m_cmdMixer);
    column->addLayout(bottom);

    // Covers the player's own buttons while a recording runs.
    m_txtPlayControlsCover = namedLabel(m_frmPlayMp3, QStringLiteral("txtPlayControlsCover"));
    m_txtPlayControlsCover->setToolTip(QStringLiteral("Play, Pause and Stop unavailable."));
    m_txtPlayControlsCover->setAutoFillBackground(true);
    m_txtPlayControlsCover->setGeometry(4, 14, twips(this, 1400), twips(this, 420));
    m_txtPlayControlsCover->hide();

    m_MplayerSongTime = new tv::media::MediaPlayer(this);
    m_MplayerSongTime->setObjectName(QStringLiteral("MplayerSongTime"));
    m_MplayerSongTime->setAutoStart(false);
    m_MCDtime = new tv::media::CdAudioDevice(this);
    m_MCDtime->setObjectName(QStringLiteral("MCDtime"));

    m_Timer1 = new QTimer(this);
    m_Timer1->setObjectName(QStringLiteral("Timer1"));
    m_Timer1->setSingleShot(true);
    m_Timer1->setTimerType(Qt::PreciseTimer);
    m_Timer1->setInterval(300);
    m_silenceTimer = new QTimer(this);
    m_silenceTimer->setSingleShot(true);
    m_silenceTimer->setTimerType(Qt::PreciseTimer);
}

void Workspace::buildRecordPanel()
{
    // Parked to the right, out of view, until the panels can be swapped.
    const QString caption = isCassette() ? QStringLiteral("Record Sound Files to Tape") : QStringLiteral("Record Sound Files to MiniDisc");
    m_frmRecordMp3 = frame(this, QStringLiteral("frmRecordMp3"), caption, {6480, 0, 6135, 1300});
    auto *column = new QVBoxLayout(m_frmRecordMp3);
    column->setContentsMargins(4, 2, 4, 2);
    column->setSpacing(1);
    auto *buttons = new QHBoxLayout;
    const QStringList captions = isCassette() ? QStringList{QStringLiteral("Record Tape Side &A"), QStringLiteral("Record Tape Side &B")}
                                              : QStringList{QStringLiteral("&Record MiniDisc")};
    for (int side = 0; side < m_profile.sides.size(); ++side) {
        m_cmdRecordSide[side] = new QPushButton(captions.at(side), m_frmRecordMp3);
        m_cmdRecordSide[side]->setObjectName(side == 0 ? QStringLiteral("cmdRecordSideA") : QStringLiteral("cmdRecordSideB"));
        buttons->addWidget(m_cmdRecordSide[side]);
    }
    m_cmdPause = new QPushButton(QStringLiteral("&Pause"), m_frmRecordMp3);
    m_cmdPause->setObjectName(QStringLiteral("cmdPause"));
    m_cmdStop = new QPushButton(QStringLiteral("&Stop"), m_frmRecordMp3);
    m_cmdStop->setObjectName(QStringLiteral("cmdStop"));
    buttons->addWidget(m_cmdPause);
    buttons->addWidget(m_cmdStop);
    for (int side = 0; side < m_profile.sides.size(); ++side)
        connect(m_cmdRecordSide[side], &QPushButton::clicked, this, [this, side] { cmdRecordSide_Click(side); });
    connect(m_cmdPause, &QPushButton::clicked, this, &Workspace::cmdPause_Click);
    connect(m_cmdStop, &QPushButton::clicked, this, &Workspace::cmdStop_Click);
    column->addLayout(buttons);
    m_lblStatus = namedLabel(m_frmRecordMp3, QStringLiteral("lblStatus"));
    column->addWidget(m_lblStatus);
    for (int side = 0; side < m_profile.sides.size(); ++side) {
        m_lblRecordSide[side] = namedLabel(m_frmRecordMp3, side == 0 ? QStringLiteral("lblRecordSideA") : QStringLiteral("lblRecordSideB"));
        column->addWidget(m_lblRecordSide[side]);
    }
}

void Workspace::buildLengthStrip()
{
    m_frmTapeLength = frame(this, QStringLiteral("frmTapeLength"), m_profile.lengthFrameCaption, {300, 1320, 6135, 405});
    auto *row = new QHBoxLayout(m_frmTapeLength);
    row->setContentsMargins(3, 1, 3, 1);
    row->setSpacing(2);
    m_frmTapeLength->setStyleSheet(QStringLiteral("QRadioButton { spacing: 1px; }"));
    for (int i = 0; i < m_profile.lengths.size(); ++i) {
        auto *option = new QRadioButton(m_profile.lengths.at(i).caption, m_frmTapeLength);
        option->setObjectName(m_profile.lengths.at(i).name);
        option->setAutoExclusive(true);
        connect(option, &QRadioButton::clicked, this, [this, i] { optLength_Click(i); });
        m_lengthOptions << option;
        row->addWidget(option);
    }
    m_OptUSR = new QRadioButton(QStringLiteral("User"), m_frmTapeLength);
    m_OptUSR->setObjectName(QStringLiteral("OptUSR"));
    connect(m_OptUSR, &QRadioButton::clicked, this, &Workspace::OptUSR_Click);
    row->addWidget(m_OptUSR);

    // Typing lets digits and backspace through; pasted text is taken by the
    // change handlers, which read any number.
    const auto digitsOnly = [this](QLineEdit *box) { box->installEventFilter(this); };
    m_txtUsrTapeLength = new QLineEdit(QStringLiteral("000"), m_frmTapeLength);
    m_txtUsrTapeLength->setObjectName(QStringLiteral("txtUsrTapeLength"));
    m_txtUsrTapeLength->setMaxLength(3);
    m_txtUsrTapeLength->setEnabled(false);
    m_txtUsrTapeLength->setFixedWidth(twips(this, 400));
    digitsOnly(m_txtUsrTapeLength);
    connect(m_txtUsrTapeLength, &QLineEdit::textChanged, this, &Workspace::txtUsrTapeLength_Change);
    row->addWidget(m_txtUsrTapeLength);

    const QString delayTip = QStringLiteral("Inserts a ? Second Delay between songs.");
    m_txtOneSecondDelay = new QLineEdit(QStringLiteral("0"), m_frmTapeLength);
    m_txtOneSecondDelay->setObjectName(QStringLiteral("txtOneSecondDelay"));
    m_txtOneSecondDelay->setMaxLength(2);
    m_txtOneSecondDelay->setFixedWidth(twips(this, 300));
    m_txtOneSecondDelay->setToolTip(delayTip);
    digitsOnly(m_txtOneSecondDelay);
    connect(m_txtOneSecondDelay, &QLineEdit::textChanged, this, &Workspace::txtOneSecondDelay_Change);
    row->addWidget(m_txtOneSecondDelay);
    m_Label3 = namedLabel(m_frmTapeLength, QStringLiteral("Label3"), QStringLiteral("Song Delay"));
    m_Label3->setToolTip(delayTip);
    row->addWidget(m_Label3);
}

void Workspace::buildPlaylists()
{
    for (int side = 0; side < m_profile.sides.size(); ++side) {
        const bool a = side == 0;
        m_frmTapeSide[side] = frame(this, a ? QStringLiteral("frmTapeSideA") : QStringLiteral("frmTapeSideB"),
                                    m_profile.sides.at(side).initialCaption, {a ? 300 : 6500, 2045, 6135, 2000});
        auto *column = new QVBoxLayout(m_frmTapeSide[side]);
        column->setContentsMargins(4, 2, 4, 2);
        m_lstPlayList[side] = new tv::controls::PlayListBox(m_frmTapeSide[side]);
        m_lstPlayList[side]->setObjectName(a ? QStringLiteral("lstPlayListA") : QStringLiteral("lstPlayListB"));
        connect(m_lstPlayList[side], &tv::controls::PlayListBox::filesDropped, this, &Workspace::lstPlayList_OLEDragDrop);
        column->addWidget(m_lstPlayList[side], 1);
        auto *row = new QHBoxLayout;
        m_lblInfo[side] = namedLabel(m_frmTapeSide[side], a ? QStringLiteral("lblInfoA") : QStringLiteral("lblInfoB"));
        row->addWidget(m_lblInfo[side], 1);
        const QString letter = a ? QStringLiteral("A") : QStringLiteral("B");
        const auto button = [&](QPushButton *&slot, const QString &name, const QString &caption) {
            slot = new QPushButton(caption, m_frmTapeSide[side]);
            slot->setObjectName(name);
            row->addWidget(slot);
        };
        button(m_cmdUp[side], QStringLiteral("cmdUp") + letter, QString());
        m_cmdUp[side]->setIcon(style()->standardIcon(QStyle::SP_ArrowUp));
        m_cmdUp[side]->setToolTip(QStringLiteral("Move selected file UP in playlist."));
        button(m_cmdDown[side], QStringLiteral("cmdDown") + letter, QString());
        m_cmdDown[side]->setIcon(style()->standardIcon(QStyle::SP_ArrowDown));
        m_cmdDown[side]->setToolTip(QStringLiteral("Move selected file DOWN in playlist."));
        button(m_cmdDelete[side], QStringLiteral("cmdDelete") + letter, QStringLiteral("Delete Selected"));
        connect(m_cmdUp[side], &QPushButton::clicked, this, [this, side] { cmdUp_Click(side); });
        connect(m_cmdDown[side], &QPushButton::clicked, this, [this, side] { cmdDown_Click(side); });
        connect(m_cmdDelete[side], &QPushButton::clicked, this, [this, side] { cmdDelete_Click(side); });
        m_lstPlayList[side]->viewport()->installEventFilter(this);
        button(m_cmdPrint[side], QStringLiteral("cmdPrint_%1").arg(side), QStringLiteral("Print Insert"));
        connect(m_cmdPrint[side], &QPushButton::clicked, this, &Workspace::cmdPrint_Click);
        column->addLayout(row);
        if (!a)
            m_frmTapeSide[side]->hide();
    }
}

void Workspace::buildEdgeButtons()
{
    const auto edge = [this](const char *name, const QString &caption, QRect geometry) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        b->setGeometry(twipsRect(this, geometry.x(), geometry.y(), geometry.width(), geometry.height()));
        return b;
    };
    m_cmdPrevRec = edge("cmdPrevRec", QString(), {30, 100, 255, 1200});
    m_cmdPrevRec->setIcon(style()->standardIcon(QStyle::SP_MediaSeekForward));
    m_cmdHelp = edge("cmdHelp", QStringLiteral("?"), {30, 1410, 255, 255});
    m_cmdHelp->setToolTip(QStringLiteral("Click Here for Details and More Help."));
    m_cmdTapeSide = edge("cmdTapeSide", QString(), {30, 2130, 255, 1900});
    m_cmdTapeSide->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));
    m_cmdTapeSideList = edge("cmdTapeSideList", isCassette() ? QStringLiteral("Hide TapeSide Playlist") : QStringLiteral("Hide MiniDisc Playlist"),
                             {30, 1800, 6375, 255});
    if (isCassette()) {
        m_Picture1 = namedLabel(this, QStringLiteral("Picture1_1"));
        m_Picture1->setPixmap(tv::shell::Pictures::cassette(twips(this, 225), twips(this, 165)));
        m_Picture1->setGeometry(twipsRect(this, 45, 2160, 225, 165));
        m_Picture1->setAttribute(Qt::WA_TransparentForMouseEvents); // clicks reach cmdTapeSide beneath
    }
    connect(m_cmdPrevRec, &QPushButton::clicked, this, &Workspace::cmdPrevRec_Click);
    connect(m_cmdTapeSide, &QPushButton::clicked, this, &Workspace::cmdTapeSide_Click);
    connect(m_cmdTapeSideList, &QPushButton::clicked, this, &Workspace::cmdTapeSideList_Click);
    connect(m_cmdHelp, &QPushButton::clicked, this, &Workspace::cmdHelp_Click);
}

void Workspace::buildDriveList()
{
    m_cmdDriveList = new QPushButton(QStringLiteral("Display Drive List"), this);
    m_cmdDriveList->setObjectName(QStringLiteral("cmdDriveList"));
    m_cmdDriveList->setGeometry(twipsRect(this, 30, 4100, 6375, 255));
    connect(m_cmdDriveList, &QPushButton::clicked, this, &Workspace::cmdDriveList_Click);

    m_frmDriveList = frame(this, QStringLiteral("frmDriveList"), QString(), {0, 4280, 6465, 2505});
    auto *grid = new QHBoxLayout(m_frmDriveList);
    grid->setContentsMargins(4, 2, 4, 2);
    auto *left = new QVBoxLayout;
    m_Drive1 = new tv::controls::DriveListBox(m_frmDriveList);
    m_Drive1->setObjectName(QStringLiteral("Drive1"));
    m_Dir1 = new tv::controls::FolderListBox(m_frmDriveList);
    m_Dir1->setObjectName(QStringLiteral("Dir1"));
    left->addWidget(m_Drive1);
    left->addWidget(m_Dir1, 1);
    auto *right = new QVBoxLayout;
    m_File1 = new tv::controls::FileListBox(m_frmDriveList);
    m_File1->setObjectName(QStringLiteral("File1"));
    m_File1->setContextMenuPolicy(Qt::PreventContextMenu);
    m_File1->viewport()->installEventFilter(this);
    connect(m_File1, &QListWidget::itemDoubleClicked, this, &Workspace::File1_DblClick);
    m_Label2 = namedLabel(m_frmDriveList, QStringLiteral("Label2"), QStringLiteral("Double Click to Add to PlayList or Right Click to Play."));
    right->addWidget(m_File1, 1);
    right->addWidget(m_Label2);
    grid->addLayout(left, 1);
    grid->addLayout(right, 1);
    m_frmDriveList->hide();
}

void Workspace::buildFileMenu()
{
    m_mnuPlayFile = new QMenu(this);
    m_mnuPlayFile->setObjectName(QStringLiteral("mnuPlayFile"));
    const auto item = [](QMenu *menu, const char *name, const QString &caption) {
        QAction *action = menu->addAction(caption);
        action->setObjectName(QLatin1String(name));
        return action;
    };
    m_mnuPlay = item(m_mnuPlayFile, "mnuPlay", QStringLiteral("Play"));
    m_mnuAdd = item(m_mnuPlayFile, "mnuAdd", QStringLiteral("Add to PlayList"));
    QMenu *utilities = m_mnuPlayFile->addMenu(QStringLiteral("File Utilities"));
    utilities->menuAction()->setObjectName(QStringLiteral("mnuFileUtil"));
    m_mnuCopyFile = item(utilities, "mnuCopyFile", QStringLiteral("Copy File"));
    m_mnuPasteFile = item(utilities, "mnuPasteFile", QStringLiteral("Paste File"));
    m_mnuPasteFile->setEnabled(false);
    m_mnuDelete = item(utilities, "mnuDelete", QStringLiteral("Delete File"));
    m_mnuDelete->setEnabled(false);
    m_mnuRefresh = item(m_mnuPlayFile, "mnuRefresh", QStringLiteral("Refresh"));
    connect(m_mnuAdd, &QAction::triggered, this, &Workspace::mnuAdd_Click);
    connect(m_mnuRefresh, &QAction::triggered, this, &Workspace::mnuRefresh_Click);
}

bool Workspace::eventFilter(QObject *watched, QEvent *event)
{
    if ((watched == m_txtUsrTapeLength || watched == m_txtOneSecondDelay) && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const QString text = key->text();
        const bool typed = !text.isEmpty() && text.at(0).isPrint();
        const bool digit = text.size() == 1 && text.at(0) >= QLatin1Char('0') && text.at(0) <= QLatin1Char('9');
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter || (typed && !digit))
            return true; // only digits and backspace are typed into these boxes
    }
    if (watched == m_txtOneSecondDelay && event->type() == QEvent::FocusIn)
        QMetaObject::invokeMethod(m_txtOneSecondDelay, &QLineEdit::selectAll, Qt::QueuedConnection);
    for (int side = 0; side < m_profile.sides.size(); ++side) {
        if (watched == m_lstPlayList[side]->viewport() && event->type() == QEvent::MouseButtonPress
            && static_cast<QMouseEvent *>(event)->button() == Qt::RightButton) {
            lstPlayList_MouseDown(side, Qt::RightButton, static_cast<QMouseEvent *>(event)->globalPosition().toPoint());
            return true; // the right click leaves the selection as it was
        }
    }
    if (watched == m_File1->viewport() && event->type() == QEvent::MouseButtonPress) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::RightButton) {
            File1_MouseDown(mouse->button(), mouse->globalPosition().toPoint());
            return true; // the right click leaves the selection as it was
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace tv::workspace
