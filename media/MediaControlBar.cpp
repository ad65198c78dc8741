#include "MediaControlBar.h"

#include "MediaPlayer.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QSlider>
#include <QStyle>
#include <QTimer>
#include <QToolButton>

namespace tv::media {

namespace {

QString clockText(double seconds)
{
    const int s = int(seconds);
    return QStringLiteral("%1:%2").arg(s / 60, 2, 10, QLatin1Char('0')).arg(s % 60, 2, 10, QLatin1Char('0'));
}

QToolButton *transportButton(QWidget *parent, QStyle::StandardPixmap icon, const QString &name, const QString &tip)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(name);
    button->setIcon(parent->style()->standardIcon(icon));
    button->setToolTip(tip);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

} // namespace

MediaControlBar::MediaControlBar(QWidget *parent)
    : QWidget(parent), m_player(new MediaPlayer(this)),
      m_play(transportButton(this, QStyle::SP_MediaPlay, QStringLiteral("play"), tr("Play"))),
      m_pause(transportButton(this, QStyle::SP_MediaPause, QStringLiteral("pause"), tr("Pause"))),
      m_stop(transportButton(this, QStyle::SP_MediaStop, QStringLiteral("stop"), tr("Stop"))),
      m_position(new QSlider(Qt::Horizontal, this)), m_time(new QLabel(this)), m_refresh(new QTimer(this))
{
    m_position->setObjectName(QStringLiteral("position"));
    m_position->setRange(0, 0);
    m_position->setFocusPolicy(Qt::NoFocus);
    m_time->setObjectName(QStringLiteral("time"));
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(2, 2, 2, 2);
    row->addWidget(m_play);
    row->addWidget(m_pause);
    row->addWidget(m_stop);
    row->addWidget(m_position, 1);
    row->addWidget(m_time);

    connect(m_play, &QToolButton::clicked, m_player, &MediaPlayer::play);
    connect(m_pause, &QToolButton::clicked, m_player, &MediaPlayer::pause);
    connect(m_stop, &QToolButton::clicked, m_player, &MediaPlayer::stop);
    connect(m_position, &QSlider::sliderPressed, this, [this] { m_dragging = true; });
    connect(m_position, &QSlider::sliderReleased, this, [this] {
        m_dragging = false;
        if (!m_locked)
            m_player->setCurrentPosition(m_position->value() / 10.0);
    });
    connect(m_player, &MediaPlayer::playStateChanged, this, &MediaControlBar::refresh);
    connect(m_refresh, &QTimer::timeout, this, &MediaControlBar::refresh);
    m_refresh->start(250);
    refresh();
}

void MediaControlBar::setTransportLocked(bool locked)
{
    m_locked = locked;
    m_dragging = false;
    refresh();
}

void MediaControlBar::refresh()
{
    const int state = m_player->playState();
    m_play->setEnabled(!m_locked && (state == MediaPlayer::Stopped || state == MediaPlayer::Paused));
    m_pause->setEnabled(!m_locked && state == MediaPlayer::Playing);
    m_stop->setEnabled(!m_locked && (state == MediaPlayer::Playing || state == MediaPlayer::Paused));
    m_position->setEnabled(!m_locked && state != MediaPlayer::Closed);
    m_position->setRange(0, int(m_player->duration() * 10));
    const double at = m_player->currentPosition();
    if (!m_dragging)
        m_position->setValue(int(at * 10));
    m_time->setText(clockText(at) + QStringLiteral(" / ") + clockText(m_player->duration()));
}

} // namespace tv::media
