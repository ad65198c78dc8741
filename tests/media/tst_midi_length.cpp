// MIDI lengths from the tempo map: tempo changes in any track, the end at the
// latest event of any track, SMPTE timing and the RMI wrapper.
#include "Fixtures.h"
#include "probe/Measure.h"

#include <QTest>

using tv::media::measureFile;
using tv::test::MediaFixtures;
using tv::test::MidiWriter;

class MidiLengthTest : public QObject
{
    Q_OBJECT

    static double measure(const QString &name, const QByteArray &bytes)
    {
        const auto d = measureFile(MediaFixtures::instance().write(name, bytes));
        if (!d.ok())
            qWarning("%s", qPrintable(d.error));
        return d.seconds.value_or(-1);
    }

private slots:
    void initTestCase() { QVERIFY2(MediaFixtures::instance().ok(), qPrintable(MediaFixtures::instance().error())); }

    void length_withoutTempo_usesHalfSecondQuarters()
    {
        MidiWriter midi(480);
        midi.track();
        midi.note(0, 60, 480 * 8); // eight quarters at 120 bpm
        midi.endOfTrack(0);
        QCOMPARE(measure(QStringLiteral("plain.mid"), midi.bytes(0)), 4.0);
    }

    void length_tempoChangesInSecondTrack_apply()
    {
        // Track 1 holds only notes; track 2 (the conductor here) halves the
        // tempo after four quarters: 4 × 0.5 s + 4 × 1.0 s = 6 s.
        MidiWriter midi(96);
        midi.track();
        midi.note(0, 64, 96 * 8);
        midi.endOfTrack(0);
        midi.track();
        midi.tempo(96 * 4, 1000000);
        midi.endOfTrack(0);
        QCOMPARE(measure(QStringLiteral("tempo2.mid"), midi.bytes(1)), 6.0);
    }

    void length_endsAtLatestEventOfAnyTrack()
    {
        MidiWriter midi(480);
        midi.track();
        midi.tempo(0, 250000);            // 240 bpm: a quarter is 0.25 s
        midi.note(0, 60, 480);
        midi.endOfTrack(0);
        midi.track();
        midi.note(480 * 10, 67, 480 * 2); // the last note ends after 12 quarters
        midi.endOfTrack(0);
        QCOMPARE(measure(QStringLiteral("latest.mid"), midi.bytes(1)), 3.0);
    }

    void length_rmiWrapper_readsInnerFile()
    {
        MidiWriter midi(480);
        midi.track();
        midi.tempo(0, 600000);
        midi.note(0, 60, 480 * 5);
        midi.endOfTrack(0);
        QCOMPARE(measure(QStringLiteral("wrapped.rmi"), midi.rmi(0)), 3.0);
    }

    void length_smpteDivision_ignoresTempo()
    {
        // 25 frames per second, 40 ticks per frame: 1000 ticks a second.
        MidiWriter midi(0xE728);
        midi.track();
        midi.tempo(0, 1000000);
        midi.note(0, 60, 2500);
        midi.endOfTrack(0);
        QCOMPARE(measure(QStringLiteral("smpte.mid"), midi.bytes(0)), 2.5);
    }

    void length_damagedTrack_isAnError_data()
    {
        QTest::addColumn<QByteArray>("track");
        QTest::newRow("event cut off") << QByteArray("\x00\x90\x40", 3);
        QTest::newRow("data without status") << QByteArray("\x00\x40\x40", 3);
        QTest::newRow("meta runs past end") << QByteArray("\x00\xFF\x01\x7F""abc", 7);
        QTest::newRow("endless number") << QByteArray("\xFF\xFF\xFF\xFF\xFF", 5);
    }
    void length_damagedTrack_isAnError()
    {
        QFETCH(QByteArray, track);
        QByteArray file("MThd\0\0\0\x06\0\0\0\x01\x01\xE0MTrk", 18);
        const quint32 n = quint32(track.size());
        file.append(char(n >> 24)).append(char(n >> 16)).append(char(n >> 8)).append(char(n)).append(track);
        const auto d = measureFile(MediaFixtures::instance().write(QStringLiteral("damaged.mid"), file));
        QVERIFY(!d.ok());
        QVERIFY2(d.error.contains(QLatin1String("not a valid MIDI file")), qPrintable(d.error));
    }
};

QTEST_GUILESS_MAIN(MidiLengthTest)
#include "tst_midi_length.moc"
