// The deck check through a real sound server: a made-up deck's playback
// (fast, wobbling, rolled off) is played into the private server's null
// sink and recorded from its monitor, as a deck's line out is recorded from
// a line in; the figures read from the recording are the deck's faults.
// Also the input's own faults: a source that is not there, a deck that
// gives nothing back.
#include "capture/AudioCapture.h"
#include "AudioFormat.h"
#include "DeckAnalysis.h"
#include "DeckCheckRun.h"
#include "DeckSignal.h"
#include "SyntheticDeck.h"
#include "output/AudioOutput.h"

#include <QSignalSpy>
#include <QTest>

#include <cmath>

using namespace tv::deck;
using tv::media::AudioCapture;
using tv::media::AudioOutput;
using tv::test::DeckFaults;

namespace {
const QByteArray kLineIn = QByteArrayLiteral("deck.monitor");
constexpr double kRate = tv::media::kSampleRate;
} // namespace

class TestDeckCapture : public QObject
{
    Q_OBJECT
private slots:
    void sources_listTheNullSinksMonitor();
    void check_ofAFaultyDeck_readsItsFaults_data();
    void check_ofAFaultyDeck_readsItsFaults();
    void check_withNothingComingBack_saysSoAndEnds();
    void capture_ofASourceThatIsNotThere_failsWithTheServersWords();
};

void TestDeckCapture::sources_listTheNullSinksMonitor()
{
    QString error;
    const QList<tv::media::CaptureSource> sources = tv::media::captureSources(&error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    const auto monitor = std::find_if(sources.begin(), sources.end(), [](const auto &s) { return s.name == kLineIn; });
    QVERIFY(monitor != sources.end());
    QVERIFY(monitor->monitor);
}

void TestDeckCapture::check_ofAFaultyDeck_readsItsFaults_data()
{
    QTest::addColumn<int>("heads");
    QTest::addRow("three heads: heard while it records") << int(DeckCheckRun::Heads::Three);
    QTest::addRow("two heads: heard when the tape is played back") << int(DeckCheckRun::Heads::Two);
}

void TestDeckCapture::check_ofAFaultyDeck_readsItsFaults()
{
    QFETCH(int, heads);
    const DeckFaults faults{.speed = 1.0123, .wowPercent = 0.2, .flutterPercent = 0.06, .rollOffHz = 6000.0, .delaySeconds = 0.3};
    const std::vector<float> deck = playThroughDeck(faults, kRate);

    DeckCheckRun run;
    QSignalSpy finished(&run, &DeckCheckRun::finished);
    QSignalSpy failed(&run, &DeckCheckRun::failed);
    QSignalSpy steps(&run, &DeckCheckRun::stepChanged);
    run.setSignal(deck);
    run.start(kLineIn, DeckCheckRun::Heads(heads));

    // The user's playback of a two-head deck: the tape, with its faults,
    // played into the same input after the recording.
    AudioOutput playback;
    if (DeckCheckRun::Heads(heads) == DeckCheckRun::Heads::Two) {
        QTRY_COMPARE_WITH_TIMEOUT(run.step(), DeckCheckRun::Step::WaitingForPlayback, 60000);
        QTest::qWait(1500); // the user presses play
        playback.play(AudioOutput::newSerial(), [deck](QString &) { return std::make_unique<DeckSignalSource>(deck); });
    }
    QVERIFY(finished.wait(90000) || !failed.isEmpty());
    QVERIFY2(failed.isEmpty(), failed.isEmpty() ? "" : qPrintable(failed.first().first().toString()));
    QCOMPARE(run.step(), DeckCheckRun::Step::Idle);

    const auto report = finished.first().first().value<DeckReport>();
    QVERIFY2(std::abs(report.flutter.speedErrorPercent - 1.23) <= 0.01, qPrintable(QString::number(report.flutter.speedErrorPercent, 'f', 5)));
    const double weighted = tv::test::expectedWeightedPeakPercent(faults);
    QVERIFY2(std::abs(report.flutter.weightedPeakPercent - weighted) <= 0.1 * weighted,
             qPrintable(QStringLiteral("%1, want %2").arg(report.flutter.weightedPeakPercent).arg(weighted)));
    QCOMPARE(report.response.size(), responseTonesHz().size());
    for (const ResponsePoint &p : report.response) {
        const double want = tv::test::rollOffDb(faults, p.hz * faults.speed, kLevelToneHz * faults.speed, kRate);
        QVERIFY2(std::abs(p.db - want) <= 0.3, qPrintable(QStringLiteral("%1 Hz: %2 dB, want %3").arg(p.hz).arg(p.db).arg(want)));
    }
    const double levelWant = tv::test::rollOffDb(faults, kLevelToneHz * faults.speed, 1e-6, kRate);
    QVERIFY2(std::abs(report.levelChangeDb - levelWant) <= 0.2, qPrintable(QString::number(report.levelChangeDb)));
    QVERIFY2(report.noiseFloorDbfs < -90.0, qPrintable(QString::number(report.noiseFloorDbfs)));
}

void TestDeckCapture::check_withNothingComingBack_saysSoAndEnds()
{
    // A deck that is not wired: the input hears nothing of the signal.
    DeckCheckRun run;
    QSignalSpy failed(&run, &DeckCheckRun::failed);
    run.setWaitLimitMs(1000, 1000);
    run.setSignal(std::vector<float>(static_cast<std::size_t>(kRate), 0.0f));
    run.start(kLineIn, DeckCheckRun::Heads::Three);
    QVERIFY(failed.wait(15000));
    QVERIFY2(failed.first().first().toString().startsWith(QLatin1String("The test signal did not come back from the deck.")),
             qPrintable(failed.first().first().toString()));
    QCOMPARE(run.step(), DeckCheckRun::Step::Idle);
}

void TestDeckCapture::capture_ofASourceThatIsNotThere_failsWithTheServersWords()
{
    AudioCapture capture;
    QSignalSpy failed(&capture, &AudioCapture::failed);
    capture.start(QByteArrayLiteral("no-such-line-in"));
    QVERIFY(failed.wait(6000));
    QCOMPARE(failed.first().first().toString(), QStringLiteral("The sound input \"no-such-line-in\" is not there."));
    QVERIFY(!capture.isRecording());
}

QTEST_GUILESS_MAIN(TestDeckCapture)
#include "tst_deck_capture.moc"
