// The mini player: playing through the hidden cassette workspace's player
// (real sound, private sound server), Play All, the titles, the drive list
// height, dragging, the mixer, and opening and closing from the start menu.
#include "CdControlBar.h"
#include "Deck.h"
#include "DriveListBox.h"
#include "FileListBox.h"
#include "Fixtures.h"
#include "FolderListBox.h"
#include "Forms.h"
#include "Launcher.h"
#include "MediaControlBar.h"
#include "MediaPlayer.h"
#include "MessageBox.h"
#include "MiniPlayerForms.h"
#include "SongTitle.h"
#include "Twips.h"
#include "Workspace.h"
#include "WorkspaceForms.h"
#include "cd/CdAudioDevice.h"
#include "cd/CdTrackFolder.h"
#include "frmMenu.h"
#include "frmMini.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include "Module1.h"

#include <QTest>
#include <QTimer>
#include <QToolButton>

using tv::media::MediaPlayer;
using tv::miniplayer::frmMini;
using tv::shell::Forms::find;
using tv::test::MediaFixtures;
using tv::workspace::Workspace;

class MiniPlayerTest : public QObject
{
    Q_OBJECT
    QPointer<frmMini> m_mini;
    QPointer<Workspace> m_ws;
    std::unique_ptr<QTemporaryDir> m_dir;
    QList<tv::shell::MsgBoxCall> m_boxes;
    QList<tv::shell::LaunchRequest> m_launches;

    template <typename T> T *child(const char *name) { return m_mini->findChild<T *>(QLatin1String(name)); }
    tv::controls::FileListBox *files() { return child<tv::controls::FileListBox>("File1"); }
    QPushButton *button(const char *name) { return child<QPushButton>(name); }
    QCheckBox *chkAll() { return child<QCheckBox>("chkAll"); }
    MediaPlayer *player() { return m_ws->MPlayer()->player(); }
    QString song(int number) { return m_dir->filePath(QStringLiteral("%1.wav").arg(number)); }
    // 1.wav, 2.wav, 3.wav (600, 800 and 500 ms) in a folder of their own.
    QString threeSongs()
    {
        const char *tones[] = {"song-a.wav", "song-b.wav", "song-c.wav"};
        for (int i = 0; i < 3; ++i)
            QFile::copy(MediaFixtures::instance().path(QLatin1String(tones[i])), song(i + 1));
        return m_dir->path();
    }
    void browse(const QString &path)
    {
        QString error;
        QVERIFY2(child<tv::controls::FolderListBox>("Dir1")->setPath(path, error), qPrintable(error));
    }
    // Opens the mini player as the start menu does: the workspace first, unseen.
    void open()
    {
        m_ws = tv::shell::Forms::get<Workspace>(QStringLiteral("MP3DragDrop"));
        m_mini = tv::shell::Forms::get<frmMini>(QStringLiteral("frmMini"));
        QVERIFY(m_ws && m_mini);
        m_mini->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_mini.data()));
    }
    void press(const QString &buttons)
    {
        for (const QString &name : buttons.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
            button(qPrintable(QStringLiteral("cmd") + name))->click();
            QTest::qWait(50);
        }
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(MediaFixtures::instance().ok(), qPrintable(MediaFixtures::instance().error()));
        tv::workspace::registerWorkspaceForms();
        tv::miniplayer::registerMiniPlayerForm();
        tv::shell::Forms::registerForm(QStringLiteral("frmMenu"), [] { return new tv::shell::frmMenu; });
        tv::shell::setMsgBoxAnswerer([this](const tv::shell::MsgBoxCall &call) {
            m_boxes.append(call);
            return int(tv::shell::Msg::Ok);
        });
        tv::shell::setStarter([this](const tv::shell::LaunchRequest &request) {
            m_launches.append(request);
            return true;
        });
    }
    void init()
    {
        m_boxes.clear();
        m_launches.clear();
        m_dir = std::make_unique<QTemporaryDir>();
    }
    void cleanup()
    {
        if (m_mini)
            m_mini->close();
        else if (m_ws)
            m_ws->close();
        QTRY_VERIFY(!m_mini && !m_ws);
        if (QWidget *menu = find(QStringLiteral("frmMenu")))
            menu->hide();
        m_dir.reset();
    }
    void cleanupTestCase() { tv::shell::Forms::destroyAll(); }

    void songTitle_dropsTheExtension_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("title");
        QTest::newRow("mp3") << "/music/Song.mp3" << "Song";
        QTest::newRow("in the root") << "/Song.wav" << "Song";
        QTest::newRow("longer extension") << "/music/Song.aiff" << "Song";
        QTest::newRow("dots in the folder") << "/a.b/Track01.cda" << "Track01";
        QTest::newRow("dots in the name") << "/m/Live.at.Home.mp3" << "Live.at.Home";
        QTest::newRow("shorter than four") << "a.b" << "";
        QTest::newRow("empty") << "" << "";
    }
    void songTitle_dropsTheExtension()
    {
        QFETCH(QString, path);
        QFETCH(QString, title);
        QCOMPARE(tv::miniplayer::fnSongTitle(path), title);
    }

    void controls_captionsTipsAndPattern_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("tip");
        QTest::newRow("cmdPlay") << "cmdPlay" << "&Play" << "";
        QTest::newRow("cmdPause") << "cmdPause" << "Pa&use" << "";
        QTest::newRow("cmdStop") << "cmdStop" << "&Stop" << "";
        QTest::newRow("cmdMixer") << "cmdMixer" << "" << "Sound System Mixer";
        QTest::newRow("cmdFileList") << "cmdFileList" << "Display Drive List" << "";
        QTest::newRow("cmdMinimize") << "cmdMinimize" << "&Close" << "Hide Mini-Player";
        QTest::newRow("cmdDummy") << "cmdDummy" << "Command1" << "";
    }
    void controls_captionsTipsAndPattern()
    {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QString, tip);
        open();
        auto *b = button(qPrintable(name));
        QVERIFY(b);
        QCOMPARE(b->text(), caption);
        QCOMPARE(b->toolTip(), tip);
        QCOMPARE(chkAll()->text(), QStringLiteral("Play All"));
        QCOMPARE(chkAll()->toolTip(), QStringLiteral("Play All Music in File List"));
        QVERIFY(!chkAll()->isChecked());
        // The fixed list's formats first, in order; then every song format
        // the workspaces offer by default (not their CD images); CD tracks last.
        const QStringList pattern = files()->pattern().split(QLatin1Char(';'));
        const QStringList fixed = QStringLiteral("*.wav;*.snd;*.au;*.aif;*.aifc;*.aiff;*.mid;*.rmi;*.mp3;*.m3u;*.ra").split(QLatin1Char(';'));
        QStringList inOrder;
        for (const QString &p : pattern)
            if (fixed.contains(p))
                inOrder << p;
        QCOMPARE(inOrder, fixed);
        QCOMPARE(pattern.last(), QStringLiteral("*cda"));
        for (const QString &p : tv::shell::Module1::kDefaultPattern.split(QLatin1Char(';'))) {
            const bool image = p == QLatin1String("*.cue") || p == QLatin1String("*.toc") || p == QLatin1String("*.nrg");
            QVERIFY2(pattern.contains(p) != image, qPrintable(p));
        }
        QCOMPARE(child<QTimer>("Timer1")->interval(), 1000);
        QVERIFY(child<QTimer>("Timer1")->isActive());
        QVERIFY(!m_ws->isVisible()); // the workspace plays unseen
        // Light grey, as painted.
        QCOMPARE(m_mini->grab().toImage().pixelColor(2, m_mini->height() - 2), QColor(192, 192, 192));
    }

    void load_opensWhereTheWorkspaceBrowses_titleWithoutExtension()
    {
        m_ws = tv::shell::Forms::get<Workspace>(QStringLiteral("MP3DragDrop"));
        QString error;
        QVERIFY(m_ws->findChild<tv::controls::FolderListBox *>(QStringLiteral("Dir1"))->setPath(threeSongs(), error));
        player()->setFileName(song(2));
        open();
        QCOMPARE(child<QLabel>("lblSongTitle")->text(), QStringLiteral("2"));
        QVERIFY(child<QLabel>("lblSongDetails")->text().endsWith(QLatin1String(" / 00:01"))); // 0.8 s
        QCOMPARE(child<tv::controls::FolderListBox>("Dir1")->path(), m_dir->path());
        QCOMPARE(files()->count(), 3);
        // After playing, the title is the file name with its extension.
        files()->setCurrentRow(0);
        button("cmdPlay")->click();
        QCOMPARE(child<QLabel>("lblSongTitle")->text(), QStringLiteral("1.wav"));
        QCOMPARE(player()->fileName(), song(1));
    }

    void load_withAnEmptyPlayer_hasAnEmptyTitle()
    {
        open();
        QCOMPARE(child<QLabel>("lblSongTitle")->text(), QString());
        QCOMPARE(child<QLabel>("lblSongDetails")->text(), QStringLiteral("00:00 / 00:00"));
    }

    void buttons_playPauseStop_states_data()
    {
        QTest::addColumn<QString>("buttons");
        QTest::addColumn<int>("state");
        QTest::addColumn<bool>("paused");
        QTest::newRow("play") << "Play" << int(MediaPlayer::Playing) << false;
        QTest::newRow("pause with nothing playing") << "Pause" << int(MediaPlayer::Closed) << false;
        QTest::newRow("play, pause") << "Play,Pause" << int(MediaPlayer::Paused) << true;
        QTest::newRow("play, pause, pause resumes") << "Play,Pause,Pause" << int(MediaPlayer::Playing) << false;
        QTest::newRow("play, pause, play") << "Play,Pause,Play" << int(MediaPlayer::Playing) << false;
        QTest::newRow("play, stop") << "Play,Stop" << int(MediaPlayer::Stopped) << false;
        QTest::newRow("play, pause, stop") << "Play,Pause,Stop" << int(MediaPlayer::Stopped) << false;
        QTest::newRow("play, stop, pause") << "Play,Stop,Pause" << int(MediaPlayer::Stopped) << false;
    }
    void buttons_playPauseStop_states()
    {
        QFETCH(QString, buttons);
        QFETCH(int, state);
        QFETCH(bool, paused);
        open();
        browse(m_dir->path());
        QFile::copy(MediaFixtures::instance().path(QStringLiteral("tone3.wav")), m_dir->filePath(QStringLiteral("tone3.wav")));
        files()->refresh();
        files()->setCurrentRow(0);
        if (!buttons.startsWith(QLatin1String("Play")))
            files()->setCurrentItem(nullptr);
        press(buttons);
        QCOMPARE(player()->playState(), state);
        QCOMPARE(m_mini->blnPaused, paused);
        QVERIFY(child<QPushButton>("cmdDummy")->hasFocus() || !m_mini->isActiveWindow());
        QVERIFY(m_boxes.isEmpty());
    }

    void play_withNoFileChosen_doesNothing()
    {
        open();
        browse(threeSongs());
        files()->setCurrentItem(nullptr);
        button("cmdPlay")->click();
        QCOMPARE(player()->playState(), int(MediaPlayer::Closed));
        QVERIFY(player()->fileName().isEmpty());
        QVERIFY(m_boxes.isEmpty());
        // The play routine itself reports the missing file and still shows
        // the (empty) title and the read-out.
        child<QLabel>("lblSongTitle")->setText(QStringLiteral("old"));
        m_mini->subMiniPlay();
        QCOMPARE(m_boxes.size(), 1);
        QCOMPARE(m_boxes.first().text, QStringLiteral("   The following error occurred:  No file is selected."));
        QCOMPARE(m_boxes.first().style, int(tv::shell::Msg::Exclamation));
        QCOMPARE(m_boxes.first().title, tv::shell::kApplicationTitle);
        QCOMPARE(child<QLabel>("lblSongTitle")->text(), QString());
        QCOMPARE(child<QLabel>("lblSongDetails")->text(), QStringLiteral("00:00 / 00:00"));
    }

    void play_aFileInTheRoot_hasOneSeparator()
    {
        // No sound file lies in "/": a name is put into the list to see the path.
        open();
        browse(QStringLiteral("/"));
        files()->clear();
        files()->addItem(QStringLiteral("tv-mini-no-such-file.wav"));
        files()->setCurrentRow(0);
        button("cmdPlay")->click();
        QCOMPARE(player()->fileName(), QStringLiteral("/tv-mini-no-such-file.wav"));
        QTRY_COMPARE(m_boxes.size(), 1); // the workspace's own message for a file it cannot open
        QCOMPARE(m_boxes.first().title, QStringLiteral("The Tape Vantrel"));
    }

    void timer_showsPositionAndLength()
    {
        // The position is where a listener hears the song: with nobody on
        // the sink it is only the sleeping sink's clock.
        QTemporaryDir capture;
        tv::test::Deck deck;
        QVERIFY(deck.start(capture.filePath(QStringLiteral("deck.wav"))));
        open();
        QFile::copy(MediaFixtures::instance().path(QStringLiteral("tone3.wav")), m_dir->filePath(QStringLiteral("tone3.wav")));
        browse(m_dir->path());
        files()->setCurrentRow(0);
        m_mini->subMiniPlay();
        QCOMPARE(child<QLabel>("lblSongTitle")->text(), QStringLiteral("tone3.wav"));
        QTRY_COMPARE_WITH_TIMEOUT(child<QLabel>("lblSongDetails")->text(), QStringLiteral("00:01 / 00:03"), 2500);
    }

    void playAll_onTheLastFile_continuesWithTheFirst()
    {
        // Songs end when a listener has heard them, as on a sound card.
        QTemporaryDir capture;
        tv::test::Deck deck;
        QVERIFY(deck.start(capture.filePath(QStringLiteral("deck.wav"))));
        open();
        browse(threeSongs());
        files()->setCurrentRow(2);
        chkAll()->click();
        QVERIFY(chkAll()->isChecked());
        QCOMPARE(player()->fileName(), song(3));
        QTRY_COMPARE_WITH_TIMEOUT(player()->fileName(), song(1), 2500);
        QCOMPARE(m_mini->intNextSong, 0);
        QCOMPARE(files()->currentRow(), 0);
        QVERIFY(!files()->item(2)->isSelected());
        QTRY_COMPARE_WITH_TIMEOUT(player()->fileName(), song(2), 2500);
        QCOMPARE(m_mini->intNextSong, 1);
        chkAll()->click(); // unchecked: Play All ends with this song
        QVERIFY(!chkAll()->isChecked());
        QCOMPARE(m_mini->intNextSong, 0);
        QTRY_COMPARE_WITH_TIMEOUT(player()->playState(), int(MediaPlayer::Stopped), 2500);
        QTest::qWait(1200);
        QCOMPARE(player()->fileName(), song(2));
    }

    void playAll_withNoFileChosen_startsAtTheTop()
    {
        open();
        browse(threeSongs());
        files()->setCurrentItem(nullptr);
        chkAll()->click();
        QCOMPARE(player()->fileName(), song(1));
        QVERIFY(m_boxes.isEmpty());
    }

    void playAll_inAnEmptyFolder_staysUnchecked()
    {
        open();
        browse(m_dir->path());
        m_mini->intNextSong = 2;
        chkAll()->click();
        QVERIFY(!chkAll()->isChecked());
        QCOMPARE(m_mini->intNextSong, 0);
        QCOMPARE(player()->playState(), int(MediaPlayer::Closed));
    }

    void playAll_goesPastAFileThePlayerCannotOpen()
    {
        open();
        threeSongs();
        QFile bad(song(2));
        QVERIFY(bad.open(QIODevice::WriteOnly | QIODevice::Truncate));
        bad.write("not a sound");
        bad.close();
        browse(m_dir->path());
        files()->setCurrentRow(1);
        chkAll()->click();
        QTRY_COMPARE(m_boxes.size(), 1); // the workspace reports it
        QTRY_COMPARE_WITH_TIMEOUT(player()->fileName(), song(3), 2500);
        QCOMPARE(player()->playState(), int(MediaPlayer::Playing));
    }

    void playAll_letsACdTrackPlayToItsEnd()
    {
        // A track's end is where a listener hears it: with nobody on the
        // sink, the sleeping sink's clock runs ahead by up to its wake-up
        // interval, and the track would seem to end early.
        QTemporaryDir capture;
        tv::test::Deck deck;
        QVERIFY(deck.start(capture.filePath(QStringLiteral("deck.wav"))));
        open();
        QString error;
        const QString cd = tv::media::CdTrackFolder::materialise(MediaFixtures::instance().path(QStringLiteral("disc.cue")), error);
        QVERIFY2(!cd.isEmpty(), qPrintable(error));
        browse(cd);
        files()->setCurrentRow(0); // Track01.cda, 2 s
        chkAll()->click();
        tv::media::CdAudioDevice *device = m_ws->MCD()->device();
        QTRY_VERIFY(device->isPlaying());
        QTest::qWait(1500); // a tick has passed: the track plays on
        QVERIFY(device->isPlaying());
        QVERIFY(device->fileName().endsWith(QLatin1String("Track01.cda")));
        QTRY_VERIFY_WITH_TIMEOUT(device->fileName().endsWith(QLatin1String("Track02.cda")), 3500);
    }

    void fileList_togglesTheHeightBy1880Twips_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("after");
        QTest::addColumn<QString>("caption");
        QTest::newRow("hidden: grows") << frmMini::kOpenHeightTwips << frmMini::kOpenHeightTwips + 1880 << "Hide Drive List";
        QTest::newRow("shown: shrinks") << frmMini::kOpenHeightTwips + 1880 << frmMini::kOpenHeightTwips << "Display Drive List";
        QTest::newRow("exactly 1500: unchanged") << 1500 << 1500 << "Display Drive List";
    }
    void fileList_togglesTheHeightBy1880Twips()
    {
        QFETCH(int, start);
        QFETCH(int, after);
        QFETCH(QString, caption);
        open();
        QCOMPARE(m_mini->heightTwips(), frmMini::kOpenHeightTwips);
        QVERIFY(m_mini->heightTwips() < 1500);
        QVERIFY(files()->isHidden());
        m_mini->setHeightTwips(start);
        button("cmdFileList")->click();
        QCOMPARE(m_mini->heightTwips(), after);
        QCOMPARE(m_mini->height(), tv::shell::twips(m_mini, after));
        QCOMPARE(button("cmdFileList")->text(), caption);
        QVERIFY(button("cmdFileList")->isEnabled());
        QCOMPARE(files()->isVisible(), after > 1500);
        if (after > 1500) // the lists fit in the grown window
            QVERIFY(files()->geometry().bottom() < m_mini->height());
    }

    void drag_movesTheWindowByThePointerInTheControl_data()
    {
        QTest::addColumn<QString>("control");
        QTest::newRow("background") << "";
        QTest::newRow("lblSongTitle") << "lblSongTitle";
        QTest::newRow("lblSongDetails") << "lblSongDetails";
    }
    void drag_movesTheWindowByThePointerInTheControl()
    {
        QFETCH(QString, control);
        open();
        QWidget *target = control.isEmpty() ? static_cast<QWidget *>(m_mini.data()) : child<QWidget>(qPrintable(control));
        QVERIFY(target);
        m_mini->move(100, 100);
        const QPoint start = m_mini->pos();
        const QPoint at = control.isEmpty() ? QPoint(3, m_mini->height() - 3) : QPoint(5, 4);
        const auto send = [target](QEvent::Type type, QPoint pos, Qt::MouseButtons buttons) {
            QMouseEvent event(type, pos, target->mapToGlobal(pos), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons,
                              Qt::NoModifier);
            QCoreApplication::sendEvent(target, &event);
        };
        send(QEvent::MouseButtonPress, at, Qt::LeftButton);
        QVERIFY(m_mini->blnDragging);
        send(QEvent::MouseMove, at + QPoint(20, 10), Qt::LeftButton);
        QCOMPARE(m_mini->pos(), start + at + QPoint(20, 10));
        send(QEvent::MouseButtonRelease, at, Qt::NoButton);
        QVERIFY(!m_mini->blnDragging);
        const QPoint released = m_mini->pos();
        send(QEvent::MouseMove, at + QPoint(30, 30), Qt::NoButton);
        QCOMPARE(m_mini->pos(), released);
    }

    void mixer_startsTheWorkspacesMixer_orSaysThereIsNone()
    {
        open();
        QTemporaryDir bin;
        const QByteArray oldPath = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(bin.path()));
        button("cmdMixer")->click();
        QCOMPARE(m_boxes.size(), 1);
        QCOMPARE(m_boxes.first().style, int(tv::shell::Msg::Exclamation));
        QFile fake(bin.filePath(Workspace::mixerPrograms().first()));
        QVERIFY(fake.open(QIODevice::WriteOnly));
        fake.write("#!/bin/sh\n");
        fake.close();
        fake.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        button("cmdMixer")->click();
        qputenv("PATH", oldPath);
        QCOMPARE(m_launches.size(), 1);
        QCOMPARE(m_launches.first().program, fake.fileName());
        QCOMPARE(m_boxes.size(), 1);
    }

    void drive_thatCannotBeOpened_isReported_andTheOldDriveComesBack()
    {
        open();
        auto *drives = child<tv::controls::DriveListBox>("Drive1");
        const QString before = drives->drive();
        drives->addDrive(QStringLiteral("gone"), m_dir->filePath(QStringLiteral("no-such-drive")));
        drives->setCurrentIndex(drives->count() - 1);
        QCOMPARE(m_boxes.size(), 1);
        QVERIFY(m_boxes.first().text.startsWith(QLatin1String("Error: ")));
        QCOMPARE(m_boxes.first().style, int(tv::shell::Msg::Exclamation));
        QCOMPARE(drives->drive(), before);
    }

    void menu_opensTheMiniPlayer_andClosingReturnsToIt_data()
    {
        QTest::addColumn<bool>("byWindowManager");
        QTest::newRow("&Close") << false;
        QTest::newRow("the window manager's close") << true;
    }
    void menu_opensTheMiniPlayer_andClosingReturnsToIt()
    {
        QFETCH(bool, byWindowManager);
        auto *menu = tv::shell::Forms::get<tv::shell::frmMenu>(QStringLiteral("frmMenu"));
        menu->show();
        menu->findChild<QToolButton *>(QStringLiteral("cmdMiniPlayer"))->click();
        m_mini = tv::shell::Forms::find<frmMini>(QStringLiteral("frmMini"));
        m_ws = tv::shell::Forms::find<Workspace>(QStringLiteral("MP3DragDrop"));
        QVERIFY(m_mini && m_mini->isVisible());
        QVERIFY(m_ws && !m_ws->isVisible());
        QVERIFY(menu->isHidden());
        browse(threeSongs());
        files()->setCurrentRow(0);
        chkAll()->click();
        QCOMPARE(player()->playState(), int(MediaPlayer::Playing));
        const QPointer<MediaPlayer> playing = player();
        if (byWindowManager)
            QVERIFY(m_mini->close());
        else
            button("cmdMinimize")->click();
        QVERIFY(menu->isVisible());
        QVERIFY(!playing || playing->playState() != MediaPlayer::Playing);
        QTRY_VERIFY(!m_mini && !m_ws && !playing); // nothing left behind, hidden
        QVERIFY(!find(QStringLiteral("frmMini")) && !find(QStringLiteral("MP3DragDrop")));
    }
};

int main(int argc, char **argv)
{
    // Settings and the CD track folders in private folders of this test.
    QTemporaryDir home;
    if (!home.isValid())
        return 1;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(QStringLiteral("config"))));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(home.filePath(QStringLiteral("cache"))));
    QApplication app(argc, argv);
    MiniPlayerTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_mini_player.moc"
