// Recording a playlist end to end, against the private sound server: what
// "the deck" hears (order, lengths, gaps), the completion message, pause,
// stop, a song that cannot be played, and a CD track in the middle.
#include "CdControlBar.h"
#include "Deck.h"
#include "Fixtures.h"
#include "FileListBox.h"
#include "MediaControlBar.h"
#include "MediaPlayer.h"
#include "MediumProfile.h"
#include "MessageBox.h"
#include "PlayListBox.h"
#include "Settings.h"
#include "Workspace.h"
#include "cd/CdTrackFolder.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QAbstractButton>
#include <QDir>
#include <QFileInfo>
#include <QAction>
#include <QSlider>
#include <QFile>
#include <QTemporaryDir>
#include <QListWidget>
#include <QTest>

#include <atomic>
#include <functional>
#include <utility>
#include <thread>
#include <vector>

using tv::test::Deck;
using tv::test::MediaFixtures;
using tv::workspace::MediumProfile;
using tv::workspace::Workspace;

class RecordingTest : public QObject
{
    Q_OBJECT
    QPointer<Workspace> m_ws;
    QList<tv::shell::MsgBoxCall> m_boxes;
    int m_answer = tv::shell::Msg::Ok; // the answer to questions (OK/Cancel, Yes/No)
    // Runs while a Yes/No question is up, as a user who answers late (the
    // window's events go on meanwhile, as under a modal box).
    std::function<void()> m_whileAsked;
    QTemporaryDir m_dir;
    Deck m_deck;

    template <typename T> T *child(const char *name) { return m_ws->findChild<T *>(QLatin1String(name)); }
    QString fx(const char *name) { return MediaFixtures::instance().path(QLatin1String(name)); }
    QString capture() const { return m_dir.filePath(QStringLiteral("deck.wav")); }
    bool finished() const
    {
        for (const auto &b : m_boxes) {
            if (b.style & tv::shell::Msg::MessageWindow)
                return true;
        }
        return false;
    }
    void open(const MediumProfile &profile)
    {
        m_ws = new Workspace(profile);
        m_ws->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_ws.data()));
        child<QRadioButton>(profile.hasSideB() ? "opt120" : "opt148")->click();
    }
    void setDelay(int seconds) { child<QLineEdit>("txtOneSecondDelay")->setText(QString::number(seconds)); }
    void record(const char *button = "cmdRecordSideA") { child<QPushButton>(button)->click(); }
    QString spansText(const QVector<Deck::Span> &spans)
    {
        QString text;
        for (const auto &s : spans)
            text += QStringLiteral("[%1..%2] ").arg(s.startMs, 0, 'f', 1).arg(s.endMs, 0, 'f', 1);
        return text;
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(MediaFixtures::instance().ok(), qPrintable(MediaFixtures::instance().error()));
        tv::shell::setMsgBoxAnswerer([this](const tv::shell::MsgBoxCall &call) {
            m_boxes.append(call);
            const int buttons = call.style & 0x0F;
            if (buttons == tv::shell::Msg::OkCancel)
                return m_answer == tv::shell::Msg::Ok ? int(tv::shell::Msg::Ok) : int(tv::shell::Msg::Cancel);
            if (buttons == tv::shell::Msg::YesNo && m_whileAsked)
                std::exchange(m_whileAsked, nullptr)();
            if (buttons == tv::shell::Msg::YesNo)
                return m_answer == tv::shell::Msg::Ok ? int(tv::shell::Msg::Yes) : int(tv::shell::Msg::No);
            return int(tv::shell::Msg::Ok);
        });
    }
    void init()
    {
        m_boxes.clear();
        m_answer = tv::shell::Msg::Ok;
        m_whileAsked = nullptr;
        open(MediumProfile::cassette());
        QVERIFY(m_deck.start(capture()));
    }
    void cleanup()
    {
        m_deck.stop();
        delete m_ws.data();
        tv::shell::saveSetting(QStringLiteral("Cassette"), QStringLiteral("LeadIn"), QStringLiteral("0"));
    }

    void record_threeSongs_inOrderWithExactGaps_data()
    {
        QTest::addColumn<int>("delay");
        QTest::newRow("delay 1 s") << 1;
        QTest::newRow("delay 0") << 0;
    }
    void record_threeSongs_inOrderWithExactGaps()
    {
        QFETCH(int, delay);
        for (const char *song : {"song-a.wav", "song-b.wav", "song-c.wav"})
            m_ws->subAddSong(fx(song));
        setDelay(delay);
        record();
        QCOMPARE(m_boxes.first().title, QStringLiteral("Begin Tape Side A Recording"));
        QCOMPARE(m_boxes.first().text,
                 QStringLiteral("A.) Insert Blank Cassette for TapeSide A and Start Recording.\r\nB.) Click OK When Ready.\r\n"
                                "C.) Music will begin playing when OK is Clicked.\r\n\r\n     (Note: Adjust Your Soundcard to the Desired Volume.)"));
        QCOMPARE(child<QLabel>("lblStatus")->text(), QStringLiteral("Recording....."));
        QVERIFY(!m_ws->close()); // no closing while it records
        // The player's own buttons and position slider cannot move the deck.
        QTRY_COMPARE_WITH_TIMEOUT(m_ws->MPlayer()->player()->playState(), int(tv::media::MediaPlayer::Playing), 2000);
        QVERIFY(m_ws->MPlayer()->transportLocked());
        for (QWidget *control : m_ws->MPlayer()->findChildren<QWidget *>())
            QVERIFY2(!control->isEnabled() || !(qobject_cast<QAbstractButton *>(control) || qobject_cast<QSlider *>(control)), qPrintable(control->objectName()));
        // The entry on the deck is the one selected in the playlist, up to the last.
        QListWidget *list = child<QListWidget>("lstPlayListA");
        QTRY_VERIFY_WITH_TIMEOUT(list->currentRow() == 2 && list->item(2)->isSelected(), 6000);
        QCOMPARE(list->selectedItems().size(), 1);
        QTRY_VERIFY_WITH_TIMEOUT(finished(), 15000);
        QCOMPARE(m_boxes.last().title, QStringLiteral("Tape Side A Recording Status"));
        QCOMPARE(m_boxes.last().text, QStringLiteral("Recording of Tape Side A Complete!"));
        QCOMPARE(child<QLabel>("lblStatus")->text(), QStringLiteral("Ready!"));
        QVERIFY(child<QPushButton>("cmdRecordSideA")->isEnabled());
        QVERIFY(!m_ws->blnRecordingA);
        QVERIFY(!m_ws->MPlayer()->transportLocked());
        QTest::qWait(200);
        m_deck.stop();

        const auto spans = Deck::soundSpans(capture(), 3);
        if (delay == 0) {
            // Delay 0 joins the songs: one stretch of sound, every frame of all three.
            QVERIFY2(spans.size() == 1, qPrintable(spansText(spans)));
            QVERIFY2(std::abs(spans[0].lengthMs() - 1900) <= 1, qPrintable(spansText(spans)));
            return;
        }
        QVERIFY2(spans.size() == 3, qPrintable(spansText(spans)));
        const double lengths[] = {600, 800, 500};
        for (int i = 0; i < 3; ++i)
            QVERIFY2(std::abs(spans[i].lengthMs() - lengths[i]) <= 1, qPrintable(spansText(spans)));
        // The silence between two songs is the song delay, as the read-out counts it.
        for (int i = 1; i < 3; ++i) {
            const double heard = spans[i].startMs - spans[i - 1].endMs;
            QVERIFY2(std::abs(heard - 1000.0 * delay) <= 1, qPrintable(QStringLiteral("gap %1 ms: ").arg(heard) + spansText(spans)));
        }
    }

    void record_leadIn_silenceBeforeTheFirstSongOnly_data()
    {
        QTest::addColumn<int>("leadIn");
        QTest::newRow("no lead-in") << 0;
        QTest::newRow("3 s lead-in") << 3;
    }
    void record_leadIn_silenceBeforeTheFirstSongOnly()
    {
        QFETCH(int, leadIn);
        child<QAction>(qPrintable(QStringLiteral("mnuLeadIn%1").arg(leadIn)))->trigger();
        m_ws->subAddSong(fx("song-a.wav"));
        m_ws->subAddSong(fx("song-b.wav"));
        setDelay(1);
        // How far the deck has got when OK starts the music (the file lags
        // the ear, never leads it).
        const double okAtMs = double(QFileInfo(capture()).size() - 44) / 4 / 44.1;
        record();
        QTRY_VERIFY_WITH_TIMEOUT(finished(), 15000);
        QTest::qWait(200);
        m_deck.stop();
        const auto spans = Deck::soundSpans(capture(), 3);
        QVERIFY2(spans.size() == 2, qPrintable(spansText(spans)));
        QVERIFY2(std::abs(spans[0].lengthMs() - 600) <= 1 && std::abs(spans[1].lengthMs() - 800) <= 1, qPrintable(spansText(spans)));
        QVERIFY2(std::abs(spans[1].startMs - spans[0].endMs - 1000) <= 1, qPrintable(spansText(spans)));
        // The first song waits the lead-in, and the sound path's own start
        // (well under half a second) only.
        const double waited = spans[0].startMs - okAtMs;
        QVERIFY2(waited >= leadIn * 1000 - 20 && waited <= leadIn * 1000 + 500,
                 qPrintable(QStringLiteral("%1 ms after OK: ").arg(waited, 0, 'f', 1) + spansText(spans)));
    }

    void record_whileTheTestKeepsBothCoresBusy_isStillExact()
    {
        // Four busy threads of the test's own take both cores from the
        // window and the decoder; what the deck hears must not change.
        std::atomic<bool> busy{true};
        std::vector<std::thread> hogs;
        for (int i = 0; i < 4; ++i) {
            hogs.emplace_back([&busy] {
                volatile unsigned long long n = 0;
                while (busy)
                    n = n + 1;
            });
        }
        for (const char *song : {"song-a.wav", "song-b.wav", "song-c.wav", "song-a.wav"})
            m_ws->subAddSong(fx(song));
        setDelay(1);
        record();
        const bool done = QTest::qWaitFor([this] { return finished(); }, 20000);
        QTest::qWait(200);
        m_deck.stop();
        busy = false;
        for (std::thread &t : hogs)
            t.join();
        QVERIFY(done);
        const auto spans = Deck::soundSpans(capture(), 100);
        QVERIFY2(spans.size() == 4, qPrintable(spansText(spans)));
        const double lengths[] = {600, 800, 500, 600};
        for (int i = 0; i < 4; ++i)
            QVERIFY2(std::abs(spans[i].lengthMs() - lengths[i]) <= 1, qPrintable(spansText(spans)));
        for (int i = 1; i < 4; ++i)
            QVERIFY2(std::abs(spans[i].startMs - spans[i - 1].endMs - 1000) <= 1, qPrintable(spansText(spans)));
        // No silence of 3 ms or more inside any song.
        QVERIFY2(Deck::soundSpans(capture(), 3).size() == 4, qPrintable(spansText(Deck::soundSpans(capture(), 3))));
    }

    void record_oneSong_thenComplete()
    {
        m_ws->subAddSong(fx("song-b.wav"));
        setDelay(3);
        record();
        QTRY_VERIFY_WITH_TIMEOUT(finished(), 5000);
        m_deck.stop();
        const auto spans = Deck::soundSpans(capture(), 100);
        QCOMPARE(spans.size(), 1);
        QVERIFY2(std::abs(spans[0].lengthMs() - 800) <= 20, qPrintable(spansText(spans)));
    }

    void record_emptyOrCancelled_recordsNothing()
    {
        record();
        QCOMPARE(m_boxes.size(), 1);
        QCOMPARE(m_boxes[0].text, QStringLiteral("Tape Side A Playlist Empty."));
        QCOMPARE(m_boxes[0].style, int(tv::shell::Msg::Exclamation));
        m_ws->subAddSong(fx("song-a.wav"));
        m_answer = tv::shell::Msg::Cancel;
        record();
        QCOMPARE(m_boxes.last().text, QStringLiteral("Tape Side A Recording Cancelled!"));
        QVERIFY(!m_ws->blnRecordingA);
        QVERIFY(child<QPushButton>("cmdDriveList")->isEnabled());
        QCOMPARE(m_ws->MPlayer()->player()->playState(), int(tv::media::MediaPlayer::Closed));
    }

    void record_pauseAndResumeInSong2_continueTheSameSong()
    {
        for (const char *song : {"song-a.wav", "tone3.wav", "song-c.wav"})
            m_ws->subAddSong(fx(song));
        setDelay(1);
        record();
        QTRY_VERIFY_WITH_TIMEOUT(child<QLabel>("lblRecordSideA")->text().startsWith(QLatin1String("Song #2  ")), 3000);
        QTest::qWait(1000);
        child<QPushButton>("cmdPause")->click();
        QCOMPARE(m_boxes.last().text, QStringLiteral("Pause Cassette Recording?"));
        QCOMPARE(m_boxes.last().title, tv::shell::kApplicationTitle);
        QCOMPARE(child<QPushButton>("cmdPause")->text(), QStringLiteral("&Resume"));
        QCOMPARE(child<QLabel>("lblStatus")->text(), QStringLiteral("<<Paused>>"));
        QTest::qWait(1000);
        child<QPushButton>("cmdPause")->click();
        QCOMPARE(child<QPushButton>("cmdPause")->text(), QStringLiteral("&Pause"));
        QTRY_VERIFY_WITH_TIMEOUT(finished(), 8000);
        m_deck.stop();
        const auto spans = Deck::soundSpans(capture(), 100);
        QVERIFY2(spans.size() == 4, qPrintable(spansText(spans)));
        QVERIFY2(std::abs(spans[1].lengthMs() + spans[2].lengthMs() - 3000) <= 30, qPrintable(spansText(spans)));
        QVERIFY2(std::abs(spans[3].lengthMs() - 500) <= 20, qPrintable(spansText(spans)));
    }

    void stop_duringSong2_endsWithTheSidesMessage_data()
    {
        QTest::addColumn<bool>("miniDisc");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("title");
        QTest::newRow("side A") << false << "cmdRecordSideA" << "Tape Side A Recording Stopped!" << "Tape Side A Recording Status";
        QTest::newRow("side B") << false << "cmdRecordSideB" << "Tape Side B Recording Stopped!" << "Tape Side B Recording Status";
        QTest::newRow("minidisc") << true << "cmdRecordSideA" << "MiniDisc Recording Stopped!" << "MiniDisc Recording Status";
    }
    void stop_duringSong2_endsWithTheSidesMessage()
    {
        QFETCH(bool, miniDisc);
        QFETCH(QString, button);
        QFETCH(QString, text);
        QFETCH(QString, title);
        if (miniDisc) {
            delete m_ws.data();
            open(MediumProfile::miniDisc());
        }
        if (button == QLatin1String("cmdRecordSideB")) {
            m_ws->cmdTapeSide_Click(); // side B on display takes the songs
        }
        for (const char *song : {"song-a.wav", "tone3.wav", "song-c.wav"})
            m_ws->subAddSong(fx(song));
        if (button == QLatin1String("cmdRecordSideB"))
            m_ws->cmdTapeSide_Click(); // side A in view: recording B brings B back
        setDelay(0);
        record(qPrintable(button));
        QTRY_VERIFY_WITH_TIMEOUT(m_ws->MPlayer()->player()->fileName().endsWith(QLatin1String("tone3.wav")), 3000);
        QTest::qWait(300);
        child<QPushButton>("cmdStop")->click();
        QCOMPARE(m_boxes.at(m_boxes.size() - 2).text, QStringLiteral("Stop %1 Recording?").arg(miniDisc ? "MiniDisc" : "Cassette"));
        QCOMPARE(m_boxes.last().text, text);
        QCOMPARE(m_boxes.last().title, title);
        QCOMPARE(m_ws->MPlayer()->player()->playState(), int(tv::media::MediaPlayer::Stopped));
        QVERIFY(!m_ws->blnRecordingA && !m_ws->blnRecordingB);
        QTest::qWait(800);
        QVERIFY(!m_ws->MPlayer()->player()->fileName().endsWith(QLatin1String("song-c.wav")));
    }

    void silenceBetweenSongs_pauseHoldsIt_stopEndsTheRecording()
    {
        for (const char *song : {"song-a.wav", "song-b.wav", "song-c.wav"})
            m_ws->subAddSong(fx(song));
        setDelay(2);
        record();
        QTRY_VERIFY_WITH_TIMEOUT(m_ws->recordingState() == tv::core::RecordingState::Silence, 3000);
        child<QPushButton>("cmdPause")->click(); // the countdown holds
        QCOMPARE(m_boxes.last().text, QStringLiteral("Pause Cassette Recording?"));
        QCOMPARE(child<QPushButton>("cmdPause")->text(), QStringLiteral("&Resume"));
        QTest::qWait(2800);
        QVERIFY(m_ws->MPlayer()->player()->fileName().endsWith(QLatin1String("song-a.wav")));
        child<QPushButton>("cmdPause")->click(); // resumed: the rest of the silence, then song 2
        QTRY_VERIFY_WITH_TIMEOUT(m_ws->MPlayer()->player()->fileName().endsWith(QLatin1String("song-b.wav")), 4000);
        QTRY_VERIFY_WITH_TIMEOUT(m_ws->recordingState() == tv::core::RecordingState::Silence, 3000);
        child<QPushButton>("cmdStop")->click();
        QCOMPARE(m_boxes.last().text, QStringLiteral("Tape Side A Recording Stopped!"));
        QVERIFY(!m_ws->blnRecordingA);
        QTest::qWait(2600);
        QVERIFY(m_ws->MPlayer()->player()->fileName().endsWith(QLatin1String("song-b.wav"))); // song 3 never came
        QVERIFY(!finished());
    }

    void record_missingFileInTheMiddle_endsWithThePlayersMessage()
    {
        m_ws->subAddSong(fx("song-a.wav"));
        child<tv::controls::PlayListBox>("lstPlayListA")->addItem(fx("gone.wav") + QStringLiteral(" (00:01)"));
        m_ws->subAddSong(fx("song-c.wav"));
        setDelay(0);
        record();
        QTRY_VERIFY_WITH_TIMEOUT(m_boxes.last().style == int(tv::shell::Msg::Critical), 4000);
        QVERIFY(m_boxes.last().text.contains(fx("gone.wav")));
        QCOMPARE(m_boxes.last().title, QStringLiteral("The Tape Vantrel"));
        QCOMPARE(child<QLabel>("lblStatus")->text(), QStringLiteral("Ready!"));
        QVERIFY(child<QPushButton>("cmdRecordSideA")->isEnabled());
        QTest::qWait(800);
        QVERIFY(!finished());
        QVERIFY(!m_ws->MPlayer()->player()->fileName().endsWith(QLatin1String("song-c.wav")));
    }

    void record_cdTrackBetweenTwoFiles_playsThroughTheCdDevice()
    {
        QString error;
        const QString folder = tv::media::CdTrackFolder::materialise(fx("disc.cue"), error);
        QVERIFY2(!folder.isEmpty(), qPrintable(error));
        m_ws->subAddSong(fx("song-a.wav"));
        m_ws->subAddSong(folder + QStringLiteral("/Track01.cda"));
        m_ws->subAddSong(fx("song-c.wav"));
        setDelay(1);
        record();
        QTRY_VERIFY_WITH_TIMEOUT(m_ws->blnCDPlaying, 3000);
        QVERIFY(m_ws->MCD()->isHidden());
        QVERIFY(m_ws->MPlayer()->isHidden());
        QTRY_VERIFY_WITH_TIMEOUT(child<QLabel>("MCDlabel")->text().startsWith(QStringLiteral("Track [01]") + QString(73, QLatin1Char(' '))), 3000);
        QVERIFY(child<QLabel>("MCDlabel")->text().endsWith(QLatin1String(" / 00:02")));
        QVERIFY(child<QLabel>("Label1")->text().startsWith(QLatin1String("Music CD Track:   [ ")));
        QTRY_VERIFY_WITH_TIMEOUT(finished(), 10000);
        m_deck.stop();
        const auto spans = Deck::soundSpans(capture(), 100);
        QVERIFY2(spans.size() == 3, qPrintable(spansText(spans)));
        QVERIFY2(std::abs(spans[1].lengthMs() - 2000) <= 30, qPrintable(spansText(spans))); // the whole track, nothing of the next
        // A CD track follows a song, and a song a CD track, after exactly the song delay.
        QVERIFY2(std::abs(spans[1].startMs - spans[0].endMs - 1000) <= 1, qPrintable(spansText(spans)));
        QVERIFY2(std::abs(spans[2].lengthMs() - 500) <= 1, qPrintable(spansText(spans)));
        QVERIFY2(std::abs(spans[2].startMs - spans[1].endMs - 1000) <= 1, qPrintable(spansText(spans)));
    }

    void pauseAnsweredInTheSilence_holdsItUntilResume_thenTheNextSongFromItsFirstFrame()
    {
        for (const char *song : {"song-a.wav", "song-b.wav", "song-c.wav"})
            m_ws->subAddSong(fx(song));
        setDelay(2);
        record();
        QTRY_VERIFY_WITH_TIMEOUT(m_ws->recordingState() == tv::core::RecordingState::Playing && m_ws->MPlayer()->player()->currentPosition() > 0.3, 3000);
        // Asked during the first song, answered once it has ended.
        m_whileAsked = [this] { QVERIFY(QTest::qWaitFor([this] { return m_ws->recordingState() == tv::core::RecordingState::Silence; }, 3000)); };
        child<QPushButton>("cmdPause")->click();
        QCOMPARE(tv::core::toString(m_ws->recordingState()), QStringLiteral("PausedInSilence"));
        QCOMPARE(child<QLabel>("lblStatus")->text(), QStringLiteral("<<Paused>>"));
        QTest::qWait(3000); // longer than the song delay: the second song must wait
        QVERIFY(child<QLabel>("lblRecordSideA")->text().startsWith(QLatin1String("Song #1  ")));
        child<QPushButton>("cmdPause")->click();
        QCOMPARE(child<QLabel>("lblStatus")->text(), QStringLiteral("Recording....."));
        QCOMPARE(child<QPushButton>("cmdPause")->text(), QStringLiteral("&Pause"));
        QTRY_VERIFY_WITH_TIMEOUT(finished(), 10000);
        m_deck.stop();
        const auto spans = Deck::soundSpans(capture(), 3);
        QVERIFY2(spans.size() == 3, qPrintable(spansText(spans)));
        const double lengths[] = {600, 800, 500};
        for (int i = 0; i < 3; ++i)
            QVERIFY2(std::abs(spans[i].lengthMs() - lengths[i]) <= 1, qPrintable(spansText(spans)));
        // Held for the pause, less the tenth of a second a pause just after
        // a song's end waits for its last frames to be surely heard.
        QVERIFY2(spans[1].startMs - spans[0].endMs >= 2000 + 3000 - 100, qPrintable(spansText(spans)));
        QVERIFY2(std::abs(spans[2].startMs - spans[1].endMs - 2000) <= 1, qPrintable(spansText(spans)));
    }

    void faultMidSide_stopsUsable_thenTheSameSideRecordsExactly_data()
    {
        QTest::addColumn<bool>("cdImage");
        QTest::newRow("second song deleted after it was added") << false;
        QTest::newRow("CD image moved away") << true;
    }
    void faultMidSide_stopsUsable_thenTheSameSideRecordsExactly()
    {
        QFETCH(bool, cdImage);
        const QString folder = m_dir.filePath(QStringLiteral("music"));
        QVERIFY(QDir().mkpath(folder));
        QString second = folder + QStringLiteral("/second.wav");
        QString hidden = folder + QStringLiteral("/moved-away");
        if (cdImage) {
            QVERIFY(QFile::copy(fx("disc.cue"), folder + QStringLiteral("/disc.cue")));
            QVERIFY(QFile::copy(fx("disc.bin"), folder + QStringLiteral("/disc.bin")));
            QString error;
            const QString tracks = tv::media::CdTrackFolder::materialise(folder + QStringLiteral("/disc.cue"), error);
            QVERIFY2(!tracks.isEmpty(), qPrintable(error));
            second = tracks + QStringLiteral("/Track01.cda");
            m_ws->subAddSong(fx("song-a.wav"));
            m_ws->subAddSong(second);
            m_ws->subAddSong(fx("song-c.wav"));
            QVERIFY(QFile::rename(folder + QStringLiteral("/disc.bin"), hidden));
        } else {
            QVERIFY(QFile::copy(fx("song-b.wav"), second));
            m_ws->subAddSong(fx("song-a.wav"));
            m_ws->subAddSong(second);
            m_ws->subAddSong(fx("song-c.wav"));
            QVERIFY(QFile::rename(second, hidden));
        }
        QCOMPARE(child<tv::controls::PlayListBox>("lstPlayListA")->count(), 3);
        setDelay(1);
        record();
        QTRY_VERIFY_WITH_TIMEOUT(m_boxes.last().style == int(tv::shell::Msg::Critical), 6000);
        QCOMPARE(m_boxes.last().title, QStringLiteral("The Tape Vantrel"));
        // Stopped and usable: the record buttons, Stop and closing work.
        QCOMPARE(tv::core::toString(m_ws->recordingState()), QStringLiteral("Idle"));
        QCOMPARE(child<QLabel>("lblStatus")->text(), QStringLiteral("Ready!"));
        QVERIFY(child<QPushButton>("cmdRecordSideA")->isEnabled());
        QVERIFY(!m_ws->blnRecordingA);
        QTest::qWait(1500);
        QVERIFY(!finished());

        // Put back: the same side records again, as exactly as a first time.
        QVERIFY(QFile::rename(hidden, cdImage ? folder + QStringLiteral("/disc.bin") : second));
        m_deck.stop();
        QVERIFY(m_deck.start(capture()));
        m_boxes.clear();
        record();
        QTRY_VERIFY_WITH_TIMEOUT(finished(), 12000);
        QTest::qWait(100);
        m_deck.stop();
        QVERIFY2(m_boxes.size() == 2, qPrintable(m_boxes.first().text)); // the question, the completion
        // Nothing split off a song, nothing added at its end: every frame in place.
        const auto spans = Deck::soundSpans(capture(), 3);
        QVERIFY2(spans.size() == 3, qPrintable(spansText(spans)));
        const double lengths[] = {600, cdImage ? 2000.0 : 800.0, 500};
        for (int i = 0; i < 3; ++i)
            QVERIFY2(std::abs(spans[i].lengthMs() - lengths[i]) <= 1, qPrintable(spansText(spans)));
        for (int i = 1; i < 3; ++i)
            QVERIFY2(std::abs(spans[i].startMs - spans[i - 1].endMs - 1000) <= 1, qPrintable(spansText(spans)));
    }

    void preview_playsBrowserFilesAndPlaylistEntries()
    {
        QCOMPARE([] { tv::controls::FileListBox root; root.setPath(QStringLiteral("/")); return root.fullPath(QStringLiteral("a.mp3")); }(),
                 QStringLiteral("/a.mp3"));
        QString error;
        auto *files = child<tv::controls::FileListBox>("File1");
        files->setPath(MediaFixtures::instance().path(QString()));
        files->setCurrentItem(files->findItems(QStringLiteral("song-b.wav"), Qt::MatchExactly).first());
        m_ws->mnuPlay_Click();
        QCOMPARE(child<QLabel>("Label1")->text(), fx("song-b.wav"));
        QCOMPARE(m_ws->MPlayer()->player()->playState(), int(tv::media::MediaPlayer::Playing));

        m_ws->subAddSong(fx("song-a.wav"));
        auto *list = child<tv::controls::PlayListBox>("lstPlayListA");
        list->setCurrentRow(0);
        m_ws->lstPlayList_DblClick(0);
        QCOMPARE(m_ws->MPlayer()->player()->fileName(), fx("song-a.wav"));
        QCOMPARE(child<QLabel>("Label1")->text(), list->item(0)->text());

        // During a recording a double click does nothing.
        m_ws->MPlayer()->player()->stop();
        m_ws->blnRecordingA = true;
        m_ws->MPlayer()->player()->setFileName(fx("song-c.wav"));
        m_ws->lstPlayList_DblClick(0);
        QCOMPARE(m_ws->MPlayer()->player()->fileName(), fx("song-c.wav"));
        m_ws->blnRecordingA = false;
        m_ws->MPlayer()->player()->stop();
    }

    void preview_fileThePlayerCannotOpen_saysWhy()
    {
        const QString bad = MediaFixtures::instance().write(QStringLiteral("bad.wav"), "RIFF0000WAVEjunk");
        m_ws->MPlayer()->player()->setFileName(bad);
        QTRY_COMPARE(m_boxes.size(), 1);
        QCOMPARE(m_boxes.first().style, int(tv::shell::Msg::Critical));
        QCOMPARE(m_boxes.first().title, QStringLiteral("The Tape Vantrel"));
        QVERIFY(m_boxes.first().text.contains(bad));
        QVERIFY(!m_ws->MPlayer()->isHidden());
    }
};

QTEST_MAIN(RecordingTest)
#include "tst_recording.moc"
