// The tvmeasure tool: one line per file in order, and exit status 1 when
// any file could not be measured, the others still measured.
#include "Fixtures.h"

#include <QProcess>
#include <QTest>

using tv::test::MediaFixtures;

class TvMeasureTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY2(MediaFixtures::instance().ok(), qPrintable(MediaFixtures::instance().error())); }

    void run_mixedFiles_printsGoodOnesAndFails()
    {
        const MediaFixtures &fx = MediaFixtures::instance();
        const QString missing = fx.path(QStringLiteral("nothing-here.wav"));
        QProcess tool;
        tool.start(QStringLiteral(TVMEASURE), {fx.path(QStringLiteral("tone3.wav")), missing, fx.path(QStringLiteral("tone1.wav"))});
        QVERIFY(tool.waitForFinished(10000));
        QCOMPARE(tool.exitCode(), 1);
        const QString out = QString::fromLocal8Bit(tool.readAllStandardOutput());
        QCOMPARE(out, QStringLiteral("3.000\t%1\n1.000\t%2\n").arg(fx.path(QStringLiteral("tone3.wav")), fx.path(QStringLiteral("tone1.wav"))));
        const QString err = QString::fromLocal8Bit(tool.readAllStandardError());
        QCOMPARE(err.count(QLatin1Char('\n')), 1);
        QVERIFY2(err.contains(missing) && err.contains(QLatin1String("does not exist")), qPrintable(err));
    }

    void run_allGood_exitsZero()
    {
        QProcess tool;
        tool.start(QStringLiteral(TVMEASURE), {MediaFixtures::instance().path(QStringLiteral("cbr-info.mp3"))});
        QVERIFY(tool.waitForFinished(10000));
        QCOMPARE(tool.exitCode(), 0);
        QVERIFY(tool.readAllStandardOutput().startsWith("10.000\t"));
    }
};

QTEST_GUILESS_MAIN(TvMeasureTest)
#include "tst_tvmeasure.moc"
