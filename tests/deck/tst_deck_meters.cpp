// The deck check's figures from made-up decks of known faults: the flutter
// weighting against the standard's table, speed, wow and flutter, frequency
// response, level and noise floor, and a signal not heard whole.
#include "DeckAnalysis.h"
#include "DeckSignal.h"
#include "FlutterWeighting.h"
#include "SyntheticDeck.h"

#include <QTest>

#include <cmath>
#include <numbers>

using namespace tv::deck;
using tv::test::DeckFaults;

Q_DECLARE_METATYPE(DeckFaults)

namespace {
constexpr double kRate = 44100.0;
constexpr double kTrackRate = kRate / 44.0; // what the tone follower gives
} // namespace

class TestDeckMeters : public QObject
{
    Q_OBJECT
private slots:
    void weighting_meetsTheStandardsTable_data();
    void weighting_meetsTheStandardsTable();
    void weighting_filterPassesASteadyWobbleByItsResponse();
    void deck_figuresMatchItsFaults_data();
    void deck_figuresMatchItsFaults();
    void deck_signalNotHeardWhole_isSaidSo_data();
    void deck_signalNotHeardWhole_isSaidSo();
};

void TestDeckMeters::weighting_meetsTheStandardsTable_data()
{
    QTest::addColumn<double>("hz");
    QTest::addColumn<double>("db");
    QTest::addColumn<double>("below");
    QTest::addColumn<double>("above");
    for (const WeightingPoint &p : flutterWeightingTable())
        QTest::addRow("%g Hz", p.hz) << p.hz << p.db << p.tolBelowDb << p.tolAboveDb;
}

void TestDeckMeters::weighting_meetsTheStandardsTable()
{
    QFETCH(double, hz);
    QFETCH(double, db);
    QFETCH(double, below);
    QFETCH(double, above);
    const FlutterWeightingFilter filter(kTrackRate);
    const double got = filter.responseDb(hz);
    QVERIFY2(got >= db - below - 1e-9 && got <= db + above + 1e-9, qPrintable(QString::number(got)));
    // Tighter than the tolerance: the fit's own error is under half a dB.
    QVERIFY2(std::abs(got - db) < 0.5, qPrintable(QString::number(got)));
}

// The running filter (not only its formula) passes a wobble by its response.
void TestDeckMeters::weighting_filterPassesASteadyWobbleByItsResponse()
{
    for (double hz : {0.5, 4.0, 31.5, 150.0}) {
        FlutterWeightingFilter filter(kTrackRate);
        double peak = 0.0;
        const int n = static_cast<int>(40.0 * kTrackRate);
        for (int i = 0; i < n; ++i) {
            const double y = filter.process(std::sin(2.0 * std::numbers::pi * hz * i / kTrackRate));
            if (i > n / 2)
                peak = std::max(peak, std::abs(y));
        }
        QVERIFY2(std::abs(20.0 * std::log10(peak) - filter.responseDb(hz)) < 0.05, qPrintable(QString::number(hz)));
    }
}

void TestDeckMeters::deck_figuresMatchItsFaults_data()
{
    QTest::addColumn<DeckFaults>("faults");
    QTest::newRow("a perfect deck") << DeckFaults{};
    QTest::newRow("1.23 % fast") << DeckFaults{.speed = 1.0123};
    QTest::newRow("1.5 % slow, noisy, 6 dB quieter") << DeckFaults{.speed = 0.985, .gainDb = -6.0, .noiseDbfs = -55.0};
    QTest::newRow("wow 0.5 Hz") << DeckFaults{.wowPercent = 0.3};
    QTest::newRow("flutter 10 Hz") << DeckFaults{.flutterPercent = 0.08};
    QTest::newRow("wow and flutter, fast, rolled off at 8 kHz")
        << DeckFaults{.speed = 1.0123, .wowPercent = 0.2, .flutterPercent = 0.05, .rollOffHz = 8000.0};
    QTest::newRow("rolled off at 3 kHz, 3 dB hotter") << DeckFaults{.rollOffHz = 3000.0, .gainDb = 3.0, .delaySeconds = 2.5};
}

void TestDeckMeters::deck_figuresMatchItsFaults()
{
    QFETCH(DeckFaults, faults);
    const DeckReport report = analyseDeckCapture(playThroughDeck(faults, kRate), kRate);
    QVERIFY2(report.error.isEmpty(), qPrintable(report.error));

    QVERIFY2(std::abs(report.flutter.speedErrorPercent - (faults.speed - 1.0) * 100.0) <= 0.01,
             qPrintable(QString::number(report.flutter.speedErrorPercent, 'f', 5)));

    const double weighted = tv::test::expectedWeightedPeakPercent(faults);
    const double unweighted = tv::test::expectedUnweightedRmsPercent(faults);
    const QString flutter = QStringLiteral("weighted %1 (want %2), unweighted %3 (want %4)")
                                .arg(report.flutter.weightedPeakPercent, 0, 'f', 5).arg(weighted, 0, 'f', 5)
                                .arg(report.flutter.unweightedRmsPercent, 0, 'f', 5).arg(unweighted, 0, 'f', 5);
    if (weighted > 0.0) {
        QVERIFY2(std::abs(report.flutter.weightedPeakPercent - weighted) <= 0.1 * weighted, qPrintable(flutter));
        QVERIFY2(std::abs(report.flutter.unweightedRmsPercent - unweighted) <= 0.05 * unweighted, qPrintable(flutter));
    } else {
        // None where there is none (the noisy deck's tone still reads steady).
        QVERIFY2(report.flutter.weightedPeakPercent < 0.01, qPrintable(flutter));
    }

    QCOMPARE(report.response.size(), responseTonesHz().size());
    for (const ResponsePoint &p : report.response) {
        const double want = tv::test::rollOffDb(faults, p.hz * faults.speed, kLevelToneHz * faults.speed, kRate);
        QVERIFY2(std::abs(p.db - want) <= 0.3, qPrintable(QStringLiteral("%1 Hz: %2 dB, want %3").arg(p.hz).arg(p.db).arg(want)));
    }

    const double levelWant = faults.gainDb + tv::test::rollOffDb(faults, kLevelToneHz * faults.speed, 1e-6, kRate);
    QVERIFY2(std::abs(report.levelChangeDb - levelWant) <= 0.1, qPrintable(QString::number(report.levelChangeDb)));
    if (faults.noiseDbfs > -100.0)
        QVERIFY2(std::abs(report.noiseFloorDbfs - faults.noiseDbfs) <= 1.0, qPrintable(QString::number(report.noiseFloorDbfs)));
    else
        QVERIFY2(report.noiseFloorDbfs < -120.0, qPrintable(QString::number(report.noiseFloorDbfs)));
}

void TestDeckMeters::deck_signalNotHeardWhole_isSaidSo_data()
{
    QTest::addColumn<bool>("silent");
    QTest::addColumn<QString>("error");
    QTest::addRow("nothing came back") << true << QStringLiteral("The test signal was not heard from the deck.");
    QTest::addRow("the tape ran out before the multitone")
        << false << QStringLiteral("The test signal was not heard whole: a part of it was cut short or missing.");
}

void TestDeckMeters::deck_signalNotHeardWhole_isSaidSo()
{
    QFETCH(bool, silent);
    QFETCH(QString, error);
    std::vector<float> heard;
    if (silent)
        heard.assign(static_cast<std::size_t>(25 * kRate), 0.0f);
    else
        heard = playThroughDeck(DeckFaults{.noiseDbfs = -70.0, .withoutMultitone = true}, kRate);
    QCOMPARE(analyseDeckCapture(heard, kRate).error, error);
}

QTEST_GUILESS_MAIN(TestDeckMeters)
#include "tst_deck_meters.moc"
