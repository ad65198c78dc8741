#include "frmMini.h"

#include "DriveListBox.h"
#include "FileListBox.h"
#include "FolderListBox.h"
#include "Forms.h"
#include "Launcher.h"
#include "MediaControlBar.h"
#include "MediaPlayer.h"
#include "MessageBox.h"
#include "SongTitle.h"
#include "Twips.h"
#include "Workspace.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTimer>

namespace tv::miniplayer {

using tv::shell::twipsRect;

// The fixed list's formats in their order, then every other song format the
// workspaces offer by default (FLAC, Ogg, Opus, M4A, ...), which the same
// player plays; CD images are left out (the mini player plays files, it
// does not open an image as a folder of tracks). "*cda" without its dot, as
// the workspaces' default pattern has it: every name that ends in cda is a
// CD track.
const QString frmMini::kPattern = QStringLiteral("*.wav;*.snd;*.au;*.aif;*.aifc;*.aiff;*.midi;*.mid;*.rmi;*.mp3;*.m3u;*.ra;"
                                                 "*.flac;*.ogg;*.oga;*.opus;*.m4a;*.aac;*.wma;*cda");

namespace {

constexpr int kWidthTwips = 4815;

template <typename T> T *place(T *widget, const char *name, QRect twipsGeometry)
{
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(twipsRect(widget->parentWidget(), twipsGeometry.x(), twipsGeometry.y(), twipsGeometry.width(), twipsGeometry.height()));
    return widget;
}

} // namespace

frmMini::frmMini(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmMini"));
    setWindowTitle(QStringLiteral("Mini-Player"));
    setAttribute(Qt::WA_DeleteOnClose); // a closed mini player starts afresh next time
    // A fixed size: nothing to maximise.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    m_workspace = tv::shell::Forms::get<tv::workspace::Workspace>(QStringLiteral("MP3DragDrop"));
    build();
    Form_Load();
}

frmMini::~frmMini() = default;

void frmMini::build()
{
    QFont small = font();
    small.setPointSizeF(8.25);
    setFont(small);
    QPalette grey = palette();
    grey.setColor(QPalette::Window, QColor(192, 192, 192));
    setPalette(grey);
    setAutoFillBackground(true);
    setFixedSize(tv::shell::twips(this, kWidthTwips), tv::shell::twips(this, m_heightTwips));

    m_cmdDummy = place(new QPushButton(QStringLiteral("Command1"), this), "cmdDummy", {0, 0, 15, 15});
    m_cmdDummy->move(-100, -100); // present for the focus, never seen

    m_lblSongTitle = place(new QLabel(this), "lblSongTitle", {90, 45, 4050, 270});
    QFont bold = small;
    bold.setBold(true);
    m_lblSongTitle->setFont(bold);
    m_lblSongDetails = place(new QLabel(this), "lblSongDetails", {90, 315, 4050, 240});
    m_cmdMixer = place(new QPushButton(this), "cmdMixer", {4230, 60, 495, 465});
    m_cmdMixer->setIcon(style()->standardIcon(QStyle::SP_MediaVolume));
    m_cmdMixer->setIconSize(QSize(tv::shell::twips(this, 300), tv::shell::twips(this, 300)));
    m_cmdMixer->setToolTip(QStringLiteral("Sound System Mixer"));

    m_cmdPlay = place(new QPushButton(QStringLiteral("&Play"), this), "cmdPlay", {90, 600, 870, 345});
    m_cmdPause = place(new QPushButton(QStringLiteral("Pa&use"), this), "cmdPause", {1005, 600, 870, 345});
    m_cmdStop = place(new QPushButton(QStringLiteral("&Stop"), this), "cmdStop", {1920, 600, 870, 345});
    m_chkAll = place(new QCheckBox(QStringLiteral("Play All"), this), "chkAll", {2925, 600, 1800, 345});
    m_chkAll->setToolTip(QStringLiteral("Play All Music in File List"));
    m_cmdFileList = place(new QPushButton(QStringLiteral("Display Drive List"), this), "cmdFileList", {90, 1005, 2700, 345});
    m_cmdMinimize = place(new QPushButton(QStringLiteral("&Close"), this), "cmdMinimize", {3630, 1005, 1095, 345});
    m_cmdMinimize->setToolTip(QStringLiteral("Hide Mini-Player"));

    // The part of the window that shows only while it is enlarged.
    m_Drive1 = place(new tv::controls::DriveListBox(this), "Drive1", {90, 1470, 2250, 330});
    m_Dir1 = place(new tv::controls::FolderListBox(this), "Dir1", {90, 1845, 2250, 1380});
    m_File1 = place(new tv::controls::FileListBox(this), "File1", {2430, 1470, 2295, 1755});
    QString error;
    m_File1->setPattern(kPattern, error);
    for (QWidget *w : {static_cast<QWidget *>(m_Drive1), static_cast<QWidget *>(m_Dir1), static_cast<QWidget *>(m_File1)})
        w->hide();

    m_Timer1 = new QTimer(this);
    m_Timer1->setObjectName(QStringLiteral("Timer1"));
    m_Timer1->setInterval(1000);

    connect(m_cmdPlay, &QPushButton::clicked, this, &frmMini::cmdPlay_Click);
    connect(m_cmdPause, &QPushButton::clicked, this, &frmMini::cmdPause_Click);
    connect(m_cmdStop, &QPushButton::clicked, this, &frmMini::cmdStop_Click);
    connect(m_chkAll, &QCheckBox::clicked, this, &frmMini::chkAll_Click);
    connect(m_cmdMixer, &QPushButton::clicked, this, &frmMini::cmdMixer_Click);
    connect(m_cmdFileList, &QPushButton::clicked, this, &frmMini::cmdFileList_Click);
    connect(m_cmdMinimize, &QPushButton::clicked, this, &frmMini::cmdMinimize_Click);
    connect(m_File1, &QListWidget::itemDoubleClicked, this, &frmMini::subMiniPlay);
    connect(m_Timer1, &QTimer::timeout, this, &frmMini::Timer1_Timer);
    for (QLabel *label : {m_lblSongTitle, m_lblSongDetails})
        label->installEventFilter(this);
}

void frmMini::Form_Load()
{
    const tv::media::MediaPlayer *playing = player();
    m_lblSongTitle->setText(fnSongTitle(playing ? playing->fileName() : QString()));
    m_lblSongDetails->setText(songDetails());

    // Open where the workspace's browser stands.
    const auto *folders = m_workspace ? m_workspace->findChild<tv::controls::FolderListBox *>(QStringLiteral("Dir1")) : nullptr;
    const QString start = folders && !folders->path().isEmpty() ? folders->path() : QDir::currentPath();
    m_Drive1->setDrive(m_Drive1->driveOf(start));
    QString error;
    if (!m_Dir1->setPath(start, error))
        m_Dir1->setPath(QDir::rootPath(), error);
    Dir1_Change();
    connect(m_Drive1, &QComboBox::currentIndexChanged, this, &frmMini::Drive1_Change);
    connect(m_Dir1, &tv::controls::FolderListBox::pathChanged, this, &frmMini::Dir1_Change);
    m_Timer1->start();
}

tv::media::MediaPlayer *frmMini::player() const
{
    return m_workspace ? m_workspace->MPlayer()->player() : nullptr;
}

void frmMini::Dir1_Change()
{
    m_File1->setPath(m_Dir1->path());
}

void frmMini::Drive1_Change()
{
    const QString previous = m_Drive1->driveOf(m_Dir1->path());
    const QString chosen = m_Drive1->drive();
    QString error;
    if (m_Dir1->setPath(chosen, error))
        return;
    tv::shell::msgBox(this, QStringLiteral("Error: ") + error, tv::shell::Msg::Exclamation | tv::shell::Msg::OkOnly);
    // Putting the old drive back runs this handler again, once.
    if (!m_restoringDrive && previous != chosen) {
        m_restoringDrive = true;
        m_Drive1->setDrive(previous);
        m_restoringDrive = false;
    }
}

void frmMini::cmdMixer_Click()
{
    m_cmdDummy->setFocus();
    const QString mixer = tv::shell::findProgram(tv::workspace::Workspace::mixerPrograms());
    if (mixer.isEmpty() || !tv::shell::startProgram(mixer)) {
        tv::shell::msgBox(this, QStringLiteral("No volume mixer was found. Install one, for example the package pavucontrol."),
                          tv::shell::Msg::Exclamation);
    }
}

void frmMini::cmdMinimize_Click()
{
    close();
}

void frmMini::closeEvent(QCloseEvent *event)
{
    // However the window closes, nothing is left behind it hidden and
    // playing: the workspace that plays for it closes too (stopping its
    // players), and the start menu comes back.
    m_chkAll->setChecked(false);
    intNextSong = 0;
    m_Timer1->stop();
    event->accept();
    if (m_workspace)
        m_workspace->close();
    if (QWidget *menu = tv::shell::Forms::get(QStringLiteral("frmMenu"))) {
        menu->show();
        menu->activateWindow();
    }
}

} // namespace tv::miniplayer
