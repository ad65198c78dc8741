// The workspace window as a whole: sliding and resizing panels, the control
// states, tool tips, closing, the command-line file, help and mixer.
#include "Fixtures.h"
#include "Forms.h"
#include "Launcher.h"
#include "MediaControlBar.h"
#include "MediaPlayer.h"
#include "MediumProfile.h"
#include "MessageBox.h"
#include "PlayListBox.h"
#include "Workspace.h"
#include "frmAbout.h"

#include <QApplication>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using tv::test::MediaFixtures;
using tv::workspace::MediumProfile;
using tv::workspace::Workspace;

class WorkspacePanelsTest : public QObject
{
    Q_OBJECT
    QPointer<Workspace> m_ws;
    QList<tv::shell::MsgBoxCall> m_boxes;
    QList<tv::shell::LaunchRequest> m_launches;

    template <typename T> T *child(const char *name) { return m_ws->findChild<T *>(QLatin1String(name)); }
    QPushButton *button(const char *name) { return child<QPushButton>(name); }
    int left(const char *name) { return child<QWidget>(name)->x(); }
    int px(int twips) const { return m_ws->formScale().px(twips); }
    void open(const MediumProfile &profile)
    {
        m_ws = new Workspace(profile);
        m_ws->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_ws.data()));
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(MediaFixtures::instance().ok(), qPrintable(MediaFixtures::instance().error()));
        tv::shell::Forms::registerForm(QStringLiteral("frmMenu"), [] { return new QWidget; });
        tv::shell::setMsgBoxAnswerer([this](const tv::shell::MsgBoxCall &call) {
            m_boxes.append(call);
            // "Save the playlists?" on closing: these tests close without saving.
            return int((call.style & 0x0F) == tv::shell::Msg::YesNoCancel ? tv::shell::Msg::No : tv::shell::Msg::Ok);
        });
        tv::shell::setStarter([this](const tv::shell::LaunchRequest &r) {
            m_launches.append(r);
            return true;
        });
    }
    void init()
    {
        m_boxes.clear();
        m_launches.clear();
        Workspace::setCommandLine(QString());
        open(MediumProfile::cassette());
    }
    void cleanup() { delete m_ws.data(); }
    void cleanupTestCase() { tv::shell::Forms::destroyAll(); }

    // Regression: closing the window while a panel animation let its events
    // run deleted the window under the animation (a segmentation fault).
    void close_duringEachAnimation_waitsForItsEndAndLeavesSafely_data()
    {
        QTest::addColumn<QString>("button");
        QTest::newRow("slide of the panels") << "cmdPrevRec";
        QTest::newRow("slide of the sides") << "cmdTapeSide";
        QTest::newRow("playlist area resize") << "cmdTapeSideList";
        QTest::newRow("drive list resize") << "cmdDriveList";
    }
    void close_duringEachAnimation_waitsForItsEndAndLeavesSafely()
    {
        QFETCH(QString, button);
        bool closedDuring = true;
        QTimer::singleShot(60, m_ws.data(), [this, &closedDuring] { closedDuring = m_ws->close(); });
        m_ws->findChild<QPushButton *>(button)->click();
        QVERIFY(!m_ws.isNull()); // still here when the animation's handler returns
        QVERIFY(!closedDuring);  // the close waited for the animation's end
        QTRY_VERIFY(m_ws.isNull());
        QVERIFY(tv::shell::Forms::find(QStringLiteral("frmMenu"))->isVisible());
    }

    void close_duringTheCommandLineSongsAnimation_isSafe()
    {
        delete m_ws.data();
        Workspace::setCommandLine(MediaFixtures::instance().path(QStringLiteral("tone3.aiff")));
        m_ws = new Workspace(MediumProfile::cassette());
        // The song is added and played, then the playlist area starts to shrink.
        QTimer::singleShot(0, m_ws.data(), [this] {
            auto *list = child<tv::controls::PlayListBox>("lstPlayListA");
            auto *poll = new QTimer(m_ws.data());
            connect(poll, &QTimer::timeout, m_ws.data(), [this, list, poll] {
                if (list->count() == 1 && !button("cmdTapeSideList")->isEnabled()) {
                    poll->stop();
                    m_ws->close();
                }
            });
            poll->start(5);
        });
        m_ws->show();
        QTRY_VERIFY_WITH_TIMEOUT(m_ws.isNull(), 5000);
    }

    void load_setsStatusAndCaptions()
    {
        QCOMPARE(child<QLabel>("lblStatus")->text(), QStringLiteral("Ready!"));
        QCOMPARE(child<QGroupBox>("frmPlayMp3")->title(), QStringLiteral("Preview Sound Files"));
        QCOMPARE(child<QGroupBox>("frmRecordMp3")->title(), QStringLiteral("Record Sound Files to Tape"));
        QCOMPARE(m_ws->windowTitle(), QStringLiteral("The Cassette Tape Vantrel"));
        QCOMPARE(left("frmPlayMp3"), px(300));
        QCOMPARE(left("frmRecordMp3"), px(6480));
        QCOMPARE(m_ws->height(), px(4380));
        QVERIFY(child<QGroupBox>("frmDriveList")->isHidden());
    }

    void setControls_recordThenStopped_followTheTable()
    {
        m_ws->blnRecordingA = true;
        child<QLabel>("Label1")->setText(QStringLiteral("song"));
        m_ws->subSetControls(QStringLiteral("record"));
        QVERIFY(m_ws->blnRecordingA);
        QVERIFY(!button("cmdRecordSideA")->isEnabled() && !button("cmdRecordSideB")->isEnabled());
        QVERIFY(!button("cmdDeleteA")->isEnabled() && !button("cmdUpB")->isEnabled() && !button("cmdDownA")->isEnabled());
        QVERIFY(!child<QGroupBox>("frmTapeLength")->isEnabled());
        QVERIFY(!child<QLabel>("txtPlayControlsCover")->isHidden());
        QCOMPARE(child<QLabel>("txtPlayControlsCover")->toolTip(), QStringLiteral("Play, Pause and Stop unavailable."));
        QCOMPARE(child<QGroupBox>("frmPlayMp3")->title(), QStringLiteral("Cassette Tape Recording In Progress . . . . . ."));
        QCOMPARE(child<QLabel>("lblStatus")->text(), QStringLiteral("Recording....."));
        QCOMPARE(child<QLabel>("Label1")->text(), QStringLiteral("song")); // unchanged
        QCOMPARE(m_ws->cursor().shape(), Qt::BitmapCursor);

        m_ws->subSetControls(QStringLiteral("stopped"));
        QVERIFY(!m_ws->blnRecordingA);
        QVERIFY(button("cmdRecordSideA")->isEnabled() && button("cmdDeleteB")->isEnabled());
        QVERIFY(child<QLabel>("Label1")->text().isEmpty());
        QVERIFY(child<QGroupBox>("frmTapeLength")->isEnabled());
        QVERIFY(child<QLabel>("txtPlayControlsCover")->isHidden());
        QCOMPARE(child<QGroupBox>("frmPlayMp3")->title(), QStringLiteral("Preview MP3, Wav and Midi Files"));
        QCOMPARE(child<QLabel>("lblStatus")->text(), QStringLiteral("Ready!"));
        QCOMPARE(m_ws->cursor().shape(), Qt::ArrowCursor);

        m_ws->subSetControls(QStringLiteral("paused")); // any other word changes nothing
        QCOMPARE(child<QLabel>("lblStatus")->text(), QStringLiteral("Ready!"));
    }

    void setControls_miniDisc_hasItsOwnCaption()
    {
        delete m_ws.data();
        open(MediumProfile::miniDisc());
        m_ws->subSetControls(QStringLiteral("record"));
        QCOMPARE(child<QGroupBox>("frmPlayMp3")->title(), QStringLiteral("MiniDisc Recording In Progress . . . . . ."));
        QCOMPARE(child<QGroupBox>("frmRecordMp3")->title(), QStringLiteral("Record Sound Files to MiniDisc"));
    }

    void close_whileRecording_isRefused_otherwiseShowsTheMenu()
    {
        m_ws->blnRecordingB = true;
        QVERIFY(!m_ws->close());
        QVERIFY(m_ws->isVisible());
        QVERIFY(m_boxes.isEmpty());
        m_ws->blnRecordingB = false;
        QVERIFY(m_ws->close());
        QVERIFY(tv::shell::Forms::find(QStringLiteral("frmMenu"))->isVisible());
        QTRY_VERIFY(m_ws.isNull()); // the next load starts afresh
    }

    void prevRec_slidesThePanels()
    {
        button("cmdPrevRec")->click();
        QCOMPARE(left("frmRecordMp3"), px(300));
        QCOMPARE(left("frmPlayMp3"), px(6500));
        QVERIFY(child<QGroupBox>("frmPlayMp3")->isVisibleTo(m_ws));
        button("cmdPrevRec")->click();
        QCOMPARE(left("frmPlayMp3"), px(300));
        QCOMPARE(left("frmRecordMp3"), px(6500));
    }

    void tapeSide_swapsTheSides_andTheListAreaShowsTheOneInView()
    {
        button("cmdTapeSide")->click();
        QCOMPARE(left("frmTapeSideB"), px(300));
        QVERIFY(child<QGroupBox>("frmTapeSideA")->isHidden());
        QVERIFY(!child<QGroupBox>("frmTapeSideB")->isHidden());
        QCOMPARE(m_ws->shownSide(), tv::workspace::Side::B);

        const int before = m_ws->height();
        button("cmdTapeSideList")->click();
        QCOMPARE(button("cmdTapeSideList")->text(), QStringLiteral("Display TapeSide Playlist"));
        QCOMPARE(m_ws->height(), px(4380 - 2000));
        QCOMPARE(button("cmdDriveList")->y(), px(2100));
        QCOMPARE(child<QWidget>("frmDriveList")->y(), px(2280));
        QVERIFY(child<QGroupBox>("frmTapeSideA")->isHidden() && child<QGroupBox>("frmTapeSideB")->isHidden());
        QVERIFY(button("cmdTapeSide")->isHidden());
        QCOMPARE(m_ws->shownSide(), tv::workspace::Side::B); // still the side last on display

        m_ws->cmdTapeSide_Click(); // nothing while the area is hidden
        QVERIFY(child<QGroupBox>("frmTapeSideB")->isHidden());

        button("cmdTapeSideList")->click();
        QCOMPARE(m_ws->height(), before);
        QCOMPARE(button("cmdDriveList")->y(), px(4100));
        QCOMPARE(child<QWidget>("frmDriveList")->y(), px(4280));
        QVERIFY(!child<QGroupBox>("frmTapeSideB")->isHidden());
        QVERIFY(child<QGroupBox>("frmTapeSideA")->isHidden());
        QCOMPARE(button("cmdTapeSideList")->text(), QStringLiteral("Hide TapeSide Playlist"));
        QVERIFY(button("cmdTapeSideList")->isEnabled() && button("cmdDriveList")->isEnabled());
    }

    void driveList_growsAndShrinksTheWindow()
    {
        const int before = m_ws->height();
        button("cmdDriveList")->click();
        QVERIFY(!child<QGroupBox>("frmDriveList")->isHidden());
        QCOMPARE(button("cmdDriveList")->text(), QStringLiteral("Hide Drive List"));
        QCOMPARE(m_ws->height(), px(4380 + 2480));
        button("cmdDriveList")->click();
        QVERIFY(child<QGroupBox>("frmDriveList")->isHidden());
        QCOMPARE(button("cmdDriveList")->text(), QStringLiteral("Display Drive List"));
        QCOMPARE(m_ws->height(), before);
    }

    void toolTips_ofBothWorkspaces_data()
    {
        QTest::addColumn<bool>("cassette");
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("tip");
        QTest::newRow("tape prevrec") << true << "cmdPrevRec" << "Click here to cycle between the Preview and the Record to Tape Windows.";
        QTest::newRow("disc prevrec") << false << "cmdPrevRec" << "Click here to cycle between the Preview and the Record to MiniDisc Windows.";
        QTest::newRow("tape length") << true << "frmTapeLength" << "Select the Length of your cassette tape. Time divided between TapeSide A and B Playlist.";
        QTest::newRow("tape opt90") << true << "opt90" << "Select the Length of cassette tape. Time is divided between TapeSide A and B Playlist.";
        QTest::newRow("disc opt80") << false << "opt80" << "Select the Length of MiniDisc.";
        QTest::newRow("disc opt148 has none") << false << "opt148" << "";
        QTest::newRow("disc usr") << false << "OptUSR" << "Enter a Custom MiniDisc Length.";
        QTest::newRow("tape side") << true << "cmdTapeSide" << "Click here to cycle between theTape Side A and Tape Side B Playlist.";
        QTest::newRow("disc list hide") << false << "cmdTapeSideList" << "Click Here to Hide the MiniDisc Playlist Windows.";
        QTest::newRow("tape list B") << true << "lstPlayListB"
                                     << "Select Files from Drive List below to create Tape Side B Playlist. List limited to Tape Side B Length.";
        QTest::newRow("disc delete") << false << "cmdDeleteA" << "Delete the currently selected File from the MiniDisc Playlist.";
        QTest::newRow("disc info") << false << "lblInfoA" << "Length of current Playlist and Time still available.";
        QTest::newRow("tape drive list") << true << "frmDriveList"
                                         << "Use Drive List to find Files then Double Click, Right Click or Drag to Tape Side A or B. Right Click to Play the Selected File.";
        QTest::newRow("help") << true << "cmdHelp" << "Click Here for Details and More Help.";
        QTest::newRow("mixer") << false << "cmdMixer" << "Sound System Mixer";
        QTest::newRow("up") << true << "cmdUpB" << "Move selected file UP in playlist.";
        QTest::newRow("pause none") << true << "cmdPause" << "";
        QTest::newRow("print tape") << true << "cmdPrint_0" << "Print Tape Case Insert";
        QTest::newRow("delay") << true << "txtOneSecondDelay" << "Inserts a ? Second Delay between songs.";
    }
    void toolTips_ofBothWorkspaces()
    {
        QFETCH(bool, cassette);
        QFETCH(QString, control);
        QFETCH(QString, tip);
        if (!cassette) {
            delete m_ws.data();
            open(MediumProfile::miniDisc());
        }
        auto *widget = m_ws->findChild<QWidget *>(control);
        QVERIFY2(widget, qPrintable(control));
        QCOMPARE(widget->toolTip(), tip);
    }

    void commandLine_song_isAddedPlayedAndThePlaylistHidden_oncePerLoad()
    {
        delete m_ws.data();
        const QString song = MediaFixtures::instance().path(QStringLiteral("tone3.aiff"));
        Workspace::setCommandLine(QLatin1Char('"') + song + QLatin1Char('"'));
        open(MediumProfile::cassette());
        auto *list = child<tv::controls::PlayListBox>("lstPlayListA");
        QTRY_COMPARE(list->count(), 1);
        QCOMPARE(list->item(0)->text(), song + QStringLiteral(" (00:03)"));
        QCOMPARE(list->currentRow(), 0);
        QTRY_COMPARE(m_ws->MPlayer()->player()->playState(), int(tv::media::MediaPlayer::Playing));
        QTRY_VERIFY(child<QGroupBox>("frmTapeSideA")->isHidden());
        // Activating the window again adds nothing.
        QWidget other;
        other.show();
        other.activateWindow();
        m_ws->activateWindow();
        QTest::qWait(200);
        QCOMPARE(list->count(), 1);
        m_ws->MPlayer()->player()->stop();
        // A fresh load takes it once more.
        delete m_ws.data();
        open(MediumProfile::cassette());
        QTRY_COMPARE(child<tv::controls::PlayListBox>("lstPlayListA")->count(), 1);
        m_ws->MPlayer()->player()->stop();
    }

    // Without a window manager a shown window need not become active: the
    // command-line song is added on show all the same, and only once.
    void commandLine_song_isAddedOnShowWithoutActivation()
    {
        delete m_ws.data();
        Workspace::setCommandLine(MediaFixtures::instance().path(QStringLiteral("tone3.aiff")));
        m_ws = new Workspace(MediumProfile::cassette());
        m_ws->setAttribute(Qt::WA_ShowWithoutActivating);
        // A desktop that never activates the new window.
        struct NoActivation : QObject
        {
            bool eventFilter(QObject *, QEvent *event) override { return event->type() == QEvent::WindowActivate; }
        } noActivation;
        m_ws->installEventFilter(&noActivation);
        auto *list = child<tv::controls::PlayListBox>("lstPlayListA");
        QTest::qWait(50);
        QCOMPARE(list->count(), 0); // loaded but not shown: nothing yet
        m_ws->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_ws.data()));
        QTRY_COMPARE(list->count(), 1);
        m_ws->removeEventFilter(&noActivation);
        m_ws->activateWindow();
        QTest::qWait(200);
        QCOMPARE(list->count(), 1);
        m_ws->MPlayer()->player()->stop();
    }

    void commandLine_otherFile_doesNothing()
    {
        delete m_ws.data();
        Workspace::setCommandLine(MediaFixtures::instance().path(QStringLiteral("disc.cue")));
        open(MediumProfile::cassette());
        QTest::qWait(100);
        QCOMPARE(child<tv::controls::PlayListBox>("lstPlayListA")->count(), 0);
        QVERIFY(!child<QGroupBox>("frmTapeSideA")->isHidden());
    }

    void mixer_startsTheFirstMixerFound_orSaysThereIsNone()
    {
        QTemporaryDir bin;
        const QByteArray oldPath = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(bin.path()));
        button("cmdMixer")->click();
        QCOMPARE(m_boxes.size(), 1);
        QVERIFY(m_boxes.first().text.contains(QLatin1String("pavucontrol")));
        QCOMPARE(m_boxes.first().title, QStringLiteral("The Tape Vantrel"));
        QFile fake(bin.filePath(QStringLiteral("pavucontrol")));
        QVERIFY(fake.open(QIODevice::WriteOnly));
        fake.write("#!/bin/sh\n");
        fake.close();
        fake.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        button("cmdMixer")->click();
        qputenv("PATH", oldPath);
        QCOMPARE(m_launches.size(), 1);
        QCOMPARE(m_launches.first().program, fake.fileName());
    }

    void help_opensTheAboutBoxModally()
    {
        bool seen = false;
        QTimer::singleShot(50, this, [&seen] {
            if (auto *about = qobject_cast<tv::shell::frmAbout *>(QApplication::activeModalWidget())) {
                seen = true;
                about->accept();
            }
        });
        button("cmdHelp")->click();
        QVERIFY(seen);
    }
};

QTEST_MAIN(WorkspacePanelsTest)
#include "tst_workspace_panels.moc"
