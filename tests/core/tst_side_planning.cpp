// Planning a side: the MiniDisc's modes and track limit, the songs past a
// side's end, and the split of one run of songs between two sides, with
// the song delay counted as the read-out counts it.
#include "SidePlanning.h"

#include <QTest>

using namespace tv::core;
Q_DECLARE_METATYPE(QList<qint64>)

class SidePlanningTest : public QObject
{
    Q_OBJECT
private slots:
    void modes_multiplyTheDiscAndNameTheOneThatFits_data()
    {
        QTest::addColumn<qint64>("used");
        QTest::addColumn<qint64>("disc");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("fitsIn"); // empty: fits as chosen, or in no mode
        QTest::newRow("80 min disc, SP, fits") << qint64(80 * 60) << qint64(80 * 60) << "SP" << "";
        QTest::newRow("81 min on an 80, SP: LP2") << qint64(81 * 60) << qint64(80 * 60) << "SP" << "LP2";
        QTest::newRow("161 min on an 80, SP: LP4") << qint64(161 * 60) << qint64(80 * 60) << "SP" << "LP4";
        QTest::newRow("161 min on an 80, LP2: LP4") << qint64(161 * 60) << qint64(80 * 60) << "LP2" << "LP4";
        QTest::newRow("321 min on an 80: none") << qint64(321 * 60) << qint64(80 * 60) << "SP" << "";
        QTest::newRow("LP4 of a custom 7 min") << qint64(28 * 60) << qint64(7 * 60) << "LP4" << "";
        QTest::newRow("LP4 of a custom 7 min, one second over") << qint64(28 * 60 + 1) << qint64(7 * 60) << "LP4" << "";
    }
    void modes_multiplyTheDiscAndNameTheOneThatFits()
    {
        QFETCH(qint64, used);
        QFETCH(qint64, disc);
        QFETCH(QString, chosen);
        QFETCH(QString, fitsIn);
        const MiniDiscMode mode = *modeFromName(chosen);
        const auto longer = longerModeThatFits(used, disc, mode);
        QCOMPARE(longer ? modeName(*longer) : QString(), fitsIn);
        QCOMPARE(lengthInMode(80 * 60, MiniDiscMode::LP4), qint64(320 * 60));
        QVERIFY(!modeFromName(QStringLiteral("LP3")));
    }

    void pastTheEnd_findsTheFirstSongThatDoesNotFit_data()
    {
        QTest::addColumn<QList<qint64>>("songs");
        QTest::addColumn<qint64>("delay");
        QTest::addColumn<qint64>("side");
        QTest::addColumn<qsizetype>("first");
        QTest::newRow("all fit exactly") << QList<qint64>{100, 100} << qint64(0) << qint64(200) << qsizetype(2);
        QTest::newRow("the delay makes the last one late") << QList<qint64>{100, 100} << qint64(1) << qint64(200) << qsizetype(1);
        QTest::newRow("one song longer than the side") << QList<qint64>{301} << qint64(2) << qint64(300) << qsizetype(0);
        QTest::newRow("delay below 1 s counts nothing") << QList<qint64>{150, 150} << qint64(0) << qint64(300) << qsizetype(2);
        QTest::newRow("no songs") << QList<qint64>{} << qint64(2) << qint64(300) << qsizetype(0);
    }
    void pastTheEnd_findsTheFirstSongThatDoesNotFit()
    {
        QFETCH(QList<qint64>, songs);
        QFETCH(qint64, delay);
        QFETCH(qint64, side);
        QFETCH(qsizetype, first);
        QCOMPARE(firstSongPastTheEnd(songs, delay, side), first);
    }

    void split_balancedAndFillFirst_data()
    {
        QTest::addColumn<QList<qint64>>("songs");
        QTest::addColumn<qint64>("delay");
        QTest::addColumn<qint64>("side");
        QTest::addColumn<int>("balanced"); // -1: no split fits
        QTest::addColumn<qsizetype>("fillFirst");
        QTest::newRow("twelve songs of 4 min on a C60") << QList<qint64>(12, 240) << qint64(2) << qint64(1800) << 6 << qsizetype(7);
        QTest::newRow("fits only one way") << QList<qint64>{1000, 700, 1100} << qint64(0) << qint64(1800) << 2 << qsizetype(2);
        QTest::newRow("no split fits") << QList<qint64>{1000, 1000, 1000} << qint64(0) << qint64(1800) << -1 << qsizetype(1);
        QTest::newRow("one song longer than a side") << QList<qint64>{100, 1900} << qint64(0) << qint64(1800) << -1 << qsizetype(1);
        QTest::newRow("the delay decides") << QList<qint64>{600, 600, 600, 600, 600, 600} << qint64(1) << qint64(1800) << -1 << qsizetype(2);
        QTest::newRow("a tie: Side A the longer") << QList<qint64>{500, 100, 500} << qint64(0) << qint64(1800) << 2 << qsizetype(3);
        QTest::newRow("empty") << QList<qint64>{} << qint64(2) << qint64(1800) << 0 << qsizetype(0);
    }
    void split_balancedAndFillFirst()
    {
        QFETCH(QList<qint64>, songs);
        QFETCH(qint64, delay);
        QFETCH(qint64, side);
        QFETCH(int, balanced);
        QFETCH(qsizetype, fillFirst);
        const auto split = balancedSplit(songs, delay, side);
        QCOMPARE(split ? int(*split) : -1, balanced);
        if (split) {
            QVERIFY(sideSeconds(songs.mid(0, *split), delay) <= side);
            QVERIFY(sideSeconds(songs.mid(*split), delay) <= side);
        }
        QCOMPARE(fillFirstSplit(songs, delay, side), fillFirst);
    }
};

QTEST_APPLESS_MAIN(SidePlanningTest)
#include "tst_side_planning.moc"
