#include "frmAbout.h"

#include "Help.h"
#include "Launcher.h"
#include "MessageBox.h"
#include "Version.h"

#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>

namespace tv::shell {

QString frmAbout::descriptionText()
{
    // Joined by line feed then carriage return; shown as one line break each.
    const QString nl = QStringLiteral("\n\r");
    return QStringList{
        QStringLiteral("Welcome to The Cassette Tape and Mini-Disc Vantrel."),
        QStringLiteral("This software is designed to give you better control when recording MP3, Wav and Midi music files to Cassette or "
                       "Mini-Disc by creating playlist for Tape side A/B or Mini-Disc and Limiting Playlist time to the Cassette or Mini-Disc Length."),
        QString(),
        QStringLiteral("To begin using The Tape Vantrel simply:"),
        QStringLiteral("1.)Select the Length of your Cassette Tape or Mini-Disc."),
        QStringLiteral("2.)Open the Drive List Window."),
        QStringLiteral("3.)Double Click or Drag the Audio Files to the TapeSide A/B or Mini-Disc Playlist."),
        QStringLiteral("4.)When ready Click the Preview/Record button to move to the Record Window"),
        QStringLiteral("5.)Click on the TapeSide A/B or Mini-Disc Record button and follow the prompts."),
    }.join(nl);
}

const QStringList &frmAbout::systemInfoPrograms()
{
    static const QStringList programs = {QStringLiteral("hardinfo2"), QStringLiteral("hardinfo"), QStringLiteral("kinfocenter"),
                                         QStringLiteral("gnome-system-monitor"), QStringLiteral("xfce4-taskmanager")};
    return programs;
}

frmAbout::frmAbout(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About The Tape Vantrel"));
    setModal(true);
    setAttribute(Qt::WA_DeleteOnClose);
    const auto named = [this](QWidget *w, const char *name) {
        w->setObjectName(QLatin1String(name));
        return w;
    };
    auto *icon = new QLabel(this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MediaVolume).pixmap(32, 32));
    auto *title = new QLabel(QStringLiteral("The Tape Vantrel"), this);
    QFont big = title->font();
    big.setPointSizeF(big.pointSizeF() * 1.5);
    big.setBold(true);
    title->setFont(big);
    auto *version = new QLabel(versionText(), this);
    QString shown = descriptionText();
    shown.replace(QStringLiteral("\n\r"), QStringLiteral("\n"));
    auto *description = new QLabel(shown, this);
    description->setWordWrap(true);
    description->setProperty("storedText", descriptionText());
    auto *line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    auto *contact = new QLineEdit(QStringLiteral("TapeVantrel — questions and ideas are welcome through the project's issue tracker."), this);
    contact->setReadOnly(true);
    contact->setMinimumWidth(contact->fontMetrics().horizontalAdvance(contact->text()) + 16); // shown whole
    auto *ok = new QPushButton(QStringLiteral("&OK"), this);
    auto *sysInfo = new QPushButton(QStringLiteral("&System Info"), this);
    auto *help = new QPushButton(QStringLiteral("More &Help"), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(sysInfo, &QPushButton::clicked, this, &frmAbout::StartSysInfo);
    connect(help, &QPushButton::clicked, this, &frmAbout::cmdHelp_Click);

    auto *grid = new QGridLayout(this);
    grid->addWidget(named(icon, "picIcon"), 0, 0, 2, 1, Qt::AlignTop);
    grid->addWidget(named(title, "lblTitle"), 0, 1);
    grid->addWidget(named(version, "lblVersion"), 1, 1);
    grid->addWidget(named(description, "lblDescription"), 2, 1);
    grid->addWidget(named(line, "Line1"), 3, 0, 1, 3);
    grid->addWidget(named(contact, "TxtTapeVantrelContact"), 4, 0, 1, 2);
    auto *buttons = new QVBoxLayout;
    buttons->addWidget(named(ok, "cmdOK"));
    buttons->addWidget(named(sysInfo, "cmdSysInfo"));
    buttons->addWidget(named(help, "cmdHelp"));
    buttons->addStretch(1);
    grid->addLayout(buttons, 0, 2, 3, 1);
    // The guide at a width of about 64 characters of the font in use, and
    // tall enough for all of its lines at that width, at any font and dpi.
    const int textWidth = description->fontMetrics().averageCharWidth() * 64;
    description->setMinimumSize(textWidth, description->heightForWidth(textWidth));
}

void frmAbout::StartSysInfo()
{
    const QString program = findProgram(systemInfoPrograms());
    if (program.isEmpty() || !startProgram(program))
        msgBox(this, QStringLiteral("System Information Is Unavailable At This Time"), Msg::OkOnly);
}

void frmAbout::cmdHelp_Click()
{
    showHelp(this);
}

} // namespace tv::shell
