// bench_deck_check OUT_DIR: runs the deck check on made-up decks of known
// faults through the sound server (the null sink's monitor as the line in),
// prints our speed and wow-and-flutter figures with the faults' true values,
// and writes each capture (float32, mono, 44.1 kHz) to OUT_DIR/NAME.f32 and
// the figures to OUT_DIR/NAME.txt, for a reference computed offline from
// the same samples (bench/deck/reference_flutter.py).
#include "AudioFormat.h"
#include "DeckCheckRun.h"
#include "SyntheticDeck.h"

#include <QCoreApplication>
#include <QFile>
#include <QTimer>

#include <cstdio>

using tv::deck::DeckCheckRun;
using tv::test::DeckFaults;

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_deck_check OUT_DIR\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    struct Case
    {
        const char *name;
        DeckFaults faults;
    };
    const Case cases[] = {
        {"exact", DeckFaults{}},
        {"fast", DeckFaults{.speed = 1.0123, .noiseDbfs = -60.0}},
        {"wow", DeckFaults{.speed = 0.994, .wowPercent = 0.25, .noiseDbfs = -60.0}},
        {"flutter", DeckFaults{.flutterPercent = 0.07, .noiseDbfs = -60.0}},
        {"both", DeckFaults{.speed = 1.0123, .wowPercent = 0.2, .flutterPercent = 0.06, .rollOffHz = 6000.0, .noiseDbfs = -55.0}},
    };
    std::printf("%-8s %10s %10s %10s | %10s %10s %10s | %10s %10s\n", "deck", "speed %", "true", "", "W&F wtd %", "true", "",
                "W&F rms %", "true");
    int status = 0;
    for (const Case &c : cases) {
        DeckCheckRun run;
        // The capture is kept by hand here as well, to be written out.
        std::vector<float> deck = tv::test::playThroughDeck(c.faults, tv::media::kSampleRate);
        run.setSignal(deck);
        tv::deck::DeckReport report;
        QString error;
        bool done = false;
        QObject::connect(&run, &DeckCheckRun::finished, [&](const tv::deck::DeckReport &r) { report = r; done = true; });
        QObject::connect(&run, &DeckCheckRun::failed, [&](const QString &why) { error = why; done = true; });
        QObject::connect(&run, &DeckCheckRun::heard, [&](const std::vector<float> &samples) {
            QFile f(out + QLatin1Char('/') + QLatin1String(c.name) + QStringLiteral(".f32"));
            if (f.open(QIODevice::WriteOnly))
                f.write(reinterpret_cast<const char *>(samples.data()), qint64(samples.size() * sizeof(float)));
        });
        run.start(QByteArrayLiteral("deck.monitor"), DeckCheckRun::Heads::Three);
        while (!done)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
        if (!error.isEmpty()) {
            std::printf("%-8s failed: %s\n", c.name, qPrintable(error));
            status = 1;
            continue;
        }
        QFile figures(out + QLatin1Char('/') + QLatin1String(c.name) + QStringLiteral(".txt"));
        if (figures.open(QIODevice::WriteOnly))
            figures.write(QStringLiteral("%1 %2 %3 %4 %5 %6\n")
                              .arg(report.flutter.speedErrorPercent, 0, 'f', 6)
                              .arg(report.flutter.weightedPeakPercent, 0, 'f', 6)
                              .arg(report.flutter.unweightedRmsPercent, 0, 'f', 6)
                              .arg((c.faults.speed - 1.0) * 100.0, 0, 'f', 6)
                              .arg(tv::test::expectedWeightedPeakPercent(c.faults), 0, 'f', 6)
                              .arg(tv::test::expectedUnweightedRmsPercent(c.faults), 0, 'f', 6)
                              .toUtf8());
        std::printf("%-8s %+10.4f %+10.4f %10s | %10.4f %10.4f %10s | %10.4f %10.4f\n", c.name, report.flutter.speedErrorPercent,
                    (c.faults.speed - 1.0) * 100.0, "", report.flutter.weightedPeakPercent, tv::test::expectedWeightedPeakPercent(c.faults),
                    "", report.flutter.unweightedRmsPercent, tv::test::expectedUnweightedRmsPercent(c.faults));
        std::fflush(stdout);
    }
    return status;
}
