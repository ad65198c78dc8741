// The CD device over a three-track disc image (2 s, 3 s, 2 s): the track
// folder, commands, time formats, status updates, play running on into the
// next track, and clear failures without a disc.
#include "Deck.h"
#include "Fixtures.h"
#include "cd/CdAudioDevice.h"
#include "cd/CdReadFaults.h"
#include "cd/CdTrackFolder.h"
#include "output/AudioOutput.h"

#include <QDir>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>

using tv::media::CdAudioDevice;
namespace CdTrackFolder = tv::media::CdTrackFolder;
using tv::test::MediaFixtures;

namespace {
int trackOf(quint32 tmsf) { return int(tmsf & 0xFF); }
int minutesOf(quint32 tmsf) { return int((tmsf >> 8) & 0xFF); }
int secondsOf(quint32 tmsf) { return int((tmsf >> 16) & 0xFF); }
} // namespace

class CdDeviceTest : public QObject
{
    Q_OBJECT
    QString m_folder;

    QString track(int n) const { return m_folder + QStringLiteral("/Track%1.cda").arg(n, 2, 10, QLatin1Char('0')); }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY2(MediaFixtures::instance().ok(), qPrintable(MediaFixtures::instance().error()));
        QString error;
        m_folder = CdTrackFolder::materialise(MediaFixtures::instance().path(QStringLiteral("disc.cue")), error);
        QVERIFY2(!m_folder.isEmpty(), qPrintable(error));
    }

    void cleanup() { tv::media::CdReadFaults::setInjector({}); }

    void folder_listsOneFilePerMusicTrack()
    {
        const QStringList files = QDir(m_folder).entryList({QStringLiteral("*cda")}, QDir::Files, QDir::Name);
        QCOMPARE(files, (QStringList{"Track01.cda", "Track02.cda", "Track03.cda"}));
        QFile trackFile(track(2));
        QVERIFY(trackFile.open(QIODevice::ReadOnly));
        const QByteArray bytes = trackFile.readAll();
        QCOMPARE(bytes.size(), 44);
        QVERIFY(bytes.startsWith("RIFF") && bytes.mid(8, 8) == "CDDAfmt ");
        QCOMPARE(CdTrackFolder::sourceFor(track(2)), MediaFixtures::instance().path(QStringLiteral("disc.cue")));
    }

    void trackNumber_isTheTwoCharactersBeforeTheExtension_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("number");
        QTest::newRow("Track07") << "/cd/Track07.cda" << 7;
        QTest::newRow("Track10 is ten, not one") << "/cd/Track10.cda" << 10;
        QTest::newRow("not digits") << "/cd/TrackAB.cda" << 0;
        QTest::newRow("too short") << "1.cda" << 0;
    }
    void trackNumber_isTheTwoCharactersBeforeTheExtension()
    {
        QFETCH(QString, name);
        QFETCH(int, number);
        QCOMPARE(CdTrackFolder::trackNumberOf(name), number);
    }

    void measuringSequence_givesTrackLength_data()
    {
        QTest::addColumn<bool>("silent");
        QTest::newRow("a playing device") << false;
        QTest::newRow("a silent one: nothing read, no sound output") << true;
    }
    void measuringSequence_givesTrackLength()
    {
        // Open, TMSF, To, Seek, Play, milliseconds, Track, TrackLength, Stop, Close.
        QFETCH(bool, silent);
        std::atomic<int> sectorsRead{0};
        tv::media::CdReadFaults::setInjector([&](const QString &, int) {
            ++sectorsRead;
            return false;
        });
        CdAudioDevice device;
        device.setSilent(silent);
        device.setFileName(track(2));
        QVERIFY2(device.command(QStringLiteral("Open")), qPrintable(device.errorMessage()));
        QVERIFY(device.setTimeFormat(CdAudioDevice::Tmsf));
        device.setTo(2);
        QVERIFY(device.command(QStringLiteral("Seek")));
        QVERIFY(device.command(QStringLiteral("Play")));
        QVERIFY(device.setTimeFormat(CdAudioDevice::Milliseconds));
        device.setTrack(2);
        QCOMPARE(device.trackLength(), 3000);
        device.setTrack(3);
        QCOMPARE(device.trackLength(), 2000);
        QVERIFY(device.setTimeFormat(CdAudioDevice::Tmsf));
        QCOMPARE(device.trackLength(), qint64(2 << 8)); // 0 minutes, 2 seconds, 0 frames
        QVERIFY(device.command(QStringLiteral("Stop")));
        QVERIFY(device.command(QStringLiteral("Close")));
        QVERIFY(!device.isOpen());
        if (silent) {
            QTest::qWait(300); // a read would have begun by now
            QCOMPARE(sectorsRead.load(), 0);
            QVERIFY(!device.findChild<tv::media::AudioOutput *>());
        }
    }

    void play_afterSeekToTrack2_reportsTrack2ThenRunsIntoTrack3()
    {
        QTemporaryDir dir;
        tv::test::Deck deck;
        QVERIFY(deck.start(dir.filePath(QStringLiteral("deck.wav"))));
        CdAudioDevice device;
        device.setUpdateInterval(250);
        QList<quint32> positions;
        connect(&device, &CdAudioDevice::statusUpdate, this, [&] { positions.append(device.position()); });
        device.setFileName(track(2));
        QVERIFY(device.command(QStringLiteral("Open")));
        QVERIFY(device.setTimeFormat(CdAudioDevice::Tmsf));
        device.setTo(2);
        QVERIFY(device.command(QStringLiteral("Seek")));
        QCOMPARE(trackOf(device.position()), 2);
        QVERIFY(device.command(QStringLiteral("Play")));
        QTRY_VERIFY_WITH_TIMEOUT(!positions.isEmpty() && trackOf(positions.last()) == 3, 5000);
        QVERIFY(device.command(QStringLiteral("Stop")));
        deck.stop();

        QList<int> track2Seconds;
        for (quint32 p : positions) {
            if (trackOf(p) == 2) {
                QCOMPARE(minutesOf(p), 0);
                track2Seconds.append(secondsOf(p));
            }
        }
        QVERIFY2(track2Seconds.size() >= 8, qPrintable(QString::number(track2Seconds.size())));
        QCOMPARE(track2Seconds.first(), 0);
        QVERIFY(track2Seconds.last() >= 2);
        QVERIFY(std::is_sorted(track2Seconds.begin(), track2Seconds.end()));
        const auto spans = tv::test::Deck::soundSpans(dir.filePath(QStringLiteral("deck.wav")));
        QVERIFY2(!spans.isEmpty() && spans.first().lengthMs() > 3000, "the deck heard no CD audio");
    }

    void pause_holdsPosition_stopKeepsIt()
    {
        QTemporaryDir dir;
        tv::test::Deck deck; // the position is where a listener hears the track
        QVERIFY(deck.start(dir.filePath(QStringLiteral("deck.wav"))));
        CdAudioDevice device;
        device.setFileName(track(1));
        QVERIFY(device.command(QStringLiteral("Open")));
        QVERIFY(device.setTimeFormat(CdAudioDevice::Milliseconds));
        QVERIFY(device.command(QStringLiteral("Play")));
        QTest::qWait(700);
        QVERIFY(device.command(QStringLiteral("Pause")));
        const quint32 pausedAt = device.position();
        QVERIFY2(pausedAt > 200 && pausedAt < 1000, qPrintable(QString::number(pausedAt)));
        QTest::qWait(400);
        QCOMPARE(device.position(), pausedAt);
        QVERIFY(device.command(QStringLiteral("Play")));
        QTRY_VERIFY_WITH_TIMEOUT(device.position() > pausedAt + 200, 2000);
        QVERIFY(device.command(QStringLiteral("Stop")));
        QVERIFY(!device.isPlaying());
    }

    void stopButton_isReportedBeforeTheDeviceStops()
    {
        CdAudioDevice device;
        QSignalSpy stops(&device, &CdAudioDevice::stopButtonPressed);
        QSignalSpy plays(&device, &CdAudioDevice::playButtonPressed);
        device.setFileName(track(1));
        QVERIFY(device.command(QStringLiteral("Open")));
        device.pressPlayButton();
        QCOMPARE(plays.size(), 1);
        QVERIFY(device.isPlaying());
        device.pressStopButton();
        QCOMPARE(stops.size(), 1);
        QVERIFY(!device.isPlaying());
    }

    void failures_areClearAndCatchable_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("commands");
        QTest::addColumn<QString>("message");
        QTest::newRow("seek before open") << QString() << QStringList{"Seek"} << "not open";
        QTest::newRow("unknown command") << QString() << QStringList{"Eject"} << "does not know the command";
        QTest::newRow("no such track") << "TRACK" << QStringList{"Open", "Seek"} << "Track 9 is not on this disc";
    }
    void failures_areClearAndCatchable()
    {
        QFETCH(QString, file);
        QFETCH(QStringList, commands);
        QFETCH(QString, message);
        CdAudioDevice device;
        device.setFileName(file == QLatin1String("TRACK") ? track(1) : file);
        QVERIFY(device.setTimeFormat(CdAudioDevice::Tmsf));
        device.setTo(9);
        bool ok = true;
        for (const QString &c : commands)
            ok = ok && device.command(c);
        QVERIFY(!ok);
        QVERIFY2(device.errorMessage().contains(message), qPrintable(device.errorMessage()));
    }

    void open_trackFileWithoutDisc_failsClearly()
    {
        // A track file copied from elsewhere: no ".source", and this machine has no drive
        // (or one without a disc): the device must say so, not crash.
        QTemporaryDir dir;
        QFile copy(dir.filePath(QStringLiteral("Track01.cda")));
        QVERIFY(copy.open(QIODevice::WriteOnly));
        copy.write(QByteArray(44, '\0'));
        copy.close();
        CdAudioDevice device;
        device.setFileName(copy.fileName());
        if (!tv::media::CdTrackFolder::sourceFor(copy.fileName()).isEmpty())
            QSKIP("this machine has a CD drive");
        QVERIFY(!device.command(QStringLiteral("Open")));
        QVERIFY2(device.errorMessage().contains(QLatin1String("No CD drive")), qPrintable(device.errorMessage()));
        QVERIFY(!device.setTimeFormat(3));
    }
};

QTEST_GUILESS_MAIN(CdDeviceTest)
#include "tst_cd_device.moc"
