// Time text, Song entries, the side read-out, rounding and typed numbers.
#include "LocaleNumber.h"
#include "SideReadout.h"
#include "SongEntry.h"
#include "TimeText.h"

#include <QTest>

using namespace tv::core;

class CoreTest : public QObject
{
    Q_OBJECT
private slots:
    void fnFormatTime_data()
    {
        QTest::addColumn<qint64>("seconds");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero") << qint64(0) << "00:00";
        QTest::newRow("59") << qint64(59) << "00:59";
        QTest::newRow("60") << qint64(60) << "01:00";
        QTest::newRow("3599") << qint64(3599) << "59:59";
        QTest::newRow("an hour") << qint64(3600) << "1:00:00";
        QTest::newRow("3725") << qint64(3725) << "1:02:05";
        QTest::newRow("sign dropped") << qint64(-65) << "01:05";
        QTest::newRow("16-bit largest") << qint64(32767) << "9:06:07";
        QTest::newRow("beyond 16 bits keeps the form") << qint64(40000) << "11:06:40";
    }
    void fnFormatTime()
    {
        QFETCH(qint64, seconds);
        QFETCH(QString, text);
        QCOMPARE(tv::core::fnFormatTime(seconds), text);
    }

    void songEntry_roundTrip_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("path");
        QTest::addColumn<qint64>("seconds");
        QTest::newRow("plain") << "/music/Song.mp3 (03:45)" << "/music/Song.mp3" << qint64(225);
        QTest::newRow("parenthesis in the name") << "/music/Song (live).mp3 (04:10)" << "/music/Song (live).mp3" << qint64(250);
        QTest::newRow("an hour and more") << "/music/long.wav (1:02:05)" << "/music/long.wav" << qint64(3725);
        QTest::newRow("zero length") << "/cd/Track05.cda (00:00)" << "/cd/Track05.cda" << qint64(0);
    }
    void songEntry_roundTrip()
    {
        QFETCH(QString, line);
        QFETCH(QString, path);
        QFETCH(qint64, seconds);
        SongEntry entry;
        QVERIFY(SongEntry::parse(line, entry));
        QCOMPARE(entry.path, path);
        QCOMPARE(entry.seconds, seconds);
        QCOMPARE(entry.text(), line);
    }

    void songEntry_notAnEntry_isRefused_data()
    {
        QTest::addColumn<QString>("line");
        QTest::newRow("no length") << "/music/Song.mp3";
        QTest::newRow("not a time") << "/music/Song (live).mp3";
        QTest::newRow("no closing parenthesis") << "/music/Song.mp3 (03:45";
        QTest::newRow("four parts") << "/a.mp3 (1:2:3:4)";
    }
    void songEntry_notAnEntry_isRefused()
    {
        QFETCH(QString, line);
        SongEntry entry;
        QVERIFY(!SongEntry::parse(line, entry));
    }

    void roundHalfEven_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<qint64>("rounded");
        QTest::newRow("225.5 up to even") << 225.5 << qint64(226);
        QTest::newRow("224.5 down to even") << 224.5 << qint64(224);
        QTest::newRow("224.51") << 224.51 << qint64(225);
        QTest::newRow("0.5") << 0.5 << qint64(0);
    }
    void roundHalfEven()
    {
        QFETCH(double, value);
        QFETCH(qint64, rounded);
        QCOMPARE(tv::core::roundHalfEven(value), rounded);
    }

    void sideReadout_data()
    {
        QTest::addColumn<qint64>("songs");
        QTest::addColumn<qint64>("entries");
        QTest::addColumn<qint64>("delay");
        QTest::addColumn<qint64>("length");
        QTest::addColumn<bool>("overFull");
        QTest::addColumn<QString>("info");
        QTest::newRow("exact fit is normal") << qint64(2700) << qint64(10) << qint64(0) << qint64(2700) << false
                                             << "[ Time Used: 45:00 ][ Available: 00:00 ]";
        QTest::newRow("one second over") << qint64(2701) << qint64(10) << qint64(0) << qint64(2700) << true
                                         << "[ Time Used: 45:01 ][ Available: -00:01 ]";
        QTest::newRow("gaps between five songs") << qint64(600) << qint64(5) << qint64(3) << qint64(2700) << false
                                                 << "[ Time Used: 10:12 ][ Available: 34:48 ]";
        QTest::newRow("one song has no gap") << qint64(600) << qint64(1) << qint64(3) << qint64(2700) << false
                                             << "[ Time Used: 10:00 ][ Available: 35:00 ]";
        QTest::newRow("H:MM:SS used, MM:SS left") << qint64(3725) << qint64(3) << qint64(0) << qint64(7200) << false
                                                  << "[ Time Used: 1:02:05 ][ Available: 57:55 ]";
        QTest::newRow("nothing chosen, one song") << qint64(65) << qint64(1) << qint64(0) << qint64(0) << true
                                                  << "[ Time Used: 01:05 ][ Available: -01:05 ]";
        QTest::newRow("empty side") << qint64(0) << qint64(0) << qint64(5) << qint64(1800) << false
                                    << "[ Time Used: 00:00 ][ Available: 30:00 ]";
    }
    void sideReadout()
    {
        QFETCH(qint64, songs);
        QFETCH(qint64, entries);
        QFETCH(qint64, delay);
        QFETCH(qint64, length);
        QFETCH(bool, overFull);
        QFETCH(QString, info);
        const SideReadout r = computeSideReadout(songs, entries, delay, length);
        QCOMPARE(r.overFull, overFull);
        QCOMPARE(r.info, info);
    }

    void readNumber_followsTheLocale()
    {
        QCOMPARE(readNumber(QStringLiteral("45"), QLocale::c()).value(), 45.0);
        QCOMPARE(readNumber(QStringLiteral("1.5"), QLocale::c()).value(), 1.5);
        QCOMPARE(readNumber(QStringLiteral("-5"), QLocale::c()).value(), -5.0);
        QCOMPARE(readNumber(QStringLiteral("1,5"), QLocale(QLocale::German)).value(), 1.5);
        QVERIFY(!readNumber(QString(), QLocale::c()));
        QVERIFY(!readNumber(QStringLiteral("abc"), QLocale::c()));
    }
};

QTEST_GUILESS_MAIN(CoreTest)
#include "tst_core.moc"
