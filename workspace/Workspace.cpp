#include "Workspace.h"

#include "RememberedFolders.h"
#include "WorkspaceLevels.h"

#include "CdControlBar.h"
#include "DriveListBox.h"
#include "FileListBox.h"
#include "FolderListBox.h"
#include "FormScale.h"
#include "MediaControlBar.h"
#include "MediaPlayer.h"
#include "Globals.h"
#include "Module1.h"
#include "Pictures.h"
#include "PlayListBox.h"
#include "cd/CdAudioDevice.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

namespace tv::workspace {

namespace {

constexpr int kFormWidth = 6450;  // twips: the inner area when the window opens
constexpr int kFormHeight = 4380;
constexpr int kDriveListGrowth = 2480; // what showing the drive list adds

// The widest read-out a side can show: the longest time texts, over-full.
const QString kWidestReadout = QStringLiteral("[ Time Used: 9:06:07 ][ Available: -9:06:07 ]");

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
    // Compact frames whose caption sits on the border line, so that the
    // narrow strips of the layout keep room for their controls.
    setStyleSheet(QStringLiteral("QGroupBox { border: 1px solid palette(mid); margin-top: 0.6em; }"
                                 "QGroupBox::title { subcontrol-origin: margin; left: 6px; padding: 0 2px; }"));

    m_cmdDummyFocus = new QPushButton(this);
    m_cmdDummyFocus->setObjectName(QStringLiteral("cmdDummyFocus"));
    m_cmdDummyFocus->setGeometry(-100, -100, 1, 1); // present for the focus, never seen
    m_cmdDummyFocus->setFocusPolicy(Qt::NoFocus);    // takes the focus when given it, never by Tab

    // Made in the order Tab visits them: top to bottom, the left edge first.
    m_cmdPrevRec = edgeButton("cmdPrevRec", QString(), {30, 100, 255, 1200});
    buildPreviewPanel();
    buildRecordPanel();
    m_cmdHelp = edgeButton("cmdHelp", QStringLiteral("?"), {30, 1410, 255, 255});
    buildLengthStrip();
    m_cmdTapeSideList = edgeButton("cmdTapeSideList", isCassette() ? QStringLiteral("Hide TapeSide Playlist") : QStringLiteral("Hide MiniDisc Playlist"),
                                   {30, 1800, 6375, 255});
    m_cmdTapeSide = edgeButton("cmdTapeSide", QString(), {30, 2130, 255, 1900});
    buildPlaylists();
    buildEdgeButtons();
    buildDriveList();
    buildFileMenu();
    buildPlaylistMenu();
    chooseScale();
    setTabReachable(m_frmRecordMp3, false); // parked out of view

    // Load: the line break, the counters, the status, the file types, the tips.
    tv::shell::globals().gstrNewLine = QStringLiteral("\r\n");
    intRecordIndex = 0;
    m_intTimeA = m_intTimeB = 0;
    m_lblStatus->setText(QStringLiteral("Ready!"));
    tv::shell::Module1::subLoadSupportedFileTypes(*this);
    setToolTips();
    QString error;
    // Where the browser was when the program last ran; the first time, the
    // folder the program was started in.
    const QString start = rememberedFolder(FolderRole::Browser, QDir::currentPath());
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

QGroupBox *Workspace::frame(const QString &name, const QString &caption, const QRect &twips)
{
    auto *box = new QGroupBox(caption, this);
    box->setObjectName(name);
    place(box, twips);
    return box;
}

void Workspace::place(QWidget *widget, const QRect &twips, Placement::Kind kind)
{
    m_placements.append({widget, twips, kind});
    if (qobject_cast<QGroupBox *>(widget) && widget->parentWidget() == this)
        m_leftTwips.insert(widget, twips.x());
}

int Workspace::leftTwips(const QWidget *frame) const
{
    const auto given = m_leftTwips.constFind(frame);
    if (given != m_leftTwips.constEnd() && m_scale.px(*given) == frame->x())
        return *given;
    return m_scale.twips(frame->x());
}

void Workspace::moveLeft(QWidget *frame, int twips)
{
    m_leftTwips.insert(frame, twips);
    frame->move(m_scale.px(twips), frame->y());
}

void Workspace::placeControls()
{
    setFixedSize(m_scale.px(kFormWidth), m_scale.px(m_heightTwips));
    // A frame's caption sits on its border line and reaches below it: what
    // the frame holds starts under the caption.
    for (const Placement &p : m_placements) {
        auto *box = qobject_cast<QGroupBox *>(p.widget);
        if (box && box->layout()) {
            // The length strip is one row of options whose own padding
            // leaves room for the caption above their texts.
            const bool compact = box == m_frmTapeLength || box->title().isEmpty();
            QMargins margins = box->layout()->contentsMargins();
            margins.setTop(compact ? 1 : box->fontMetrics().height() / 2 + 1);
            box->layout()->setContentsMargins(margins);
            box->layout()->invalidate(); // its sizes are measured anew for the font it has now
        }
    }
    for (QLabel *info : m_lblInfo) {
        if (info)
            info->setMinimumWidth(info->fontMetrics().horizontalAdvance(kWidestReadout) + 2);
    }
    for (const Placement &p : m_placements) {
        switch (p.kind) {
        case Placement::Geometry:
            p.widget->setGeometry(m_scale.rect(p.twips));
            break;
        case Placement::Size:
            p.widget->setFixedSize(m_scale.size(p.twips.width(), p.twips.height()));
            break;
        case Placement::TextBoxWidth: {
            // Never narrower than its longest entry of digits needs.
            auto *box = static_cast<QLineEdit *>(p.widget);
            const int frame = box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, box);
            const int text = box->fontMetrics().horizontalAdvance(QString(box->maxLength(), QLatin1Char('0')));
            box->setFixedWidth(std::max(m_scale.px(p.twips.width()), text + 2 * frame + 8));
            break;
        }
        case Placement::Picture: {
            const QRect r = m_scale.rect(p.twips);
            static_cast<QLabel *>(p.widget)->setPixmap(tv::shell::Pictures::cassette(r.width(), r.height()));
            p.widget->setGeometry(r);
            break;
        }
        }
    }
}

double Workspace::neededScale() const
{
    // How much larger every twip must become for each frame to hold what its
    // layout needs, and for each bar's caption to fit its button.
    double need = 1.0;
    for (const Placement &p : m_placements) {
        if (auto *box = qobject_cast<QGroupBox *>(p.widget); box && box->layout()) {
            const QSize wanted = box->minimumSizeHint();
            need = std::max({need, double(wanted.width()) / box->width(), double(wanted.height()) / box->height()});
        } else if (auto *button = qobject_cast<QPushButton *>(p.widget); button && !button->text().isEmpty()) {
            const int margin = button->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button);
            const QFontMetrics fm = button->fontMetrics();
            need = std::max({need, double(fm.horizontalAdvance(button->text()) + 2 * margin) / button->width(),
                             double(fm.height() + 4) / button->height()});
        }
    }
    // The CD read-out, shown in place of the player, at its widest.
    const QString widestCd = QStringLiteral("Track [99]") + QString(73, QLatin1Char(' ')) + QStringLiteral("59:59 / 9:06:07");
    need = std::max(need, double(m_MCDlabel->fontMetrics().horizontalAdvance(widestCd) + 12) / m_frmPlayMp3->width());
    return need;
}

void Workspace::chooseScale()
{
    const QSize room = tv::controls::roomOnScreen(screen());
    const QFont desktop = font();
    double shrink = 1.0;
    for (int attempt = 0; attempt < 8; ++attempt) {
        if (shrink < 1.0) {
            // The window's style sheet keeps each control's font as it was
            // when first polished, so every control is given the smaller one.
            const QFont smaller = tv::controls::scaledFont(desktop, shrink);
            setFont(smaller);
            for (QWidget *w : findChildren<QWidget *>())
                w->setFont(smaller);
        }
        m_scale = tv::controls::FormScale::forFont(font(), logicalDpiY());
        for (int round = 0; round < 3; ++round) {
            placeControls();
            const double need = neededScale();
            if (need <= 1.0)
                break;
            m_scale = tv::controls::FormScale(m_scale.pixelsPerTwip() * need * 1.002);
        }
        // The window at its tallest, with the drive list shown, must fit the screen.
        const double fit = tv::controls::largestFitting({kFormWidth, kFormHeight + kDriveListGrowth}, {}, room);
        if (m_scale.pixelsPerTwip() <= fit)
            return;
        shrink *= fit / m_scale.pixelsPerTwip() * 0.99; // a smaller font, and everything with it
    }
}

void Workspace::setTabReachable(QWidget *panel, bool reachable)
{
    static const char *const kPolicy = "tvTabFocusPolicy";
    for (QWidget *w : panel->findChildren<QWidget *>()) {
        if (!reachable && w->focusPolicy() != Qt::NoFocus) {
            w->setProperty(kPolicy, int(w->focusPolicy()));
            w->setFocusPolicy(Qt::NoFocus);
        } else if (reachable && w->property(kPolicy).isValid()) {
            w->setFocusPolicy(Qt::FocusPolicy(w->property(kPolicy).toInt()));
            w->setProperty(kPolicy, QVariant());
        }
    }
}

void Workspace::buildPreviewPanel()
{
    m_frmPlayMp3 = frame(QStringLiteral("frmPlayMp3"), QStringLiteral("Preview Sound Files"), {300, 0, 6135, 1300});
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
    place(m_picScan, {0, 0, 195, 195}, Placement::Size);
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
    place(m_txtPlayControlsCover, {60, 210, 1400, 420});
    m_txtPlayControlsCover->hide();

    m_MplayerSongTime = new tv::media::MediaPlayer(this);
    m_MplayerSongTime->setObjectName(QStringLiteral("MplayerSongTime"));
    m_MplayerSongTime->setAutoStart(false);
    m_MCDtime = new tv::media::CdAudioDevice(this);
    m_MCDtime->setObjectName(QStringLiteral("MCDtime"));
    m_MCDtime->setSilent(true); // it only reads track lengths
}

void Workspace::buildRecordPanel()
{
    // Parked to the right, out of view, until the panels can be swapped.
    const QString caption = isCassette() ? QStringLiteral("Record Sound Files to Tape") : QStringLiteral("Record Sound Files to MiniDisc");
    m_frmRecordMp3 = frame(QStringLiteral("frmRecordMp3"), caption, {6480, 0, 6135, 1300});
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
    m_frmTapeLength = frame(QStringLiteral("frmTapeLength"), m_profile.lengthFrameCaption, {300, 1320, 6135, 405});
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
    m_txtUsrTapeLength->setAccessibleName(QStringLiteral("User Length (In Minutes)"));
    place(m_txtUsrTapeLength, {0, 0, 400, 0}, Placement::TextBoxWidth);
    digitsOnly(m_txtUsrTapeLength);
    connect(m_txtUsrTapeLength, &QLineEdit::textChanged, this, &Workspace::txtUsrTapeLength_Change);
    row->addWidget(m_txtUsrTapeLength);

    const QString delayTip = QStringLiteral("Inserts a ? Second Delay between songs.");
    m_txtOneSecondDelay = new QLineEdit(QStringLiteral("0"), m_frmTapeLength);
    m_txtOneSecondDelay->setObjectName(QStringLiteral("txtOneSecondDelay"));
    m_txtOneSecondDelay->setMaxLength(2);
    place(m_txtOneSecondDelay, {0, 0, 300, 0}, Placement::TextBoxWidth);
    m_txtOneSecondDelay->setToolTip(delayTip);
    digitsOnly(m_txtOneSecondDelay);
    connect(m_txtOneSecondDelay, &QLineEdit::textChanged, this, &Workspace::txtOneSecondDelay_Change);
    row->addWidget(m_txtOneSecondDelay);
    m_Label3 = namedLabel(m_frmTapeLength, QStringLiteral("Label3"), QStringLiteral("Song Delay"));
    m_Label3->setToolTip(delayTip);
    m_Label3->setBuddy(m_txtOneSecondDelay); // names the box for screen readers
    row->addWidget(m_Label3);
}

void Workspace::buildPlaylists()
{
    for (int side = 0; side < m_profile.sides.size(); ++side) {
        const bool a = side == 0;
        m_frmTapeSide[side] = frame(a ? QStringLiteral("frmTapeSideA") : QStringLiteral("frmTapeSideB"), m_profile.sides.at(side).initialCaption,
                                    {a ? 300 : 6500, 2045, 6135, 2000});
        // The list with its buttons beside it; under both, the side's read-out,
        // always whole.
        auto *grid = new QGridLayout(m_frmTapeSide[side]);
        grid->setContentsMargins(4, 2, 4, 2);
        grid->setSpacing(2);
        m_lstPlayList[side] = new tv::controls::PlayListBox(m_frmTapeSide[side]);
        m_lstPlayList[side]->setObjectName(a ? QStringLiteral("lstPlayListA") : QStringLiteral("lstPlayListB"));
        m_lstPlayList[side]->setAccessibleName(m_profile.sides.at(side).initialCaption);
        connect(m_lstPlayList[side], &tv::controls::PlayListBox::filesDropped, this, &Workspace::lstPlayList_OLEDragDrop);
        grid->addWidget(m_lstPlayList[side], 0, 0);
        auto *buttons = new QGridLayout;
        buttons->setSpacing(2);
        const QString letter = a ? QStringLiteral("A") : QStringLiteral("B");
        const auto button = [&](QPushButton *&slot, const QString &name, const QString &caption, int row, int column, int span) {
            slot = new QPushButton(caption, m_frmTapeSide[side]);
            slot->setObjectName(name);
            buttons->addWidget(slot, row, column, 1, span);
        };
        button(m_cmdUp[side], QStringLiteral("cmdUp") + letter, QString(), 0, 0, 1);
        m_cmdUp[side]->setIcon(style()->standardIcon(QStyle::SP_ArrowUp));
        m_cmdUp[side]->setToolTip(QStringLiteral("Move selected file UP in playlist."));
        m_cmdUp[side]->setAccessibleName(QStringLiteral("Move Up"));
        button(m_cmdDown[side], QStringLiteral("cmdDown") + letter, QString(), 0, 1, 1);
        m_cmdDown[side]->setIcon(style()->standardIcon(QStyle::SP_ArrowDown));
        m_cmdDown[side]->setToolTip(QStringLiteral("Move selected file DOWN in playlist."));
        m_cmdDown[side]->setAccessibleName(QStringLiteral("Move Down"));
        button(m_cmdDelete[side], QStringLiteral("cmdDelete") + letter, QStringLiteral("Delete Selected"), 1, 0, 2);
        button(m_cmdPrint[side], QStringLiteral("cmdPrint_%1").arg(side), QStringLiteral("Print Insert"), 2, 0, 2);
        buttons->setRowStretch(3, 1);
        connect(m_cmdUp[side], &QPushButton::clicked, this, [this, side] { cmdUp_Click(side); });
        connect(m_cmdDown[side], &QPushButton::clicked, this, [this, side] { cmdDown_Click(side); });
        connect(m_cmdDelete[side], &QPushButton::clicked, this, [this, side] { cmdDelete_Click(side); });
        connect(m_cmdPrint[side], &QPushButton::clicked, this, &Workspace::cmdPrint_Click);
        m_lstPlayList[side]->installEventFilter(this);
        m_lstPlayList[side]->viewport()->installEventFilter(this);
        grid->addLayout(buttons, 0, 1);
        m_lblInfo[side] = namedLabel(m_frmTapeSide[side], a ? QStringLiteral("lblInfoA") : QStringLiteral("lblInfoB"));
        grid->addWidget(m_lblInfo[side], 1, 0, 1, 2);
        grid->setColumnStretch(0, 1);
        grid->setRowStretch(0, 1);
        if (!a)
            m_frmTapeSide[side]->hide();
    }
}

QPushButton *Workspace::edgeButton(const char *name, const QString &caption, const QRect &twipsGeometry)
{
    auto *b = new QPushButton(caption, this);
    b->setObjectName(QLatin1String(name));
    place(b, twipsGeometry);
    return b;
}

void Workspace::buildEdgeButtons()
{
    m_cmdPrevRec->setIcon(style()->standardIcon(QStyle::SP_MediaSeekForward));
    m_cmdPrevRec->setAccessibleName(isCassette() ? QStringLiteral("Preview or Record to Tape") : QStringLiteral("Preview or Record to MiniDisc"));
    m_cmdHelp->setToolTip(QStringLiteral("Click Here for Details and More Help."));
    m_cmdHelp->setAccessibleName(QStringLiteral("Help"));
    m_cmdTapeSide->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));
    m_cmdTapeSide->setAccessibleName(isCassette() ? QStringLiteral("Tape Side A or B") : QStringLiteral("MiniDisc Playlist"));
    if (isCassette()) {
        m_Picture1 = namedLabel(this, QStringLiteral("Picture1_1"));
        place(m_Picture1, {45, 2160, 225, 165}, Placement::Picture);
        m_Picture1->setAttribute(Qt::WA_TransparentForMouseEvents); // clicks reach cmdTapeSide beneath
    }
    connect(m_cmdPrevRec, &QPushButton::clicked, this, &Workspace::cmdPrevRec_Click);
    connect(m_cmdTapeSide, &QPushButton::clicked, this, &Workspace::cmdTapeSide_Click);
    connect(m_cmdTapeSideList, &QPushButton::clicked, this, &Workspace::cmdTapeSideList_Click);
    connect(m_cmdHelp, &QPushButton::clicked, this, &Workspace::cmdHelp_Click);
}

void Workspace::buildDriveList()
{
    m_cmdDriveList = edgeButton("cmdDriveList", QStringLiteral("Display Drive List"), {30, 4100, 6375, 255});
    connect(m_cmdDriveList, &QPushButton::clicked, this, &Workspace::cmdDriveList_Click);

    m_frmDriveList = frame(QStringLiteral("frmDriveList"), QString(), {0, 4280, 6465, 2505});
    auto *grid = new QGridLayout(m_frmDriveList);
    grid->setContentsMargins(4, 2, 4, 2);
    grid->setSpacing(2);
    m_Drive1 = new tv::controls::DriveListBox(m_frmDriveList);
    m_Drive1->setObjectName(QStringLiteral("Drive1"));
    m_Drive1->setAccessibleName(QStringLiteral("Drives"));
    m_Dir1 = new tv::controls::FolderListBox(m_frmDriveList);
    m_Dir1->setObjectName(QStringLiteral("Dir1"));
    m_Dir1->setAccessibleName(QStringLiteral("Folders"));
    m_File1 = new tv::controls::FileListBox(m_frmDriveList);
    m_File1->setObjectName(QStringLiteral("File1"));
    m_File1->setAccessibleName(QStringLiteral("Files"));
    m_File1->setContextMenuPolicy(Qt::PreventContextMenu);
    m_File1->installEventFilter(this);
    m_File1->viewport()->installEventFilter(this);
    connect(m_File1, &QListWidget::itemDoubleClicked, this, &Workspace::File1_DblClick);
    m_Label2 = namedLabel(m_frmDriveList, QStringLiteral("Label2"), QStringLiteral("Double Click to Add to PlayList or Right Click to Play."));
    grid->addWidget(m_Drive1, 0, 0);
    grid->addWidget(m_Dir1, 1, 0);
    grid->addWidget(m_File1, 0, 1, 2, 1);
    grid->addWidget(m_Label2, 2, 0, 1, 2);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(1, 1);
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

bool Workspace::handleListKey(QObject *watched, QEvent *event)
{
    // The keyboard does what the mouse does on the file list and the
    // playlists: Enter is a double click, the context-menu key and Shift+F10
    // open the popup, Delete in a playlist is "Delete Selected".
    const auto popupPlace = [](QListWidget *list) {
        const QListWidgetItem *item = list->currentItem();
        const QRect r = item ? list->visualItemRect(item) : QRect();
        const QPoint local = r.isValid() && list->viewport()->rect().intersects(r) ? r.bottomLeft() : QPoint(4, 4);
        return list->viewport()->mapToGlobal(local);
    };
    int side = -1;
    for (int s = 0; s < m_profile.sides.size(); ++s) {
        if (watched == m_lstPlayList[s])
            side = s;
    }
    QListWidget *list = side >= 0 ? static_cast<QListWidget *>(m_lstPlayList[side]) : watched == m_File1 ? m_File1 : nullptr;
    if (!list)
        return false;
    const auto openPopup = [&] {
        if (side >= 0)
            lstPlayList_MouseDown(side, Qt::RightButton, popupPlace(list));
        else
            File1_MouseDown(Qt::RightButton, popupPlace(list));
    };
    if (event->type() == QEvent::ContextMenu) {
        // A right click has opened the popup already, when the button went down.
        if (static_cast<QContextMenuEvent *>(event)->reason() == QContextMenuEvent::Keyboard)
            openPopup();
        return true;
    }
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    if (key->key() == Qt::Key_F10 && key->modifiers() == Qt::ShiftModifier) {
        openPopup();
        return true;
    }
    if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && key->modifiers() == Qt::NoModifier) {
        if (side >= 0)
            lstPlayList_DblClick(side);
        else
            File1_DblClick();
        return true;
    }
    if (key->key() == Qt::Key_Delete && key->modifiers() == Qt::NoModifier && side >= 0) {
        if (m_cmdDelete[side]->isEnabled()) // not while a recording runs
            cmdDelete_Click(side);
        return true;
    }
    return false;
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
    if (handleListKey(watched, event))
        return true;
    for (int side = 0; side < m_profile.sides.size(); ++side) {
        if (watched == m_lstPlayList[side]->viewport() && event->type() == QEvent::MouseButtonPress
            && static_cast<QMouseEvent *>(event)->button() == Qt::RightButton) {
            lstPlayList_MouseDown(side, Qt::RightButton, static_cast<QMouseEvent *>(event)->globalPosition().toPoint());
            return true; // the right click leaves the selection as it was
        }
        if (watched == m_lstPlayList[side]->viewport() && event->type() == QEvent::ContextMenu)
            return true; // shown on the button press already
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
