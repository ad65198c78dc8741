#include "frmSplash.h"

#include "Forms.h"
#include "MediaPlayer.h"
#include "MessageBox.h"
#include "Pictures.h"
#include "ProgramFolders.h"
#include "Version.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QVBoxLayout>

namespace tv::shell {

frmSplash::frmSplash(QWidget *parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint), m_animation1(new QLabel(this)), m_lblVersion(new QLabel(this)),
      m_notice(new QLabel(this)), m_player(new tv::media::MediaPlayer(this))
{
    setObjectName(QStringLiteral("frmSplash"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFocusPolicy(Qt::StrongFocus);
    m_animation1->setObjectName(QStringLiteral("animation1"));
    m_animation1->setPixmap(Pictures::splashBanner());
    m_animation1->installEventFilter(this);
    m_lblVersion->setObjectName(QStringLiteral("lblVersion"));
    m_notice->setObjectName(QStringLiteral("lblNotice"));
    m_player->setObjectName(QStringLiteral("MPlayerSplash"));
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(8, 8, 8, 8);
    column->addWidget(m_animation1);
    column->addWidget(m_lblVersion, 0, Qt::AlignRight);
    column->addWidget(m_notice, 0, Qt::AlignHCenter);
    // The sound has ended when the player stops; opening the file (closed to
    // stopped, just before it starts) is no end.
    connect(m_player, &tv::media::MediaPlayer::playStateChanged, this, [this](int oldState, int newState) {
        if (newState == tv::media::MediaPlayer::Stopped && oldState != tv::media::MediaPlayer::Closed)
            closeSplash();
    });
}

bool frmSplash::Form_Load()
{
    m_lblVersion->setText(versionText());
    m_notice->setText(QStringLiteral("Free software for recording your music to cassette and MiniDisc."));
    if (!tv::media::MediaPlayer::soundDeviceAvailable()) {
        msgBox(this, QStringLiteral("An Enabled Sound Device Was Not Found!\n\rThe Tape Vantrel Requires a Sound Card."), Msg::Critical,
               QStringLiteral("The Tape Vantrel"));
        return false;
    }
    return true;
}

QString frmSplash::soundPath(const QString &folder)
{
    return folder + (folder.endsWith(QLatin1Char('/')) ? QString() : QStringLiteral("/")) + QStringLiteral("Splash.dll");
}

bool frmSplash::event(QEvent *event)
{
    // The sound starts when the window becomes active; a desktop without a
    // window manager may never activate it, so showing it starts it too.
    // It starts once: a later activation does not start it over.
    const bool result = QWidget::event(event);
    if (event->type() == QEvent::WindowActivate || event->type() == QEvent::Show)
        QMetaObject::invokeMethod(this, &frmSplash::startSound, Qt::QueuedConnection);
    return result;
}

void frmSplash::startSound()
{
    if (!m_closing && m_player->playState() == tv::media::MediaPlayer::Closed)
        m_player->setFileName(soundPath(runtimeFolder(QStringLiteral("Splash.dll"))));
}

void frmSplash::keyPressEvent(QKeyEvent *)
{
    closeSplash();
}

bool frmSplash::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_animation1 && event->type() == QEvent::MouseButtonPress)
        closeSplash();
    return QWidget::eventFilter(watched, event);
}

void frmSplash::closeSplash()
{
    if (m_closing)
        return; // click, key and end of sound may all arrive: hand over once
    m_closing = true;
    m_player->close(); // the sound stops with the window
    close();
    if (QWidget *menu = Forms::get(QStringLiteral("frmMenu")))
        menu->show();
    emit closed();
}

} // namespace tv::shell
