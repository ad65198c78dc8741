#pragma once

#include <QWidget>

class QLabel;
class QSlider;
class QTimer;
class QToolButton;

namespace tv::media {

class MediaPlayer;

// The player as a window shows it: play, pause and stop buttons, a position
// slider and the time. Owns its MediaPlayer; hiding the bar hides the player.
class MediaControlBar : public QWidget
{
    Q_OBJECT
public:
    explicit MediaControlBar(QWidget *parent = nullptr);

    MediaPlayer *player() const { return m_player; }
    // While locked (a recording plays through the player) the buttons and
    // the position slider cannot move the player.
    void setTransportLocked(bool locked);
    bool transportLocked() const { return m_locked; }

private:
    void refresh();

    MediaPlayer *m_player;
    QToolButton *m_play;
    QToolButton *m_pause;
    QToolButton *m_stop;
    QSlider *m_position;
    QLabel *m_time;
    QTimer *m_refresh;
    bool m_dragging = false;
    bool m_locked = false;
};

} // namespace tv::media
