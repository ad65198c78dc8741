#pragma once

#include <QWidget>

class QLabel;

namespace tv::media {
class MediaPlayer;
}

namespace tv::shell {

// The start-up window: version, a notice, the start-up sound, and the check
// that a sound device exists. It closes on a click on its picture, a key or
// the end of the sound, once, and hands over to the start menu.
class frmSplash : public QWidget
{
    Q_OBJECT
public:
    explicit frmSplash(QWidget *parent = nullptr);

    // Fills the labels and checks for a sound device; false (after telling
    // the user) when there is none and the program must end.
    bool Form_Load();
    tv::media::MediaPlayer *MPlayerSplash() const { return m_player; }
    // The start-up sound: "Splash.dll" in the program folder.
    static QString soundPath(const QString &programFolder);

signals:
    void closed(); // the splash has handed over to the menu

protected:
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void startSound();
    void closeSplash();

    QLabel *m_animation1;
    QLabel *m_lblVersion;
    QLabel *m_notice;
    tv::media::MediaPlayer *m_player;
    bool m_closing = false;
};

} // namespace tv::shell
