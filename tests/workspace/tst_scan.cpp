// Scan: the beginning of each file of the file list in turn, through the
// real player and the private sound server. The scan timer is shortened
// here except in the one test that checks the real 11 s on the deck.
#include "CdControlBar.h"
#include "Deck.h"
#include "FileListBox.h"
#include "Fixtures.h"
#include "FolderListBox.h"
#include "MediaControlBar.h"
#include "MediaPlayer.h"
#include "MediumProfile.h"
#include "MessageBox.h"
#include "Workspace.h"
#include "cd/CdAudioDevice.h"
#include "cd/CdTrackFolder.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <memory>

using tv::media::MediaPlayer;
using tv::test::Deck;
using tv::test::MediaFixtures;
using tv::workspace::MediumProfile;
using tv::workspace::Workspace;

namespace {
constexpr int kShortScanMs = 400;
}

class ScanTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<Workspace> m_ws;
    std::unique_ptr<QTemporaryDir> m_dir;
    QList<tv::shell::MsgBoxCall> m_boxes;
    QString m_cdFolder;

    template <typename T> T *child(const char *name) { return m_ws->findChild<T *>(QLatin1String(name)); }
    tv::controls::FileListBox *files() { return child<tv::controls::FileListBox>("File1"); }
    QTimer *tmrScan() { return child<QTimer>("tmrScan"); }
    MediaPlayer *player() { return m_ws->MPlayer()->player(); }
    QString label1() { return child<QLabel>("Label1")->text(); }
    // The colour the indicator shows on the screen.
    QColor indicator()
    {
        auto *pic = child<QFrame>("picScan");
        const QImage image = pic->grab().toImage();
        return image.pixelColor(image.width() / 2, image.height() / 2);
    }
    void browse(const QString &path)
    {
        QString error;
        QVERIFY2(child<tv::controls::FolderListBox>("Dir1")->setPath(path, error), qPrintable(error));
    }
    // 1.wav, 2.wav, 3.wav: tones of 600, 800 and 500 ms, in list order.
    QString threeSongs()
    {
        const char *tones[] = {"song-a.wav", "song-b.wav", "song-c.wav"};
        for (int i = 0; i < 3; ++i) {
            const QString target = m_dir->filePath(QStringLiteral("%1.wav").arg(i + 1));
            if (!QFile::exists(target))
                QFile::copy(MediaFixtures::instance().path(QLatin1String(tones[i])), target);
        }
        return m_dir->path();
    }
    QString song(int number) { return m_dir->filePath(QStringLiteral("%1.wav").arg(number)); }
    // 1.wav, 2.wav, 3.wav: 4 s tones of 300, 600 and 900 Hz.
    void fourSecondSongs()
    {
        for (int i = 1; i <= 3; ++i)
            QCOMPARE(QProcess::execute(QStringLiteral("sox"), {QStringLiteral("-q"), QStringLiteral("-n"), QStringLiteral("-r"), QStringLiteral("44100"),
                                                              QStringLiteral("-c"), QStringLiteral("2"), QStringLiteral("-b"), QStringLiteral("16"),
                                                              song(i), QStringLiteral("synth"), QStringLiteral("4"), QStringLiteral("sine"),
                                                              QString::number(300 * i), QStringLiteral("vol"), QStringLiteral("0.5")}),
                     0);
    }
    void startScan(int currentRow, int intervalMs = kShortScanMs)
    {
        tmrScan()->setInterval(intervalMs);
        files()->setCurrentRow(currentRow);
        if (currentRow < 0)
            files()->setCurrentItem(nullptr);
        child<QPushButton>("cmdScan")->click();
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(MediaFixtures::instance().ok(), qPrintable(MediaFixtures::instance().error()));
        QString error;
        m_cdFolder = tv::media::CdTrackFolder::materialise(MediaFixtures::instance().path(QStringLiteral("disc.cue")), error);
        QVERIFY2(!m_cdFolder.isEmpty(), qPrintable(error));
        tv::shell::setMsgBoxAnswerer([this](const tv::shell::MsgBoxCall &call) {
            m_boxes.append(call);
            return int(tv::shell::Msg::Ok);
        });
    }
    void init()
    {
        m_boxes.clear();
        m_dir = std::make_unique<QTemporaryDir>();
        m_ws = std::make_unique<Workspace>(MediumProfile::cassette());
        m_ws->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_ws.get()));
    }
    void cleanup()
    {
        m_ws.reset();
        m_dir.reset();
    }

    void scanButton_captionTipAndInterval()
    {
        auto *scan = child<QPushButton>("cmdScan");
        QCOMPARE(scan->text(), QStringLiteral("Scan        "));
        QCOMPARE(scan->toolTip(), QStringLiteral("Plays 10 Seconds of all files listed above. Double Click to Add to Playlist."));
        QCOMPARE(tmrScan()->interval(), 11000);
        QVERIFY(!tmrScan()->isActive());
        QCOMPARE(indicator(), QColor(0, 0, 0));
    }

    void scan_emptyList_nothingHappens()
    {
        browse(m_dir->path());
        QCOMPARE(files()->count(), 0);
        child<QPushButton>("cmdScan")->click();
        QCOMPARE(indicator(), QColor(0, 0, 0));
        QVERIFY(!tmrScan()->isActive());
        QCOMPARE(player()->playState(), int(MediaPlayer::Closed));
    }

    void scan_start_playsFromTheCurrentItem_data()
    {
        QTest::addColumn<int>("currentRow");
        QTest::addColumn<int>("expected");
        QTest::newRow("no current item: the first file") << -1 << 1;
        QTest::newRow("first") << 0 << 1;
        QTest::newRow("middle") << 1 << 2;
        QTest::newRow("last") << 2 << 3;
    }
    void scan_start_playsFromTheCurrentItem()
    {
        QFETCH(int, currentRow);
        QFETCH(int, expected);
        browse(threeSongs());
        startScan(currentRow, 60000);
        QCOMPARE(indicator(), QColor(0, 255, 0));
        QVERIFY(tmrScan()->isActive());
        QCOMPARE(label1(), song(expected));
        QCOMPARE(player()->fileName(), song(expected));
        QCOMPARE(player()->playState(), int(MediaPlayer::Playing));
        QCOMPARE(files()->currentRow(), expected - 1);
        QVERIFY(files()->item(expected - 1)->isSelected());
    }

    void scan_nextFile_movesDownAndWrapsFromTheLast_data()
    {
        QTest::addColumn<int>("currentRow");
        QTest::addColumn<int>("next");
        QTest::newRow("first to second") << 0 << 2;
        QTest::newRow("second to third") << 1 << 3;
        QTest::newRow("last to first") << 2 << 1;
    }
    void scan_nextFile_movesDownAndWrapsFromTheLast()
    {
        // The next file is planned on the sound output: the window follows
        // it when it is heard, and a tick before then changes nothing.
        QFETCH(int, currentRow);
        QFETCH(int, next);
        browse(threeSongs());
        startScan(currentRow, 1500);
        m_ws->tmrScan_Timer();
        QCOMPARE(files()->currentRow(), currentRow);
        QTRY_COMPARE_WITH_TIMEOUT(player()->fileName(), song(next), 5000);
        QCOMPARE(files()->currentRow(), next - 1);
        QVERIFY(!files()->item(currentRow)->isSelected()); // the file before is deselected
        QVERIFY(files()->item(next - 1)->isSelected());
        QCOMPARE(label1(), song(next));
        QCOMPARE(player()->playState(), int(MediaPlayer::Playing));
    }

    void scan_tick_afterTheUserStoppedTheSound_playsTheNextFileAtOnce()
    {
        browse(threeSongs());
        startScan(0, 60000);
        player()->stop(); // what was planned after the song goes with it
        m_ws->tmrScan_Timer();
        QCOMPARE(player()->fileName(), song(2));
        QCOMPARE(files()->currentRow(), 1);
        QVERIFY(!files()->item(0)->isSelected());
        QCOMPARE(player()->playState(), int(MediaPlayer::Playing));
    }

    void scan_onTheLastFile_theTimerWrapsToTheFirst()
    {
        browse(threeSongs());
        // The window follows what is heard: the first beat ends after the
        // output's start-up latency, which a sink nobody listens to makes
        // up to two seconds here.
        startScan(2);
        QCOMPARE(player()->fileName(), song(3));
        QTRY_COMPARE_WITH_TIMEOUT(player()->fileName(), song(1), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(player()->fileName(), song(2), 2000);
        QTRY_COMPARE_WITH_TIMEOUT(player()->fileName(), song(3), 2000);
        QVERIFY(tmrScan()->isActive()); // the scan never stops by itself
    }

    void scan_folderAtTheRoot_hasOneSeparator()
    {
        // The root folder holds no sound files: one name is put into the
        // list, so the path built from "/" can be seen; it cannot be opened,
        // which the scan reports quietly.
        browse(QStringLiteral("/"));
        files()->clear();
        files()->addItem(QStringLiteral("tv-scan-no-such-file.wav"));
        startScan(0, 60000);
        QCOMPARE(player()->fileName(), QStringLiteral("/tv-scan-no-such-file.wav"));
        QTRY_COMPARE(label1(), QStringLiteral("Error Opening: tv-scan-no-such-file.wav"));
        QVERIFY(m_boxes.isEmpty());
        QCOMPARE(indicator(), QColor(0, 255, 0)); // the scan goes on
    }

    void scan_unplayableFile_isReportedInLabel1_andTheScanMovesOn()
    {
        threeSongs();
        QFile bad(m_dir->filePath(QStringLiteral("2.wav")));
        QVERIFY(bad.open(QIODevice::WriteOnly | QIODevice::Truncate));
        bad.write("RIFF and nothing a player could use");
        bad.close();
        browse(m_dir->path());
        startScan(1);
        QTRY_COMPARE(label1(), QStringLiteral("Error Opening: 2.wav"));
        QVERIFY(m_boxes.isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(player()->fileName(), song(3), 2000);
        QCOMPARE(player()->playState(), int(MediaPlayer::Playing));
        // Without a scan the same file gets its message box.
        child<QPushButton>("cmdScan")->click();
        player()->setFileName(song(2));
        QTRY_COMPARE(m_boxes.size(), 1);
        QCOMPARE(m_boxes.first().style, int(tv::shell::Msg::Critical));
    }

    void scan_fileRemovedAfterItWasPlanned_isReportedOnItsBeat_andTheScanGoesOn()
    {
        // The files are planned ahead on the sound output; one taken away
        // after that is silent for its beat and reported when it comes.
        browse(threeSongs());
        startScan(0, 700);
        QVERIFY(QFile::remove(song(2)));
        QTRY_COMPARE_WITH_TIMEOUT(label1(), QStringLiteral("Error Opening: 2.wav"), 15000);
        QTRY_COMPARE_WITH_TIMEOUT(player()->fileName(), song(3), 3000);
        QCOMPARE(player()->playState(), int(MediaPlayer::Playing));
        QVERIFY(m_boxes.isEmpty());
        QCOMPARE(indicator(), QColor(0, 255, 0));
    }

    void scan_folderChangedUnderIt_goesOnInTheNewList()
    {
        // What was planned from the old list gives way at its next beat.
        browse(threeSongs());
        QTemporaryDir other;
        for (const char *name : {"x.wav", "y.wav"})
            QVERIFY(QFile::copy(song(1), other.filePath(QLatin1String(name))));
        startScan(0, 700);
        browse(other.path());
        QTRY_VERIFY_WITH_TIMEOUT(player()->fileName().startsWith(other.path()), 5000);
        QCOMPARE(label1(), player()->fileName());
        QCOMPARE(files()->item(files()->currentRow())->text(), QFileInfo(player()->fileName()).fileName());
        QCOMPARE(player()->playState(), int(MediaPlayer::Playing));
    }

    void scan_folderEmptiedUnderIt_endsQuietly_andNothingPlaysOn()
    {
        // The file planned from the old folder starts, is no longer the
        // list's, and the scan ends with it: no song the window does not
        // show plays on. (A tick that finds the list empty first leaves the
        // song on show playing, as a stopped scan does.)
        fourSecondSongs();
        browse(m_dir->path());
        QTemporaryDir other, empty;
        const QString capture = other.filePath(QStringLiteral("deck.wav"));
        Deck deck;
        QVERIFY(deck.start(capture));
        QElapsedTimer sinceDeck;
        sinceDeck.start();
        startScan(0, 700);
        tmrScan()->setInterval(60000); // the next file's start, not the timer, finds the change
        QTRY_VERIFY_WITH_TIMEOUT(player()->currentPosition() > 0.1, 5000);
        browse(empty.path());
        QTRY_COMPARE_WITH_TIMEOUT(indicator(), QColor(0, 0, 0), 5000);
        const double endedMs = double(sinceDeck.elapsed());
        QTest::qWait(2500);
        deck.stop();
        QVERIFY(m_boxes.isEmpty());
        const auto spans = Deck::soundSpans(capture, 100);
        QString heard;
        for (const auto &s : spans)
            heard += QStringLiteral("[%1..%2] ").arg(s.startMs, 0, 'f', 1).arg(s.endMs, 0, 'f', 1);
        QVERIFY2(!spans.isEmpty(), qPrintable(heard));
        // Within the output's latency of the end, as a stop is.
        QVERIFY2(spans.last().endMs < endedMs + 500, qPrintable(QStringLiteral("ended at %1: ").arg(endedMs) + heard));
    }

    void scan_stop_stopsThePlayersOnlyAfterACdTrack_data()
    {
        QTest::addColumn<bool>("cdTrack");
        QTest::newRow("media file: left playing") << false;
        QTest::newRow("CD track: both players stopped") << true;
    }
    void scan_stop_stopsThePlayersOnlyAfterACdTrack()
    {
        QFETCH(bool, cdTrack);
        browse(cdTrack ? m_cdFolder : threeSongs());
        startScan(0, 60000);
        tv::media::CdAudioDevice *cd = m_ws->MCD()->device();
        if (cdTrack) {
            QTRY_VERIFY(cd->isPlaying());
            QVERIFY(cd->fileName().endsWith(QLatin1String("Track01.cda")));
            QVERIFY(!m_ws->MCD()->isHidden());
        }
        child<QPushButton>("cmdScan")->click();
        QCOMPARE(indicator(), QColor(0, 0, 0));
        QVERIFY(!tmrScan()->isActive());
        if (cdTrack) {
            QVERIFY(!cd->isPlaying());
            QVERIFY(m_ws->MCD()->isHidden());
            QVERIFY(!m_ws->MPlayer()->isHidden());
        } else {
            QCOMPARE(player()->playState(), int(MediaPlayer::Playing));
        }
    }

    void scan_stop_theSongPlaysOnWholePastItsBeat_andNothingFollows()
    {
        // Songs of 4 s of tone on a beat of 1.5 s: the deck hears the first
        // song to its end after the stop, and no other.
        QTemporaryDir other;
        fourSecondSongs();
        browse(m_dir->path());
        const QString capture = other.filePath(QStringLiteral("deck.wav"));
        Deck deck;
        QVERIFY(deck.start(capture));
        startScan(0, 1500);
        QTRY_VERIFY_WITH_TIMEOUT(player()->currentPosition() > 0.5, 5000);
        child<QPushButton>("cmdScan")->click();
        QCOMPARE(indicator(), QColor(0, 0, 0));
        QTest::qWait(5000);
        QCOMPARE(player()->fileName(), song(1));
        deck.stop();
        const auto spans = Deck::soundSpans(capture, 100);
        QString heard;
        for (const auto &s : spans)
            heard += QStringLiteral("[%1..%2] ").arg(s.startMs, 0, 'f', 1).arg(s.endMs, 0, 'f', 1);
        // Opened afresh, whole, where the listener was: the song breaks once
        // for a moment (as a seek does), a few ms may be heard twice or not
        // at all, and the next file's beat never comes.
        QVERIFY2(spans.size() == 1 || spans.size() == 2, qPrintable(heard));
        if (spans.size() == 2)
            QVERIFY2(spans[1].startMs - spans[0].endMs < 250, qPrintable(heard));
        double total = 0;
        for (const auto &s : spans)
            total += s.lengthMs();
        QVERIFY2(std::abs(total - 4000) <= 60, qPrintable(heard));
    }

    void scan_fromACdTrackToAFile_playsOneAtATime()
    {
        // A folder holding a CD track before a song.
        QVERIFY(QFile::copy(m_cdFolder + QStringLiteral("/Track01.cda"), m_dir->filePath(QStringLiteral("0-Track01.cda"))));
        QVERIFY(QFile::copy(m_cdFolder + QStringLiteral("/.source"), m_dir->filePath(QStringLiteral(".source"))));
        threeSongs();
        browse(m_dir->path());
        startScan(0, 60000);
        tv::media::CdAudioDevice *cd = m_ws->MCD()->device();
        QTRY_VERIFY(cd->isPlaying());
        m_ws->tmrScan_Timer();
        QVERIFY(!cd->isPlaying());
        QCOMPARE(player()->fileName(), song(1));
        QCOMPARE(label1(), song(1));
        QVERIFY(m_ws->MCD()->isHidden());
    }

    void clickOnTheIndicator_startsAndStopsTheScan()
    {
        browse(threeSongs());
        tmrScan()->setInterval(60000);
        auto *pic = child<QFrame>("picScan");
        QTest::mouseClick(pic, Qt::LeftButton);
        QCOMPARE(indicator(), QColor(0, 255, 0));
        QCOMPARE(player()->fileName(), song(1));
        QTest::mouseClick(pic, Qt::LeftButton);
        QCOMPARE(indicator(), QColor(0, 0, 0));
        QVERIFY(!tmrScan()->isActive());
    }

    void rightClickPlay_endsTheScanFirst()
    {
        browse(threeSongs());
        startScan(0, 60000);
        files()->setCurrentRow(2);
        m_ws->mnuPlay_Click();
        QCOMPARE(indicator(), QColor(0, 0, 0));
        QVERIFY(!tmrScan()->isActive());
        QCOMPARE(player()->fileName(), song(3));
        QCOMPARE(player()->playState(), int(MediaPlayer::Playing));
    }

    void stop_afterTheFolderLostItsFiles_stillWorks_andTheTickEndsAScanQuietly()
    {
        browse(threeSongs());
        startScan(0, 60000);
        QTemporaryDir empty;
        browse(empty.path());
        child<QPushButton>("cmdScan")->click();
        QCOMPARE(indicator(), QColor(0, 0, 0));

        browse(m_dir->path());
        startScan(0, 60000);
        browse(empty.path());
        m_ws->tmrScan_Timer();
        QCOMPARE(indicator(), QColor(0, 0, 0));
        QVERIFY(!tmrScan()->isActive());
        QVERIFY(m_boxes.isEmpty());
    }

    void playItem_retryFailsToo_endsTheScanQuietly()
    {
        browse(threeSongs());
        startScan(0, 60000);
        QVERIFY(m_ws->subScanPlayItem(-1)); // retried on the next item, the first
        QCOMPARE(player()->fileName(), song(1));
        QVERIFY(!m_ws->subScanPlayItem(3)); // past the end, and so is its retry
        QCOMPARE(indicator(), QColor(0, 0, 0));
        QVERIFY(!tmrScan()->isActive());
        QVERIFY(m_boxes.isEmpty());
    }

    void scan_isNotStartedDuringARecording()
    {
        browse(threeSongs());
        m_ws->blnRecordingA = true;
        QTest::mouseClick(child<QFrame>("picScan"), Qt::LeftButton);
        QCOMPARE(indicator(), QColor(0, 0, 0));
        QCOMPARE(player()->playState(), int(MediaPlayer::Closed));
        m_ws->blnRecordingA = false;
    }

    // The one test on the real 11 s beat: what the deck hears. Each file
    // is longer than its 11 s, as songs are, so the next one follows it
    // while it plays: a short tone at its start, then silence. The scan
    // starts while a silent preview plays, as a user's often does. The
    // files follow each other on the sound clock, so to the millisecond.
    void scan_threeFiles_eachHeardFromItsStart_elevenSecondsApart()
    {
        const int toneMs[] = {600, 800, 500};
        const int toneHz[] = {330, 550, 770};
        QTemporaryDir other;
        const auto sox = [](const QString &file, double toneSeconds, int hz, double silenceSeconds) {
            return QProcess::execute(QStringLiteral("sox"), {QStringLiteral("-q"), QStringLiteral("-n"), QStringLiteral("-r"), QStringLiteral("44100"),
                                                             QStringLiteral("-c"), QStringLiteral("2"), QStringLiteral("-b"), QStringLiteral("16"), file,
                                                             QStringLiteral("synth"), QString::number(toneSeconds), QStringLiteral("sine"),
                                                             QString::number(hz), QStringLiteral("vol"), hz ? QStringLiteral("0.5") : QStringLiteral("0"),
                                                             QStringLiteral("pad"), QStringLiteral("0"), QString::number(silenceSeconds)});
        };
        for (int i = 0; i < 3; ++i)
            QCOMPARE(sox(m_dir->filePath(QStringLiteral("long%1.wav").arg(i + 1)), toneMs[i] / 1000.0, toneHz[i], 13 - toneMs[i] / 1000.0), 0);
        const QString silence = other.filePath(QStringLiteral("silence.wav"));
        QCOMPARE(sox(silence, 1, 0, 30), 0);
        browse(m_dir->path());
        QCOMPARE(files()->count(), 3);
        const QString capture = other.filePath(QStringLiteral("deck.wav"));
        Deck deck;
        QVERIFY(deck.start(capture));
        player()->setFileName(silence);
        QTest::qWait(500);
        files()->setCurrentRow(0);
        child<QPushButton>("cmdScan")->click();
        QCOMPARE(tmrScan()->interval(), 11000);
        // A plain event loop, as the program runs: QTest's waits sleep in
        // steps and would make the timer late.
        QEventLoop loop;
        QTimer::singleShot(23500, &loop, &QEventLoop::quit);
        // A window busy for 5 s across the second file's start (measuring
        // a folder, say) must not move the beat: the plan is made ahead.
        QTimer::singleShot(10500, [] { QThread::msleep(5000); });
        loop.exec();
        QCOMPARE(player()->fileName(), m_dir->filePath(QStringLiteral("long3.wav")));
        player()->stop();
        child<QPushButton>("cmdScan")->click();
        deck.stop();
        const auto spans = Deck::soundSpans(capture, 100);
        QString heard;
        for (const auto &s : spans)
            heard += QStringLiteral("[%1..%2] ").arg(s.startMs, 0, 'f', 1).arg(s.endMs, 0, 'f', 1);
        qInfo("the deck heard %s", qPrintable(heard));
        QVERIFY2(spans.size() == 3, qPrintable(heard));
        for (int i = 0; i < 3; ++i) // each whole, so each from its start
            QVERIFY2(std::abs(spans[i].lengthMs() - toneMs[i]) <= 20, qPrintable(heard));
        for (int i = 1; i < 3; ++i)
            QVERIFY2(std::abs(spans[i].startMs - spans[i - 1].startMs - 11000) <= 1, qPrintable(heard));
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
    ScanTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_scan.moc"
