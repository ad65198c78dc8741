#include "frmMenu.h"

#include "Forms.h"
#include "Pictures.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QGridLayout>
#include <QLabel>
#include <QStyle>
#include <QToolButton>

namespace tv::shell {

frmMenu::frmMenu(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmMenu"));
    setWindowTitle(QStringLiteral("Cassette & Mini-Disc Vantrel"));
    const auto button = [this](const char *name, const QPixmap &picture, const QString &tip) {
        auto *b = new QToolButton(this);
        b->setObjectName(QLatin1String(name));
        b->setIcon(picture);
        b->setIconSize(picture.size());
        b->setToolTip(tip);
        b->setAutoRaise(true);
        return b;
    };
    auto *heading = new QLabel(QStringLiteral("S E L E C T"), this);
    heading->setObjectName(QStringLiteral("Label1"));
    QFont bold = heading->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.4);
    heading->setFont(bold);
    QToolButton *tape = button("cmdTapeVantrel", Pictures::cassette(120, 80), QStringLiteral("Start The Cassette Tape Vantrel"));
    QToolButton *disc = button("cmdMiniDiscVantrel", Pictures::miniDisc(80), QStringLiteral("Start The Mini-Disc Vantrel"));
    auto *mini = new QToolButton(this);
    mini->setObjectName(QStringLiteral("cmdMiniPlayer"));
    mini->setIcon(style()->standardIcon(QStyle::SP_MediaPlay));
    mini->setToolTip(QStringLiteral("Launch Mini-Player"));
    auto *text1 = new QLabel(QStringLiteral("Cassette Tape"), this);
    text1->setObjectName(QStringLiteral("Text1"));
    auto *text2 = new QLabel(QStringLiteral("Mini-Disc"), this);
    text2->setObjectName(QStringLiteral("Text2"));

    auto *grid = new QGridLayout(this);
    grid->addWidget(heading, 0, 0, 1, 2, Qt::AlignHCenter);
    grid->addWidget(tape, 1, 0, Qt::AlignCenter);
    grid->addWidget(disc, 1, 1, Qt::AlignCenter);
    grid->addWidget(text1, 2, 0, Qt::AlignHCenter);
    grid->addWidget(text2, 2, 1, Qt::AlignHCenter);
    grid->addWidget(mini, 3, 0, 1, 2, Qt::AlignHCenter);

    // Wide enough for a window manager's title bar to show the caption
    // whole beside its buttons.
    QFont titleFont = font();
    titleFont.setBold(true);
    setMinimumWidth(QFontMetrics(titleFont).horizontalAdvance(windowTitle()) + 5 * fontMetrics().height());

    connect(tape, &QToolButton::clicked, this, &frmMenu::cmdTapeVantrel_Click);
    connect(disc, &QToolButton::clicked, this, &frmMenu::cmdMiniDiscVantrel_Click);
    connect(mini, &QToolButton::clicked, this, &frmMenu::cmdMiniPlayer_Click);
}

void frmMenu::cmdTapeVantrel_Click()
{
    hide();
    if (QWidget *w = Forms::get(QStringLiteral("MP3DragDrop")))
        w->show();
}

void frmMenu::cmdMiniDiscVantrel_Click()
{
    hide();
    if (QWidget *w = Forms::get(QStringLiteral("MP3MiniDisc")))
        w->show();
}

void frmMenu::cmdMiniPlayer_Click()
{
    // The mini player plays through the tape workspace's players, so that
    // workspace is loaded first, unseen.
    Forms::get(QStringLiteral("MP3DragDrop"));
    QWidget *mini = Forms::get(QStringLiteral("frmMini"));
    if (!mini)
        return;
    mini->show();
    hide();
}

void frmMenu::closeEvent(QCloseEvent *event)
{
    event->accept();
    QCoreApplication::exit(0); // at once, without the other windows' closing work
}

} // namespace tv::shell
