// The deck check through a real sound server: a made-up deck's playback
// (fast, wobbling, rolled off) is played into the private server's null
// sink and recorded from its monitor, as a deck's line out is recorded from
// a line in; the figures read from the recording are the deck's faults.
#include "capture/AudioCapture.h"
#include "AudioFormat.h"
#include "DeckAnalysis.h"
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
    void capture_ofAFaultyDeck_readsItsFaults();
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

void TestDeckCapture::capture_ofAFaultyDeck_readsItsFaults()
{
    const DeckFaults faults{.speed = 1.0123, .wowPercent = 0.2, .flutterPercent = 0.06, .rollOffHz = 6000.0, .delaySeconds = 0.3};
    AudioCapture capture;
    QSignalSpy started(&capture, &AudioCapture::started);
    QSignalSpy captureFailed(&capture, &AudioCapture::failed);
    capture.start(kLineIn);
    QVERIFY(started.wait(5000));

    AudioOutput output;
    QSignalSpy finished(&output, &AudioOutput::finished);
    QSignalSpy failed(&output, &AudioOutput::failed);
    const quint64 serial = AudioOutput::newSerial();
    std::vector<float> deck = playThroughDeck(faults, kRate);
    output.play(serial, [&deck](QString &) { return std::make_unique<DeckSignalSource>(std::move(deck)); });
    QVERIFY(finished.wait(60000));
    QVERIFY(failed.isEmpty());
    QTest::qWait(500); // the end's last fragment on its way to us
    capture.stop();
    QVERIFY2(captureFailed.isEmpty(), captureFailed.isEmpty() ? "" : qPrintable(captureFailed.first().first().toString()));
    QCOMPARE(capture.overruns(), 0);

    const DeckReport report = analyseDeckCapture(capture.samples(), kRate);
    QVERIFY2(report.error.isEmpty(), qPrintable(report.error));
    QVERIFY2(std::abs(report.flutter.speedErrorPercent - 1.23) <= 0.01, qPrintable(QString::number(report.flutter.speedErrorPercent, 'f', 5)));
    const double weighted = tv::test::expectedWeightedPeakPercent(faults);
    QVERIFY2(std::abs(report.flutter.weightedPeakPercent - weighted) <= 0.1 * weighted,
             qPrintable(QStringLiteral("%1, want %2").arg(report.flutter.weightedPeakPercent).arg(weighted)));
    for (const ResponsePoint &p : report.response) {
        const double want = tv::test::rollOffDb(faults, p.hz * faults.speed, kLevelToneHz * faults.speed, kRate);
        QVERIFY2(std::abs(p.db - want) <= 0.3, qPrintable(QStringLiteral("%1 Hz: %2 dB, want %3").arg(p.hz).arg(p.db).arg(want)));
    }
    const double levelWant = tv::test::rollOffDb(faults, kLevelToneHz * faults.speed, 1e-6, kRate);
    QVERIFY2(std::abs(report.levelChangeDb - levelWant) <= 0.2, qPrintable(QString::number(report.levelChangeDb)));
    QVERIFY2(report.noiseFloorDbfs < -90.0, qPrintable(QString::number(report.noiseFloorDbfs)));
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
