#pragma once

#include "FormScale.h"
#include "MediumProfile.h"
#include "PlaylistFile.h"
#include "PlayerForm.h"
#include "RecordingSession.h"
#include "ScanChain.h"
#include "SidePlanning.h"

#include <QElapsedTimer>
#include <QHash>
#include <QWidget>

class QFrame;
class QGroupBox;
class QTimer;
class QLabel;
class QLineEdit;
class QMenu;
class QAction;
class QPushButton;
class QRadioButton;

namespace tv::controls {
class DriveListBox;
class FileListBox;
class FolderListBox;
class PlayListBox;
} // namespace tv::controls
namespace tv::media {
class AudioOutput;
class CdAudioDevice;
class CdControlBar;
class MediaControlBar;
class MediaPlayer;
} // namespace tv::media

namespace tv::workspace {

enum class Side { None, A, B };

class WorkspaceLevels;

// The recording workspace, one class for both media: the cassette window
// MP3DragDrop (sides A and B) and the MiniDisc window MP3MiniDisc (one
// playlist). What differs between them comes from its MediumProfile.
// Its procedures live in one file per concern: Workspace_Length.cpp (medium
// length and the side read-outs), Workspace_Browser.cpp (drives, folders,
// files and the file popup), Workspace_AddSong.cpp (measuring and adding).
class Workspace : public QWidget, public tv::shell::PlayerForm
{
    Q_OBJECT
public:
    explicit Workspace(const MediumProfile &profile, QWidget *parent = nullptr);
    ~Workspace() override;

    const MediumProfile &profile() const { return m_profile; }
    // The window's twips: font-relative, chosen when the window is made.
    const tv::controls::FormScale &formScale() const { return m_scale; }
    // A sliding frame's left edge in twips (300 in view, 6500 parked).
    // The frame's own position decides; the twips it was given are kept so
    // that a frame placed at 300 reads back 300 at any scale.
    int leftTwips(const QWidget *frame) const;
    bool isCassette() const { return m_profile.hasSideB(); }

    // PlayerForm
    QWidget *formWidget() override { return this; }
    tv::controls::FileListBox *File1() override { return m_File1; }
    tv::media::MediaControlBar *MPlayer() override { return m_MPlayer; }
    tv::media::CdControlBar *MCD() override { return m_MCD; }
    tv::media::CdAudioDevice *MCDtime() override { return m_MCDtime; }
    QLabel *Label1() override { return m_Label1; }

    // Medium length and time accounting
    int intSideLength() const;
    qint64 intTimeA() const { return m_intTimeA; }
    qint64 intTimeB() const { return m_intTimeB; }
    void subTapeLength();
    void subTapeA_TimeCalc();
    void subTapeB_TimeCalc();

    // Drive browser and adding songs
    Side shownSide() const;
    void subAddSong(const QString &path);
    void Drive1_Change();
    void Dir1_Change();
    void File1_DblClick();
    void mnuAdd_Click();
    void mnuRefresh_Click();
    void lstPlayList_OLEDragDrop(const QStringList &paths);
    // CD images (Workspace_CdImage.cpp): a .cue, .toc or .nrg file opens as
    // the folder of its tracks; false after a failure it has reported.
    bool subOpenCdImage(const QString &imagePath);
    // Opens the current file of File1 when it is a CD image (true then).
    bool File1_OpenCdImage();
    static bool isCdImageName(const QString &path);
    // Shows the file popup with its items enabled by the state of File1.
    void File1_MouseDown(Qt::MouseButton button, const QPoint &globalPos);

    // Window and control states (Workspace_Panels.cpp)
    void cmdPrevRec_Click();
    void cmdTapeSide_Click();
    void cmdTapeSideList_Click();
    void cmdDriveList_Click();
    void cmdHelp_Click();
    void cmdPrint_Click();
    void cmdMixer_Click();
    void subSetControls(const QString &mode);
    void subOpenCommandLineFile();
    bool blnRecordingA = false;
    bool blnRecordingB = false;
    int intRecordIndex = 0;
    int intRecordTotal = 0;
    int intPlayerVolume = 0;
    bool blnCDPlaying = false;

    // Recording (Workspace_Recording.cpp)
    void cmdRecordSide_Click(int side);
    void cmdPause_Click();
    void cmdStop_Click();
    void MPlayer_PlayStateChange(int oldState, int newState);
    tv::core::RecordingState recordingState() const { return m_session.state(); }

    // Preview (Workspace_Preview.cpp)
    void mnuPlay_Click();
    void lstPlayList_DblClick(int side);
    void mnuPlayListPlay_Click();
    void MPlayer_Error();
    bool isScanning() const;

    // Playlist editing (Workspace_Playlists.cpp)
    void cmdUp_Click(int side);
    void cmdDown_Click(int side);
    void cmdDelete_Click(int side);
    void mnuPlayListDelete_Click();
    void mnuPlayListClear_Click();
    void lstPlayList_MouseDown(int side, Qt::MouseButton button, const QPoint &globalPos);
    // The list on display: 0 (A), 1 (B) or -1 (none).
    int playlistOnDisplay() const;

    // Side planning (Workspace_SidePlanning.cpp): the cassette's "Balance
    // Sides" (both fit, with the least difference) and "Fill Side A First".
    void mnuBalanceSides_Click();
    void mnuFillSideAFirst_Click();

    // Playlist files (Workspace_PlaylistFile.cpp)
    void mnuPlayListSave_Click();
    // The Save dialog and the file; false when cancelled or not written.
    bool savePlaylists();
    void mnuPlayListLoad_Click();
    // Whether the playlists hold songs that differ from what was last saved
    // or loaded (the window opens with nothing to save).
    bool hasUnsavedPlaylists() const;
    // Asks "Save the playlists?" when there is something to lose; false when
    // the window must stay open (Cancel, or a save that did not happen).
    bool askToSavePlaylists();
    // Reads a playlist file into the playlists; false after a failure it has reported.
    bool subLoadPlayList(const QString &path);

    // Audio-CD tracks (Workspace_Cd.cpp)
    void sub_MusicCD(const QString &fileName);
    void MCD_StatusUpdate();
    void MCD_PlayClick();
    void MCD_StopClick();
    void MCD_GotFocus();
    void MCD_Failed(const QString &why);
    // Part of a CD track could not be read and plays as silence.
    void MCD_Damaged(const QString &trackFile, int track, qint64 firstMs, qint64 totalMs);
    // The program's command line: one path, set once by main.
    static void setCommandLine(const QString &commandLine);
    // Known volume mixers, looked for on the PATH in this order.
    static const QStringList &mixerPrograms();

    // Scan (Workspace_Scan.cpp): the beginning of every file of File1 in
    // turn, the next one every 11 s on the sound clock, until stopped.
    void cmdScan_Click();
    void tmrScan_Timer();
    // Plays the file at index of File1, or the next one when there is no
    // item at index; false when neither could be played.
    bool subScanPlayItem(int index);

    // File utilities (Workspace_FileUtil.cpp): copy, paste and delete song
    // files of the folder on display.
    void mnuCopyFile_Click();
    void mnuPasteFile_Click();
    void mnuDelete_Click();

    // Level tools (WorkspaceLevels.cpp), at the end of the playlist menu.
    WorkspaceLevels *levels() const { return m_levels; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    bool event(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    // A control's twips geometry, applied (and applied again, should the
    // scale change while the window is made) by placeControls.
    struct Placement
    {
        enum Kind { Geometry, Size, TextBoxWidth, Picture };
        QWidget *widget;
        QRect twips;
        Kind kind;
    };
    void place(QWidget *widget, const QRect &twips, Placement::Kind kind = Placement::Geometry);
    void placeControls();
    double neededScale() const;
    void chooseScale();
    QGroupBox *frame(const QString &name, const QString &caption, const QRect &twips);
    QPushButton *edgeButton(const char *name, const QString &caption, const QRect &twips);
    void moveLeft(QWidget *frame, int twips);
    // Controls of a parked panel stay out of the Tab order until it slides in.
    static void setTabReachable(QWidget *panel, bool reachable);
    bool handleListKey(QObject *watched, QEvent *event);
    void buildPreviewPanel();
    void buildRecordPanel();
    void buildLengthStrip();
    void buildPlaylists();
    void buildEdgeButtons();
    void buildDriveList();
    void buildFileMenu();
    void sideTimeCalc(int side);
    void setSideLength(qint64 seconds);
    void optLength_Click(int option);
    void OptUSR_Click();
    void txtUsrTapeLength_Change();
    void txtOneSecondDelay_Change();
    // Measures paths off the UI thread and appends them in order; a refused
    // song ends a drop (stopAtRefusal), not a selection.
    void addSongs(const QStringList &paths, bool stopAtRefusal);
    bool addMeasuredSong(const QString &fullPath, double seconds, const QString &error);
    void updateFileMenu();
    void setToolTips();
    void slideSwap(QWidget *front, QWidget *back, bool showAndHide);
    int songDelayMs() const;
    void setUpDeckOutput();
    void planRecording(int side, const QList<double> &gains);
    void deckStarted(quint64 serial);
    void deckFinished(quint64 serial);
    void deckFailed(quint64 serial, const QString &error);
    void deckLost(const QString &why);
    void apply(const QList<tv::core::RecordingAction> &actions);
    void showHeardEntry();
    void showCdTrackTime();
    void holdOutput(bool hold);
    void dropPlan();
    void showCompletion();
    QString entryPath(int planIndex) const;
    void connectPlayers();
    void buildPlaylistMenu();
    void connectCdDamageReports();
    QHash<QString, QString> m_cdDamageNotes; // track file -> what of it could not be read
    QString entryPathAt(int side, int index) const;
    tv::core::PlaylistContent playlistContent() const;
    QList<qint64> songSeconds(int side) const;
    // The song delay in whole seconds, as the read-outs count it.
    qint64 delaySecondsAsCounted() const;
    void markSongsPastTheEnd(int side, qint64 delaySeconds);
    // For the record question: an over-full side's songs and time past the end.
    QString pastTheEndLine(int side) const;
    // A MiniDisc side of more entries than the disc holds tracks: the
    // read-out's addition, and the record question's line.
    QString trackLimitText(int entries) const;
    // The side's length as the deck records it: a MiniDisc's in its mode.
    qint64 sideLengthAsRecorded() const;
    // What of it the songs and their silences may fill: less the cassette's
    // lead-in, the silence recorded while the leader passes the head.
    qint64 sideLengthForSongs() const;
    qint64 leadInSeconds() const { return isCassette() ? m_leadInSeconds : 0; }
    void setLeadInSeconds(qint64 seconds);
    qint64 m_leadInSeconds = 0;
    // "[ fits in LP2 ]" when a MiniDisc side fits only in a longer mode.
    QString longerModeText(qint64 used) const;
    void setMiniDiscMode(tv::core::MiniDiscMode mode);
    tv::core::MiniDiscMode m_miniDiscMode = tv::core::MiniDiscMode::SP;
    QString trackLimitLine(int side) const;
    void buildSidePlanningItems();
    void moveSideSplit(qsizetype onA);
    QAction *m_mnuBalanceSides = nullptr;
    QAction *m_mnuFillSideAFirst = nullptr;
    void markPlaylistsSaved();
    void tellOfSideBLeftOut(const QByteArray &bytes, const QString &title);
    QByteArray m_savedPlaylists; // the playlists' file bytes when last saved or loaded
    // Panel animations let window events run between their steps; a close
    // that arrives meanwhile waits until the last running animation ends.
    class AnimationScope;
    friend class AnimationScope;

    const MediumProfile &m_profile;
    tv::controls::FormScale m_scale;
    QList<Placement> m_placements;
    QHash<const QWidget *, int> m_leftTwips; // the sliding frames
    int m_heightTwips = 4380;                // the window's height as the animations step it
    int m_driveListTop = 4100;               // cmdDriveList's top; its frame's top follows
    int m_driveFrameTop = 4280;
    qint64 m_intTimeA = 0;
    qint64 m_intTimeB = 0;
    QString m_lastDrive;
    QHash<QString, QString> m_driveFolders; // drive root -> its current folder
    bool m_addingSongs = false;
    QStringList m_songsToAddNext; // asked for while adding

    QGroupBox *m_frmPlayMp3 = nullptr;
    tv::media::MediaControlBar *m_MPlayer = nullptr;
    QLabel *m_txtPlayControlsCover = nullptr;
    tv::media::MediaPlayer *m_MplayerSongTime = nullptr;
    QLabel *m_Label1 = nullptr;
    tv::media::CdControlBar *m_MCD = nullptr;
    tv::media::CdAudioDevice *m_MCDtime = nullptr;
    QLabel *m_MCDlabel = nullptr;

    QPushButton *m_cmdMixer = nullptr;
    QPushButton *m_cmdPrevRec = nullptr;
    QPushButton *m_cmdTapeSide = nullptr;
    QPushButton *m_cmdHelp = nullptr;
    QPushButton *m_cmdTapeSideList = nullptr;
    QLabel *m_Picture1 = nullptr;
    bool m_commandLineDone = false;
    int m_animations = 0;              // panel animations running (they may nest)
    bool m_closeAfterAnimation = false; // a close came during one
    QFrame *m_picScan = nullptr;
    tv::media::AudioOutput *m_deck = nullptr; // the one stream to the deck, shared by MPlayer and MCD
    // The recording: its session, and the plan it runs over (one serial and
    // the entry's text per entry; empty when no recording runs).
    tv::core::RecordingSession m_session;
    QList<quint64> m_planSerials;
    QStringList m_planEntries;
    int m_recordSide = -1;
    int m_stoppedSide = 0;   // the side a Stop or a fault ended, for its message
    int m_heardEntry = -1;   // the plan's entry heard now
    QString m_recordingError;
    QTimer *m_cdTrackClock = nullptr; // the CD label's time while a recording plays a track

    QGroupBox *m_frmRecordMp3 = nullptr;
    QLabel *m_lblRecordSide[2] = {};
    QPushButton *m_cmdRecordSide[2] = {};
    QPushButton *m_cmdPause = nullptr;
    QPushButton *m_cmdStop = nullptr;
    QLabel *m_lblStatus = nullptr;

    QGroupBox *m_frmTapeLength = nullptr;
    QList<QRadioButton *> m_lengthOptions;
    QRadioButton *m_OptUSR = nullptr;
    QLineEdit *m_txtUsrTapeLength = nullptr;
    QLineEdit *m_txtOneSecondDelay = nullptr;
    QLabel *m_Label3 = nullptr;

    QWidget *m_playlistArea = nullptr;
    QGroupBox *m_frmTapeSide[2] = {};
    tv::controls::PlayListBox *m_lstPlayList[2] = {};
    QLabel *m_lblInfo[2] = {};
    QPushButton *m_cmdPrint[2] = {};
    QPushButton *m_cmdUp[2] = {};
    QPushButton *m_cmdDown[2] = {};
    QPushButton *m_cmdDelete[2] = {};

    QPushButton *m_cmdDriveList = nullptr;
    QGroupBox *m_frmDriveList = nullptr;
    tv::controls::DriveListBox *m_Drive1 = nullptr;
    tv::controls::FolderListBox *m_Dir1 = nullptr;
    tv::controls::FileListBox *m_File1 = nullptr;
    QLabel *m_Label2 = nullptr;
    QPushButton *m_cmdDummyFocus = nullptr;

    QMenu *m_mnuPlayFile = nullptr;
    QAction *m_mnuPlay = nullptr;
    QAction *m_mnuAdd = nullptr;
    QAction *m_mnuCopyFile = nullptr;
    QAction *m_mnuPasteFile = nullptr;
    QAction *m_mnuDelete = nullptr;
    QAction *m_mnuRefresh = nullptr;

    QMenu *m_mnuPlayList = nullptr;
    QAction *m_mnuPlayListPlay = nullptr;
    QAction *m_mnuPlayListDelete = nullptr;
    QAction *m_mnuPlayListSave = nullptr;
    QAction *m_mnuPlayListLoad = nullptr;
    QAction *m_mnuPlayListClear = nullptr;

    // Scan and file utilities
    void buildScan();
    void connectFileUtilities();
    void setScanIndicator(bool running);
    bool scanPlayOne(int index);
    void endScanQuietly();
    void advanceScan();
    bool scanFileAt(int index, ScanChain::File &file) const;
    void planScanAhead();
    void scanFileHeard(quint64 serial);
    QPushButton *m_cmdScan = nullptr;
    QTimer *m_tmrScan = nullptr;
    std::unique_ptr<ScanChain> m_scanChain;
    QStringList m_strCopyFiles; // names only, in the order of the file list
    QString m_strCopyPath;      // the folder the names belong to

    friend class WorkspaceLevels;
    WorkspaceLevels *m_levels = nullptr;
};

} // namespace tv::workspace
