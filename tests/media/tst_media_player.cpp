// The media player against the private sound server: play-state events, the
// end of a song when it has been heard, pause, stop, replacing, errors, and
// what "the deck" records.
#include "Deck.h"
#include "Fixtures.h"
#include "MediaControlBar.h"
#include "MediaPlayer.h"
#include "ToneSource.h"
#include "output/AudioOutput.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <atomic>
#include <csignal>
#include <thread>

using tv::media::MediaPlayer;
using tv::test::Deck;
using tv::test::MediaFixtures;

namespace {

using Change = QPair<int, int>;

// The first frames of a 440 Hz tone at -6 dBFS, made in memory: ready the
// moment it is asked for, long before a new stream to the sound server is.
class ShortTone final : public tv::media::AudioSource
{
public:
    explicit ShortTone(qint64 frames) : m_left(frames) {}
    qint64 readFrames(qint16 *out, qint64 maxFrames) override
    {
        const qint64 n = m_tone.readFrames(out, std::min(maxFrames, m_left));
        m_left -= std::max<qint64>(n, 0);
        return n;
    }
    bool seekMs(qint64) override { return false; }
    QString errorText() const override { return {}; }

private:
    tv::levels::ToneSource m_tone{-6.0, 440};
    qint64 m_left;
};

QList<Change> changes(const QSignalSpy &spy)
{
    QList<Change> list;
    for (const QList<QVariant> &args : spy)
        list.append({args.at(0).toInt(), args.at(1).toInt()});
    return list;
}

// Each row a new output and a new stream: the song may be decoded before or
// after the stream is ready, and is heard whole either way.
void newStreamRows()
{
    QTest::addColumn<int>("row");
    for (int row = 1; row <= 3; ++row)
        QTest::addRow("new stream %d", row) << row;
}

} // namespace

class MediaPlayerTest : public QObject
{
    Q_OBJECT

    QString fx(const char *name) { return MediaFixtures::instance().path(QLatin1String(name)); }

private slots:
    void initTestCase()
    {
        QVERIFY2(MediaFixtures::instance().ok(), qPrintable(MediaFixtures::instance().error()));
        QVERIFY2(MediaPlayer::soundDeviceAvailable(), "no sound output: is the private PulseAudio server running?");
    }

    void play_withNobodyListening_aSleepingSinkIsNotTakenForAStall_data()
    {
        QTest::addColumn<QStringList>("songs");
        QTest::newRow("one 3 s song") << QStringList{QStringLiteral("tone3.wav")};
        QTest::newRow("two songs in turn") << QStringList{QStringLiteral("tone1.wav"), QStringLiteral("tone3.wav")};
    }
    void play_withNobodyListening_aSleepingSinkIsNotTakenForAStall()
    {
        // No deck on the sink's monitor: the null sink then wakes only as
        // often as the stream's buffer asks (about once a second), as a
        // desktop sink with timer-based scheduling may. Every song ends as
        // heard, none with the sound output's stall message.
        QFETCH(QStringList, songs);
        MediaPlayer player;
        QSignalSpy errors(&player, &MediaPlayer::error);
        for (const QString &song : songs) {
            QSignalSpy states(&player, &MediaPlayer::playStateChanged);
            QElapsedTimer clock;
            clock.start();
            player.setFileName(MediaFixtures::instance().path(song));
            const qint64 lengthMs = qint64(player.duration() * 1000);
            QVERIFY(QTest::qWaitFor([&] { return player.playState() != MediaPlayer::Playing; }, int(lengthMs) + 5000));
            QVERIFY2(errors.isEmpty(), qPrintable(player.errorDescription()));
            QCOMPARE(player.playState(), int(MediaPlayer::Stopped));
            // With nobody listening the sink renders up to a second ahead,
            // and the end is told by its clock: not much before the length.
            QVERIFY2(clock.elapsed() >= lengthMs - 1100, qPrintable(QString::number(clock.elapsed())));
        }
    }

    void play_oneSecondTone_endsWhenHeard_data() { newStreamRows(); }
    void play_oneSecondTone_endsWhenHeard()
    {
        QTemporaryDir dir;
        Deck deck;
        QVERIFY(deck.start(dir.filePath(QStringLiteral("deck.wav"))));
        MediaPlayer player;
        QSignalSpy states(&player, &MediaPlayer::playStateChanged);
        QElapsedTimer clock;
        clock.start();
        player.setFileName(fx("tone1.wav"));
        QCOMPARE(player.duration(), 1.0);
        QCOMPARE(changes(states), (QList<Change>{{6, 0}, {0, 2}}));
        QTRY_COMPARE_WITH_TIMEOUT(states.size(), 3, 5000);
        const qint64 endedAfter = clock.elapsed();
        QCOMPARE(changes(states).last(), Change(2, 0));
        QVERIFY2(endedAfter >= 950 && endedAfter <= 1500, qPrintable(QString::number(endedAfter)));
        QTest::qWait(300);
        deck.stop();
        const auto spans = Deck::soundSpans(dir.filePath(QStringLiteral("deck.wav")));
        QCOMPARE(spans.size(), 1);
        QVERIFY2(std::abs(spans.first().lengthMs() - 1000.0) <= 1.0, qPrintable(QString::number(spans.first().lengthMs())));
        QCOMPARE(states.size(), 3); // nothing more after the end
    }

    void newStream_songReadyBeforeTheStream_isHeardFromItsFirstFrame_data() { newStreamRows(); }
    void newStream_songReadyBeforeTheStream_isHeardFromItsFirstFrame()
    {
        QTemporaryDir dir;
        Deck deck;
        QVERIFY(deck.start(dir.filePath(QStringLiteral("deck.wav"))));
        tv::media::AudioOutput output;
        QSignalSpy finished(&output, &tv::media::AudioOutput::finished);
        output.plan(tv::media::AudioOutput::newSerial(), [](QString &) { return std::make_unique<ShortTone>(22050); }, 0);
        QVERIFY(finished.wait(5000));
        QTest::qWait(200);
        deck.stop();
        const auto spans = Deck::soundSpans(dir.filePath(QStringLiteral("deck.wav")));
        QCOMPARE(spans.size(), 1);
        QVERIFY2(std::abs(spans.first().lengthMs() - 500.0) <= 0.5, qPrintable(QString::number(spans.first().lengthMs())));
    }

    void play_withTheOtherCoreBusy_hasNoDropouts()
    {
        std::atomic<bool> busy{true};
        std::thread spinner([&busy] {
            volatile unsigned long long n = 0;
            while (busy)
                n = n + 1;
        });
        QTemporaryDir dir;
        Deck deck;
        QVERIFY(deck.start(dir.filePath(QStringLiteral("deck.wav"))));
        MediaPlayer player;
        player.setFileName(fx("tone3.wav"));
        QTRY_COMPARE_WITH_TIMEOUT(player.playState(), int(MediaPlayer::Stopped), 6000);
        QTest::qWait(200);
        deck.stop();
        busy = false;
        spinner.join();
        // Any gap of 2 ms or more inside the tone would split it in two.
        const auto spans = Deck::soundSpans(dir.filePath(QStringLiteral("deck.wav")), 2.0);
        QString gaps;
        for (int i = 1; i < spans.size(); ++i)
            gaps += QStringLiteral("%1 ms at %2; ").arg(spans[i].startMs - spans[i - 1].endMs).arg(spans[i - 1].endMs - spans[0].startMs);
        QVERIFY2(spans.size() == 1, qPrintable(QStringLiteral("dropouts: ") + gaps));
        QVERIFY2(std::abs(spans.first().lengthMs() - 3000.0) <= 20.0, qPrintable(QString::number(spans.first().lengthMs())));
    }

    void pause_silencesTheDeckAtOnce_resumeGoesOnFromThere()
    {
        QTemporaryDir dir;
        Deck deck;
        QVERIFY(deck.start(dir.filePath(QStringLiteral("deck.wav"))));
        MediaPlayer player;
        QSignalSpy states(&player, &MediaPlayer::playStateChanged);
        player.setFileName(fx("tone3.wav"));
        QTest::qWait(1000);
        const double heardAtPause = player.currentPosition();
        player.pause();
        QElapsedTimer paused;
        paused.start();
        QCOMPARE(player.playState(), int(MediaPlayer::Paused));
        QTest::qWait(300);
        const double pausedAt = player.currentPosition();
        QVERIFY2(pausedAt >= heardAtPause && pausedAt - heardAtPause < 0.05, qPrintable(QString::number(pausedAt - heardAtPause)));
        QTest::qWait(500);
        QCOMPARE(player.currentPosition(), pausedAt);
        const qint64 resumedAfterMs = paused.elapsed();
        player.play();
        QCOMPARE(changes(states).mid(2), (QList<Change>{{2, 1}, {1, 2}}));
        QTRY_COMPARE_WITH_TIMEOUT(changes(states).last(), Change(2, 0), 5000);
        QTest::qWait(300);
        deck.stop();
        const auto spans = Deck::soundSpans(dir.filePath(QStringLiteral("deck.wav")));
        QCOMPARE(spans.size(), 2);
        // Silent within 50 ms of the pause, not when the server's buffer ran out.
        const double beforePause = spans.at(0).lengthMs() - 1000.0 * heardAtPause;
        QVERIFY2(beforePause > -10 && beforePause < 50, qPrintable(QString::number(beforePause)));
        // Nothing lost and nothing twice but the few milliseconds of the fades.
        const double heard = spans.at(0).lengthMs() + spans.at(1).lengthMs();
        QVERIFY2(std::abs(heard - 3000.0) <= 15.0, qPrintable(QStringLiteral("heard %1 ms: %2 before the pause, %3 after it")
                                                              .arg(heard).arg(spans.at(0).lengthMs()).arg(spans.at(1).lengthMs())));
        // Heard again within 50 ms of the resume: no silence of its own was
        // left ahead of the song while it was paused.
        const double pausedMs = spans.at(1).startMs - spans.at(0).endMs;
        QVERIFY2(pausedMs > 700 && pausedMs < resumedAfterMs + 50, qPrintable(QStringLiteral("silent for %1 ms, resumed after %2 ms").arg(pausedMs).arg(resumedAfterMs)));
    }

    void frozenSoundServer_endsPlaybackWithAClearError()
    {
        // The test script's private server writes its process number here.
        QFile pidFile(qEnvironmentVariable("PULSE_RUNTIME_PATH") + QStringLiteral("/pid"));
        QVERIFY2(pidFile.open(QIODevice::ReadOnly), "the private sound server's pid file is missing");
        const pid_t server = pid_t(pidFile.readAll().trimmed().toLongLong());
        QVERIFY(server > 0);
        MediaPlayer player;
        QSignalSpy errors(&player, &MediaPlayer::error);
        player.setFileName(fx("tone10.wav"));
        QTest::qWait(500);
        QElapsedTimer frozen;
        ::kill(server, SIGSTOP);
        frozen.start();
        const bool reported = QTest::qWaitFor([&] { return errors.size() > 0; }, 4000);
        const qint64 after = frozen.elapsed();
        ::kill(server, SIGCONT);
        QVERIFY2(reported, "no error while the sound server was stopped");
        QVERIFY2(after <= 3000, qPrintable(QString::number(after)));
        QCOMPARE(player.playState(), int(MediaPlayer::Closed));
        QVERIFY2(player.errorDescription().contains(QLatin1String("sound server")), qPrintable(player.errorDescription()));
        // Once the server runs again, the next song plays.
        player.setFileName(fx("tone1.wav"));
        QTRY_COMPARE_WITH_TIMEOUT(player.playState(), int(MediaPlayer::Stopped), 5000);
        QCOMPARE(errors.size(), 1);
    }

    void stop_whilePlaying_stopsAndNeverReportsTheEnd()
    {
        MediaPlayer player;
        QSignalSpy states(&player, &MediaPlayer::playStateChanged);
        player.setFileName(fx("tone1.wav"));
        QTest::qWait(300);
        player.stop();
        QCOMPARE(player.playState(), int(MediaPlayer::Stopped));
        QCOMPARE(player.currentPosition(), 0.0);
        QTest::qWait(1500);
        QCOMPARE(changes(states), (QList<Change>{{6, 0}, {0, 2}, {2, 0}}));
        player.play(); // from the start again
        QCOMPARE(player.playState(), int(MediaPlayer::Playing));
        QTRY_COMPARE_WITH_TIMEOUT(player.playState(), int(MediaPlayer::Stopped), 3000);
    }

    void setFileName_whilePlaying_replacesTheSong()
    {
        // How soon the new song is heard needs a listener on the sink: with
        // none, a null sink renders a second ahead and is its own clock.
        QTemporaryDir dir;
        Deck deck;
        QVERIFY(deck.start(dir.filePath(QStringLiteral("deck.wav"))));
        MediaPlayer player;
        QSignalSpy states(&player, &MediaPlayer::playStateChanged);
        player.setFileName(fx("tone3.wav"));
        QTest::qWait(300);
        QElapsedTimer clock;
        clock.start();
        player.setFileName(fx("tone1.wav"));
        QCOMPARE(player.duration(), 1.0);
        QCOMPARE(player.playState(), int(MediaPlayer::Playing));
        QTRY_COMPARE_WITH_TIMEOUT(player.playState(), int(MediaPlayer::Stopped), 4000);
        QVERIFY2(clock.elapsed() < 1800, "the first song was not replaced");
        QCOMPARE(changes(states), (QList<Change>{{6, 0}, {0, 2}, {2, 0}}));
    }

    void position_advancesWhilePlaying()
    {
        QTemporaryDir dir;
        Deck deck; // the position is where a listener hears the song
        QVERIFY(deck.start(dir.filePath(QStringLiteral("deck.wav"))));
        MediaPlayer player;
        player.setFileName(fx("tone3.wav"));
        QTest::qWait(800);
        const double at = player.currentPosition();
        QVERIFY2(at > 0.4 && at < 1.0, qPrintable(QString::number(at)));
        player.setCurrentPosition(2.5);
        QTRY_VERIFY_WITH_TIMEOUT(player.currentPosition() >= 2.5, 2000);
        QTRY_COMPARE_WITH_TIMEOUT(player.playState(), int(MediaPlayer::Stopped), 3000);
    }

    void volume_readsBackWhatWasWritten()
    {
        MediaPlayer player;
        QCOMPARE(player.volume(), 0);
        player.setVolume(-1234);
        QCOMPARE(player.volume(), -1234);
        player.setVolume(-20000);
        QCOMPARE(player.volume(), -10000);
    }

    void autoStartOff_onlyOpens()
    {
        MediaPlayer measuring;
        measuring.setAutoStart(false);
        QSignalSpy states(&measuring, &MediaPlayer::playStateChanged);
        measuring.setFileName(fx("cbr-info.mp3"));
        QCOMPARE(measuring.duration(), 10.0);
        QCOMPARE(changes(states), (QList<Change>{{6, 0}}));
        QTest::qWait(200);
        QCOMPARE(measuring.playState(), int(MediaPlayer::Stopped));
    }

    void setFileName_badFile_raisesErrorLater_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("reason");
        const MediaFixtures &f = MediaFixtures::instance();
        QTest::newRow("missing") << f.path(QStringLiteral("absent.wav")) << "does not exist";
        QTest::newRow("empty") << f.write(QStringLiteral("empty.wav"), "") << "is empty";
        QTest::newRow("random bytes") << f.write(QStringLiteral("noise.mp3"), tv::test::noise(50000, 3)) << "no MPEG audio frames";
        // A file cut short plays as far as it goes; one cut before any sound does not.
        const QByteArray wav = f.read(QStringLiteral("tone1.wav"));
        QTest::newRow("wav cut before its sound") << f.write(QStringLiteral("nosound.wav"), wav.left(wav.indexOf("data") + 8)) << "no sound";
        QTest::newRow("cd track") << f.write(QStringLiteral("Track04.cda"), QByteArray(44, '\0')) << "CD track";
    }
    void setFileName_badFile_raisesErrorLater()
    {
        QFETCH(QString, path);
        QFETCH(QString, reason);
        MediaPlayer player;
        QSignalSpy errors(&player, &MediaPlayer::error);
        player.setFileName(path);
        QCOMPARE(errors.size(), 0); // never inside the write
        QCOMPARE(player.playState(), int(MediaPlayer::Closed));
        QTRY_COMPARE_WITH_TIMEOUT(errors.size(), 1, 1000);
        QVERIFY2(player.errorDescription().contains(path), qPrintable(player.errorDescription()));
        QVERIFY2(player.errorDescription().contains(reason), qPrintable(player.errorDescription()));
    }

    void error_ofAReplacedFile_isDropped()
    {
        MediaPlayer player;
        QSignalSpy errors(&player, &MediaPlayer::error);
        player.setFileName(MediaFixtures::instance().path(QStringLiteral("gone.mp3")));
        player.setFileName(fx("tone1.wav"));
        QTest::qWait(200);
        QCOMPARE(errors.size(), 0);
        player.stop();
    }

    void play_midiAndPlaylist_endAtTheirMeasuredLength_data()
    {
        QTest::addColumn<QString>("path");
        const MediaFixtures &f = MediaFixtures::instance();
        tv::test::MidiWriter midi(480);
        midi.track();
        midi.tempo(0, 375000); // 160 bpm: four quarters take 1.5 s
        midi.note(0, 69, 480 * 4);
        midi.endOfTrack(0);
        QTest::newRow("midi") << f.write(QStringLiteral("short.mid"), midi.bytes(0));
        QTest::newRow("m3u") << f.write(QStringLiteral("two.m3u"), "tone1.wav\ntone1s-noheader.mp3\n");
    }
    void play_midiAndPlaylist_endAtTheirMeasuredLength()
    {
        QFETCH(QString, path);
        QTemporaryDir dir;
        Deck deck; // the end is heard when a listener hears it
        QVERIFY(deck.start(dir.filePath(QStringLiteral("deck.wav"))));
        MediaPlayer player;
        QSignalSpy errors(&player, &MediaPlayer::error);
        QElapsedTimer clock;
        clock.start();
        player.setFileName(path);
        QVERIFY(player.duration() > 1.0);
        QCOMPARE(player.playState(), int(MediaPlayer::Playing));
        QTRY_COMPARE_WITH_TIMEOUT(player.playState(), int(MediaPlayer::Stopped), 8000);
        const double took = clock.elapsed() / 1000.0;
        QVERIFY2(errors.isEmpty(), qPrintable(player.errorDescription()));
        QVERIFY2(took >= player.duration() - 0.05 && took <= player.duration() + 0.6, qPrintable(QString::number(took)));
    }

    void play_midiWithoutSoundFont_isAClearError()
    {
        tv::test::MidiWriter midi(480);
        midi.track();
        midi.note(0, 60, 480);
        midi.endOfTrack(0);
        const QString path = MediaFixtures::instance().write(QStringLiteral("nofont.mid"), midi.bytes(0));
        qputenv("TV_SOUNDFONT", QFile::encodeName(MediaFixtures::instance().path(QStringLiteral("absent.sf2"))));
        MediaPlayer player;
        QSignalSpy errors(&player, &MediaPlayer::error);
        player.setFileName(path);
        QTRY_COMPARE_WITH_TIMEOUT(errors.size(), 1, 3000);
        qunsetenv("TV_SOUNDFONT");
        QCOMPARE(player.playState(), int(MediaPlayer::Closed));
        QVERIFY2(player.errorDescription().contains(QLatin1String("SoundFont")), qPrintable(player.errorDescription()));
        QVERIFY(player.errorDescription().contains(path));
    }

    void controlBar_buttons_driveThePlayer()
    {
        tv::media::MediaControlBar bar;
        bar.show();
        MediaPlayer *player = bar.player();
        player->setFileName(fx("tone3.wav"));
        auto *pause = bar.findChild<QToolButton *>(QStringLiteral("pause"));
        auto *play = bar.findChild<QToolButton *>(QStringLiteral("play"));
        auto *stop = bar.findChild<QToolButton *>(QStringLiteral("stop"));
        QVERIFY(pause && play && stop);
        QTRY_VERIFY(pause->isEnabled());
        pause->click();
        QCOMPARE(player->playState(), int(MediaPlayer::Paused));
        QTRY_VERIFY(play->isEnabled());
        play->click();
        QCOMPARE(player->playState(), int(MediaPlayer::Playing));
        stop->click();
        QCOMPARE(player->playState(), int(MediaPlayer::Stopped));
    }
};

QTEST_MAIN(MediaPlayerTest)
#include "tst_media_player.moc"
