// The deck check's window: its figures and plots after a check, the report
// saved as text (and a failed save that leaves the old file alone), a whole
// check through the private sound server started from the window, and the
// workspace's menu item that opens it.
#include "DeckAnalysis.h"
#include "DeckCheckWindow.h"
#include "DeckPlot.h"
#include "DeckReportText.h"
#include "DeckSignal.h"
#include "SyntheticDeck.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace tv::deck;
using tv::deckui::DeckCheckWindow;
using tv::deckui::DeckPlot;
using tv::test::DeckFaults;

namespace {
constexpr double kRate = 44100.0;

QString text(const QWidget &w, const char *name)
{
    return w.findChild<QLabel *>(QString::fromLatin1(name))->text();
}
} // namespace

class TestDeckWindow : public QObject
{
    Q_OBJECT
private slots:
    void figures_readAsAMeterReadsThem_data();
    void figures_readAsAMeterReadsThem();
    void window_showsTheReport_andSavesItAsText();
    void window_checksTheDeckThroughTheServer();
};

void TestDeckWindow::figures_readAsAMeterReadsThem_data()
{
    QTest::addColumn<double>("speed");
    QTest::addColumn<double>("noise");
    QTest::addColumn<QString>("speedText");
    QTest::addColumn<QString>("noiseText");
    QTest::newRow("fast") << 1.23 << -61.04 << QStringLiteral("+1.23 % (fast)") << QStringLiteral("\u221261.0 dBFS");
    QTest::newRow("slow") << -0.404 << -45.0 << QStringLiteral("\u22120.40 % (slow)") << QStringLiteral("\u221245.0 dBFS");
    QTest::newRow("exact, digital silence") << 0.004 << -200.0 << QStringLiteral("0.00 % (exact)") << QStringLiteral("under \u2212120 dBFS");
}

void TestDeckWindow::figures_readAsAMeterReadsThem()
{
    QFETCH(double, speed);
    QFETCH(double, noise);
    QFETCH(QString, speedText);
    QFETCH(QString, noiseText);
    const QString speedText_ = speedText;
    const QString noiseText_ = noiseText;
    DeckReport report;
    report.flutter.speedErrorPercent = speed;
    report.noiseFloorDbfs = noise;
    QCOMPARE(tv::deck::speedText(report), speedText_);
    QCOMPARE(tv::deck::noiseFloorText(report), noiseText_);
}

void TestDeckWindow::window_showsTheReport_andSavesItAsText()
{
    const DeckFaults faults{.speed = 1.0123, .wowPercent = 0.2, .rollOffHz = 8000.0, .noiseDbfs = -60.0};
    const DeckReport report = analyseDeckCapture(playThroughDeck(faults, kRate), kRate);
    QVERIFY(report.error.isEmpty());
    DeckCheckWindow window;
    window.showReport(report);
    QCOMPARE(text(window, "lblSpeed"), QStringLiteral("+1.23 % (fast)"));
    QCOMPARE(text(window, "lblWeighted"), weightedFlutterText(report));
    QVERIFY(text(window, "lblNoise").startsWith(QStringLiteral("\u221260.")) || text(window, "lblNoise").startsWith(QStringLiteral("\u221259.")));
    QCOMPARE(text(window, "lblStatus"), QStringLiteral("Done. Stop the deck."));
    // The plots hold the weighted deviation over the tone's seconds and the
    // response at every tone.
    const auto *flutter = window.findChild<DeckPlot *>(QStringLiteral("plotFlutter"));
    QVERIFY(flutter->curve().size() > 1000);
    QVERIFY(flutter->curve().back().x() > 10.0);
    const auto *response = window.findChild<DeckPlot *>(QStringLiteral("plotResponse"));
    QCOMPARE(response->curve().size(), qsizetype(responseTonesHz().size()));
    QCOMPARE(response->curve().back().x(), 16000.0);
    QVERIFY(window.findChild<QPushButton *>(QStringLiteral("cmdSave"))->isEnabled());

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("check.txt"));
    QString error;
    QVERIFY2(window.saveReport(path, &error), qPrintable(error));
    QFile saved(path);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    const QString written = QString::fromUtf8(saved.readAll());
    QVERIFY(written.contains(QStringLiteral("Speed: +1.23 % (fast)\n")));
    QVERIFY(written.contains(QStringLiteral("Wow and flutter, weighted peak (2 sigma): ")));
    QVERIFY(written.contains(QStringLiteral("\n      1 kHz     0.0 dB\n")));
    QCOMPARE(written.count(QStringLiteral(" dB\n")), qsizetype(responseTonesHz().size()));

    // Into a folder that is not there: refused with the reason, nothing made.
    QVERIFY(!window.saveReport(dir.filePath(QStringLiteral("gone/check.txt")), &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("gone"))));
}

void TestDeckWindow::window_checksTheDeckThroughTheServer()
{
    // The null sink's monitor is a perfect deck: the sound comes back as sent.
    DeckCheckWindow window;
    auto *input = window.findChild<QComboBox *>(QStringLiteral("cboInput"));
    QTRY_VERIFY_WITH_TIMEOUT(input->findData(QByteArrayLiteral("deck.monitor")) >= 0, 6000);
    input->setCurrentIndex(input->findData(QByteArrayLiteral("deck.monitor")));
    window.findChild<QPushButton *>(QStringLiteral("cmdStart"))->click();
    QVERIFY(!window.findChild<QPushButton *>(QStringLiteral("cmdStart"))->isEnabled());
    QVERIFY(window.findChild<QPushButton *>(QStringLiteral("cmdStop"))->isEnabled());
    QTRY_COMPARE_WITH_TIMEOUT(text(window, "lblStatus"), QStringLiteral("Done. Stop the deck."), 60000);
    QCOMPARE(text(window, "lblSpeed"), QStringLiteral("0.00 % (exact)"));
    QCOMPARE(text(window, "lblWeighted"), QStringLiteral("0.000 %"));
    QVERIFY2(text(window, "lblLevel").startsWith(QStringLiteral("\u221210.0 dBFS (0.0 dB")), qPrintable(text(window, "lblLevel")));
    QVERIFY(window.findChild<QPushButton *>(QStringLiteral("cmdStart"))->isEnabled());
    QVERIFY(!window.findChild<QPushButton *>(QStringLiteral("cmdStop"))->isEnabled());
}

QTEST_MAIN(TestDeckWindow)
#include "tst_deck_window.moc"
