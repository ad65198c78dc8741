// Verifying a recorded side against its plan, on made-up sides played back
// by made-up decks: songs found, cut short or missing, dropouts of 10 ms or
// more found at their times (and none where there are none), the tape's
// drift, the deck's gain and the loudest stretch.
#include "SideVerify.h"
#include "SyntheticSide.h"

#include <QTest>

#include <cmath>

using namespace tv::deck;
using tv::test::MadeUpSide;
using tv::test::SideFaults;

Q_DECLARE_METATYPE(SideFaults)

namespace {
constexpr double kRate = 44100.0;

struct ExpectedDropout
{
    int song;
    double at; // seconds into the song
};

SideReference referenceOf(const MadeUpSide &side)
{
    tv::deck::EnvelopeBuilder builder;
    const std::vector<float> sent = side.render(kRate);
    builder.addMono(sent.data(), sent.size());
    SideReference reference;
    reference.envelope = builder.take();
    for (int k = 0; k < side.songs; ++k)
        reference.songs.append({QStringLiteral("Song %1").arg(k + 1), static_cast<qint64>(side.songStart(k) * kRate / Envelope::kBlock),
                                static_cast<qint64>(side.songSeconds * kRate / Envelope::kBlock)});
    return reference;
}

Envelope envelopeOf(const std::vector<float> &samples)
{
    tv::deck::EnvelopeBuilder builder;
    builder.addMono(samples.data(), samples.size());
    return builder.take();
}
} // namespace

Q_DECLARE_METATYPE(QList<ExpectedDropout>)

class TestSideVerify : public QObject
{
    Q_OBJECT
private slots:
    void verify_findsWhatTheDeckDid_data();
    void verify_findsWhatTheDeckDid();
    void verify_ofSilence_saysNothingWasHeard();
};

void TestSideVerify::verify_findsWhatTheDeckDid_data()
{
    const MadeUpSide side;
    QTest::addColumn<SideFaults>("faults");
    QTest::addColumn<QList<int>>("found"); // SongCheck::Found of each song
    QTest::addColumn<QList<ExpectedDropout>>("dropouts");
    QTest::addColumn<double>("cutAt"); // in the last song, when it is cut short
    const int whole = int(SongCheck::Found::Whole);
    QTest::newRow("a perfect deck") << SideFaults{} << QList<int>{whole, whole, whole} << QList<ExpectedDropout>{} << 0.0;
    QTest::newRow("fast, quieter, noisy, dull; dropouts of 5, 15 and 40 ms")
        << SideFaults{.speed = 1.0123, .gainDb = -4.0, .noiseDbfs = -60.0, .rollOffHz = 8000.0,
                      .dropouts = {{side.songStart(1) + 1.0, 0.005}, {side.songStart(1) + 2.5, 0.015}, {side.songStart(1) + 4.0, 0.040}}}
        << QList<int>{whole, whole, whole} << QList<ExpectedDropout>{{1, 2.5}, {1, 4.0}} << 0.0;
    QTest::newRow("wow, slow, dropouts in two songs")
        << SideFaults{.speed = 0.99, .wowPercent = 0.3, .dropouts = {{side.songStart(0) + 0.8, 0.02}, {side.songStart(2) + 5.0, 0.012}}}
        << QList<int>{whole, whole, whole} << QList<ExpectedDropout>{{0, 0.8}, {2, 5.0}} << 0.0;
    QTest::newRow("the tape ran out in the last song")
        << SideFaults{.speed = 1.005, .cutAtSeconds = side.songStart(2) + 3.0}
        << QList<int>{whole, whole, int(SongCheck::Found::CutShort)} << QList<ExpectedDropout>{} << 3.0;
    QTest::newRow("the tape ran out before the last song")
        << SideFaults{.cutAtSeconds = side.songStart(2) - 0.5}
        << QList<int>{whole, whole, int(SongCheck::Found::Missing)} << QList<ExpectedDropout>{} << 0.0;
}

void TestSideVerify::verify_findsWhatTheDeckDid()
{
    QFETCH(SideFaults, faults);
    QFETCH(QList<int>, found);
    QFETCH(QList<ExpectedDropout>, dropouts);
    QFETCH(double, cutAt);
    const MadeUpSide side;
    const SideVerdict verdict = verifySide(referenceOf(side), envelopeOf(playSideThroughDeck(side, faults, kRate)));
    QVERIFY2(verdict.error.isEmpty(), qPrintable(verdict.error));
    QCOMPARE(verdict.songs.size(), side.songs);

    QVERIFY2(std::abs(verdict.driftPercent - (faults.speed - 1.0) * 100.0) <= 0.01, qPrintable(QString::number(verdict.driftPercent, 'f', 4)));
    QVERIFY2(std::abs(verdict.gainDb - faults.gainDb) <= 0.5, qPrintable(QString::number(verdict.gainDb)));
    QVERIFY2(std::abs(verdict.songs.first().heardAtSeconds - faults.delaySeconds) <= 0.005,
             qPrintable(QString::number(verdict.songs.first().heardAtSeconds, 'f', 4)));

    QList<ExpectedDropout> got;
    for (int k = 0; k < side.songs; ++k) {
        const SongCheck &song = verdict.songs.at(k);
        QCOMPARE(int(song.found), found.at(k));
        for (const Dropout &d : song.dropouts) {
            got.append({k, d.atSeconds});
            QVERIFY2(d.seconds >= 0.0095 && d.depthDb < -3.0, qPrintable(QStringLiteral("%1 s, %2 dB").arg(d.seconds).arg(d.depthDb)));
        }
    }
    QString seen;
    for (const ExpectedDropout &d : got)
        seen += QStringLiteral(" song %1 at %2;").arg(d.song + 1).arg(d.at, 0, 'f', 4);
    QVERIFY2(got.size() == dropouts.size(), qPrintable(seen));
    for (qsizetype i = 0; i < got.size(); ++i) {
        QCOMPARE(got.at(i).song, dropouts.at(i).song);
        QVERIFY2(std::abs(got.at(i).at - dropouts.at(i).at) <= 0.005, qPrintable(seen));
    }
    if (found.last() == int(SongCheck::Found::CutShort))
        QVERIFY2(std::abs(verdict.songs.last().cutAtSeconds - cutAt) <= 0.05, qPrintable(QString::number(verdict.songs.last().cutAtSeconds)));

    // The loudest 400 ms: the made-up songs peak near -7 dBFS, less the deck's gain.
    QVERIFY(verdict.loudestSong >= 0);
    QVERIFY2(verdict.loudestDbfs < 0.0 && verdict.loudestDbfs > -20.0 + faults.gainDb, qPrintable(QString::number(verdict.loudestDbfs)));
}

void TestSideVerify::verify_ofSilence_saysNothingWasHeard()
{
    const MadeUpSide side;
    const std::vector<float> silence(static_cast<std::size_t>(side.seconds() * kRate), 0.0f);
    const SideVerdict verdict = verifySide(referenceOf(side), envelopeOf(silence));
    QCOMPARE(verdict.error, QStringLiteral("The side was not found in what was heard: nothing in it sounds like its songs."));
}

QTEST_GUILESS_MAIN(TestSideVerify)
#include "tst_side_verify.moc"
