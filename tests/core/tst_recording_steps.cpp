// The recording sequence's decisions, events in and decisions out.
#include "RecordingSteps.h"

#include <QTest>

using namespace tv::core;

class RecordingStepsTest : public QObject
{
    Q_OBJECT
private slots:
    void planStep_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("total");
        QTest::addColumn<int>("delay");
        QTest::addColumn<bool>("recording");
        QTest::addColumn<bool>("wait");
        QTest::addColumn<int>("entry");
        QTest::newRow("first song has no delay") << 0 << 3 << 2 << true << false << 0;
        QTest::newRow("second song waits") << 1 << 3 << 2 << true << true << 1;
        QTest::newRow("last song waits") << 2 << 3 << 2 << true << true << 2;
        QTest::newRow("delay 0 never waits") << 1 << 3 << 0 << true << false << 1;
        QTest::newRow("no entry left") << 3 << 3 << 2 << true << false << -1;
        QTest::newRow("stopped by an error: nothing starts") << 1 << 3 << 2 << false << true << -1;
        QTest::newRow("one-song list") << 0 << 1 << 5 << true << false << 0;
    }
    void planStep()
    {
        QFETCH(int, index);
        QFETCH(int, total);
        QFETCH(int, delay);
        QFETCH(bool, recording);
        QFETCH(bool, wait);
        QFETCH(int, entry);
        const StepPlan plan = tv::core::planStep(index, total, delay, recording);
        QCOMPARE(plan.waitFirst, wait);
        QCOMPARE(plan.startSong, entry >= 0);
        QCOMPARE(plan.entry, entry);
        QCOMPARE(plan.nextIndex, index + 1);
    }

    void wholeRecording_playsEachEntryOnceThenFinishes()
    {
        // n entries: steps 1..n start entries 0..n-1 (the player then plays),
        // step n+1 finds none left with the player stopped and finishes.
        for (int n : {1, 3, 10}) {
            QList<int> played;
            int index = 0;
            bool finished = false;
            for (int step = 0; step < n + 5 && !finished; ++step) {
                const StepPlan plan = tv::core::planStep(index, n, 1, true);
                if (plan.startSong)
                    played << plan.entry;
                const int stateAfter = plan.startSong ? 2 : 0;
                index = plan.nextIndex;
                finished = isFinished(stateAfter, index, n);
            }
            QVERIFY(finished);
            QCOMPARE(index, n + 1);
            QList<int> expected;
            for (int i = 0; i < n; ++i)
                expected << i;
            QCOMPARE(played, expected);
        }
    }

    void isFinished_needsThePlayerStoppedAndTheIndexPast()
    {
        QVERIFY(isFinished(0, 4, 3));
        QVERIFY(isFinished(6, 4, 3));
        QVERIFY(!isFinished(2, 4, 3)); // still playing
        QVERIFY(!isFinished(0, 3, 3)); // the last song was just started
        QVERIFY(!isFinished(1, 4, 3)); // paused
    }

    void advancesRecording_onlyOnTheEndOfASongWhileRecording_data()
    {
        QTest::addColumn<bool>("recording");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<bool>("advances");
        QTest::newRow("song ended") << true << 2 << 0 << true;
        QTest::newRow("paused") << true << 2 << 1 << false;
        QTest::newRow("resumed") << true << 1 << 2 << false;
        QTest::newRow("closed by an error") << true << 2 << 6 << false;
        QTest::newRow("opened") << true << 6 << 0 << false;
        QTest::newRow("stopped, not recording") << false << 2 << 0 << false;
    }
    void advancesRecording_onlyOnTheEndOfASongWhileRecording()
    {
        QFETCH(bool, recording);
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(bool, advances);
        QCOMPARE(advancesRecording(recording, from, to), advances);
    }
};

QTEST_GUILESS_MAIN(RecordingStepsTest)
#include "tst_recording_steps.moc"
