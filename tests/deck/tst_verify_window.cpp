// Verifying a recorded side through the private sound server: the side's
// songs are files, the plan is rendered as the recording plays it, and a
// made-up deck's playback of the tape (fast, with dropouts, the last song
// cut short) is played into the null sink while its monitor is the input.
// Also the window's findings, and the report saved as text.
#include "AudioFileWriter.h"
#include "DeckSignal.h"
#include "SidePlan.h"
#include "SideVerdictText.h"
#include "SideVerifyRun.h"
#include "SideVerifyWindow.h"
#include "SyntheticDeck.h"
#include "SyntheticSide.h"
#include "output/AudioOutput.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <cmath>

using namespace tv::deck;
using tv::media::AudioOutput;
using tv::test::MadeUpSide;
using tv::test::SideFaults;

namespace {
constexpr double kRate = 44100.0;
const QByteArray kLineIn = QByteArrayLiteral("deck.monitor");

// The side's songs as 16-bit stereo WAV files, the plan the recording made of them.
QList<tv::levels::PlannedSong> writeSongs(const MadeUpSide &side, const QTemporaryDir &dir, QStringList &names)
{
    QStringList paths;
    for (int k = 0; k < side.songs; ++k) {
        const std::vector<float> mono = side.song(k, kRate);
        std::vector<qint16> stereo(mono.size() * 2);
        for (std::size_t i = 0; i < mono.size(); ++i)
            stereo[2 * i] = stereo[2 * i + 1] = static_cast<qint16>(std::lround(mono[i] * 32767.0));
        const QString path = dir.filePath(QStringLiteral("song%1.wav").arg(k + 1));
        tv::levels::AudioFileWriter writer;
        QString error;
        if (!writer.open(path, error) || !writer.write(stereo.data(), qint64(mono.size()), error) || !writer.finish(error))
            qFatal("%s", qPrintable(error));
        paths << path;
        names << QStringLiteral("Song %1").arg(k + 1);
    }
    return tv::levels::planSide(paths, qint64(side.gapSeconds * 1000));
}
} // namespace

class TestVerifyWindow : public QObject
{
    Q_OBJECT
private slots:
    void verify_ofAFaultyTape_throughTheServer();
    void window_listsTheFindings_andSavesThem();
};

void TestVerifyWindow::verify_ofAFaultyTape_throughTheServer()
{
    const MadeUpSide side;
    QTemporaryDir dir;
    QStringList names;
    const QList<tv::levels::PlannedSong> plan = writeSongs(side, dir, names);
    const SideFaults faults{.speed = 1.0123, .delaySeconds = 0.8, .gainDb = -3.0,
                            .dropouts = {{side.songStart(1) + 1.0, 0.005}, {side.songStart(1) + 2.5, 0.015}, {side.songStart(1) + 4.0, 0.040}},
                            .cutAtSeconds = side.songStart(2) + 3.0};

    SideVerifyRun run;
    QSignalSpy finished(&run, &SideVerifyRun::finished);
    QSignalSpy failed(&run, &SideVerifyRun::failed);
    run.start(kLineIn, plan, names);
    QTest::qWait(1000); // the user presses play
    AudioOutput playback;
    const std::vector<float> tape = tv::test::playSideThroughDeck(side, faults, kRate);
    playback.play(AudioOutput::newSerial(), [tape](QString &) { return std::make_unique<DeckSignalSource>(tape); });
    QVERIFY(finished.wait(60000) || !failed.isEmpty());
    QVERIFY2(failed.isEmpty(), failed.isEmpty() ? "" : qPrintable(failed.first().first().toString()));

    const auto verdict = finished.first().first().value<SideVerdict>();
    QCOMPARE(verdict.songs.size(), 3);
    QCOMPARE(verdict.songs.at(0).found, SongCheck::Found::Whole);
    QCOMPARE(verdict.songs.at(1).found, SongCheck::Found::Whole);
    QCOMPARE(verdict.songs.at(2).found, SongCheck::Found::CutShort);
    QVERIFY2(std::abs(verdict.songs.at(2).cutAtSeconds - 3.0) <= 0.05, qPrintable(QString::number(verdict.songs.at(2).cutAtSeconds)));
    QVERIFY(verdict.songs.at(0).dropouts.isEmpty());
    QVERIFY(verdict.songs.at(2).dropouts.isEmpty());
    const QList<Dropout> &dropouts = verdict.songs.at(1).dropouts;
    QCOMPARE(dropouts.size(), 2); // the 5 ms one is under the 10 ms that counts
    QVERIFY2(std::abs(dropouts.at(0).atSeconds - 2.5) <= 0.005, qPrintable(QString::number(dropouts.at(0).atSeconds, 'f', 4)));
    QVERIFY2(std::abs(dropouts.at(1).atSeconds - 4.0) <= 0.005, qPrintable(QString::number(dropouts.at(1).atSeconds, 'f', 4)));
    QVERIFY2(std::abs(verdict.driftPercent - 1.23) <= 0.01, qPrintable(QString::number(verdict.driftPercent, 'f', 4)));
    QVERIFY2(std::abs(verdict.gainDb + 3.0) <= 0.5, qPrintable(QString::number(verdict.gainDb)));
}

void TestVerifyWindow::window_listsTheFindings_andSavesThem()
{
    SideVerdict verdict;
    verdict.songs = {{QStringLiteral("First"), SongCheck::Found::Whole, 180.0, 12.5, 0.0, {}},
                     {QStringLiteral("Second"), SongCheck::Found::Whole, 200.0, 194.5, 0.0, {{62.5, 0.015, -19.6}, {70.125, 0.04, -21.0}}},
                     {QStringLiteral("Third"), SongCheck::Found::CutShort, 240.0, 396.5, 83.0, {}},
                     {QStringLiteral("Fourth"), SongCheck::Found::Missing, 150.0, 0.0, 0.0, {}}};
    verdict.driftPercent = -0.42;
    verdict.gainDb = -2.5;
    verdict.loudestDbfs = -6.2;
    verdict.loudestSong = 1;
    verdict.loudestAtSeconds = 95.3;
    tv::deckui::SideVerifyWindow window({}, {"First", "Second", "Third", "Fourth"}, QStringLiteral("Side A"), -18.0);
    window.showVerdict(verdict);
    const auto *songs = window.findChild<QTreeWidget *>(QStringLiteral("lstSongs"));
    QCOMPARE(songs->topLevelItem(0)->text(2), QStringLiteral("whole, heard at 00:12.5"));
    QCOMPARE(songs->topLevelItem(1)->text(3), QStringLiteral("01:02.500 (15 ms, \u221220 dB), 01:10.125 (40 ms, \u221221 dB)"));
    QCOMPARE(songs->topLevelItem(2)->text(2), QStringLiteral("cut short at 01:23.0 of 04:00.0"));
    QCOMPARE(songs->topLevelItem(3)->text(2), QStringLiteral("missing"));
    QCOMPARE(window.findChild<QLabel *>(QStringLiteral("lblDrift"))->text(), QStringLiteral("\u22120.42 % (the tape plays slow)"));
    QCOMPARE(window.findChild<QLabel *>(QStringLiteral("lblLoudest"))->text(),
             QStringLiteral("\u22126.2 dBFS in song #2 at 01:35.3, 11.8 dB over the \u221218.0 dBFS calibration level"));
    QCOMPARE(window.findChild<QLabel *>(QStringLiteral("lblStatus"))->text(), QStringLiteral("Done: 1 of 4 songs are on the tape whole."));
    // Songs the tape does not hold whole stand out.
    QCOMPARE(songs->topLevelItem(1)->foreground(1).color(), QColor(Qt::red));
    QVERIFY(songs->topLevelItem(0)->foreground(1).color() != QColor(Qt::red));

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("verify.txt"));
    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("an older report\n");
    old.close();
    QString error;
    QVERIFY2(window.saveReport(path, &error), qPrintable(error));
    QFile saved(path);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(saved.readAll());
    QVERIFY(text.startsWith(QStringLiteral("Verify of Side A, ")));
    QVERIFY(text.contains(QStringLiteral("Song #3, Third: cut short at 01:23.0 of 04:00.0\n  Dropouts: none\n")));
    QVERIFY(text.contains(QStringLiteral("Song #4, Fourth: missing\n\n")));
    QVERIFY(text.contains(QStringLiteral("Time drift: \u22120.42 % (the tape plays slow)\n")));
}

QTEST_MAIN(TestVerifyWindow)
#include "tst_verify_window.moc"
