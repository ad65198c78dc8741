#pragma once

#include <QEvent>
#include <QPointer>
#include <QWidget>

class QCheckBox;
class QLabel;
class QPushButton;
class QTimer;

namespace tv::controls {
class DriveListBox;
class FileListBox;
class FolderListBox;
} // namespace tv::controls
namespace tv::media {
class MediaPlayer;
}
namespace tv::workspace {
class Workspace;
}

namespace tv::miniplayer {

// The mini player: a small window for listening to the files of one folder,
// one at a time or all in turn ("Play All", round and round). It has no
// player of its own: it drives the player of the cassette workspace
// MP3DragDrop, which the start menu loads unseen before opening this window.
// Closing the window, by its "&Close" button or by the window manager,
// closes that workspace too and shows the start menu again.
// Its procedures: frmMini.cpp (the window, its load and close, browsing, the
// mixer), frmMini_Play.cpp (playing), frmMini_Window.cpp (showing the drive
// list, moving the window by dragging).
class frmMini : public QWidget
{
    Q_OBJECT
public:
    // The fixed file pattern of the mini player's file list.
    static const QString kPattern;
    // Heights in twips: the window opens with the drive list hidden, below
    // the 1500 that tells the two states apart.
    static constexpr int kOpenHeightTwips = 1425;
    static constexpr int kDriveListTwips = 1880;

    explicit frmMini(QWidget *parent = nullptr);
    ~frmMini() override;

    // Playing (frmMini_Play.cpp)
    void subMiniPlay();
    void cmdPlay_Click();
    void cmdPause_Click();
    void cmdStop_Click();
    void chkAll_Click();
    void Timer1_Timer();

    // The window (frmMini.cpp, frmMini_Window.cpp)
    void cmdFileList_Click();
    void cmdMixer_Click();
    void cmdMinimize_Click();
    void Drive1_Change();
    void Dir1_Change();
    // The window's height in twips, as the drive list button reads and sets it.
    int heightTwips() const { return m_heightTwips; }
    void setHeightTwips(int twips);

    bool blnPaused = false;   // the mini player has paused the song
    bool blnDragging = false; // a button is down on the background or a song label
    int intNextSong = 0;      // the list position Play All plays next

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void build();
    void Form_Load();
    tv::media::MediaPlayer *player() const;
    QString songDetails() const;
    bool isPlayerIdle() const;
    // The three mouse handlers shared by the background and the song labels;
    // pos is the pointer inside the control under it. True when handled.
    bool dragMouse(QEvent::Type type, const QPoint &pos);

    QPointer<tv::workspace::Workspace> m_workspace;
    tv::controls::DriveListBox *m_Drive1 = nullptr;
    tv::controls::FolderListBox *m_Dir1 = nullptr;
    tv::controls::FileListBox *m_File1 = nullptr;
    QPushButton *m_cmdPlay = nullptr;
    QPushButton *m_cmdPause = nullptr;
    QPushButton *m_cmdStop = nullptr;
    QCheckBox *m_chkAll = nullptr;
    QPushButton *m_cmdMixer = nullptr;
    QPushButton *m_cmdFileList = nullptr;
    QPushButton *m_cmdMinimize = nullptr;
    QLabel *m_lblSongTitle = nullptr;
    QLabel *m_lblSongDetails = nullptr;
    QTimer *m_Timer1 = nullptr;
    QPushButton *m_cmdDummy = nullptr;
    int m_heightTwips = kOpenHeightTwips;
    bool m_restoringDrive = false; // putting the old drive back after a failure
};

} // namespace tv::miniplayer
