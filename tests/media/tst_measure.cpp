// Measuring: every supported format against its known length, the MP3
// header cases, and bad files that must give a clear error quickly.
#include "Fixtures.h"
#include "probe/Measure.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTest>
#include <QtEndian>

using tv::media::measureFile;
using tv::test::MediaFixtures;

class MeasureTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY2(MediaFixtures::instance().ok(), qPrintable(MediaFixtures::instance().error()));
    }

    void measure_givesExactLength_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<double>("seconds");
        QTest::addColumn<double>("tolerance");
        QTest::newRow("wav") << "tone3.wav" << 3.0 << 1e-6;
        QTest::newRow("wav 1 s") << "tone1.wav" << 1.0 << 1e-6;
        QTest::newRow("aiff") << "tone3.aiff" << 3.0 << 1e-6;
        QTest::newRow("aifc") << "tone3.aifc" << 3.0 << 1e-6;
        QTest::newRow("au") << "tone3.au" << 3.0 << 1e-6;
        QTest::newRow("snd") << "tone3.snd" << 3.0 << 1e-6;
        QTest::newRow("flac") << "tone3.flac" << 3.0 << 1e-3;
        QTest::newRow("ogg vorbis") << "tone3.ogg" << 3.0 << 1e-3;
        QTest::newRow("opus") << "tone3.opus" << 3.0 << 1e-3;
        QTest::newRow("m4a") << "tone3.m4a" << 3.0 << 0.03;
        QTest::newRow("realaudio") << "tone3.ra" << 3.02 << 0.03;
        // A LAME Info/Xing header: its frame count less encoder delay and padding.
        QTest::newRow("cbr mp3, Info header") << "cbr-info.mp3" << 10.0 << 1e-3;
        QTest::newRow("vbr mp3, Xing header") << "vbr-xing.mp3" << 10.0 << 1e-3;
        // No header: every frame counted, 1152 samples each (what a decoder yields).
        QTest::newRow("vbr mp3, no header") << "vbr-noheader.mp3" << 384 * 1152 / 44100.0 << 1e-6;
        QTest::newRow("cbr mp3 1 s, no header") << "tone1s-noheader.mp3" << 40 * 1152 / 44100.0 << 1e-6;
    }
    void measure_givesExactLength()
    {
        QFETCH(QString, file);
        QFETCH(double, seconds);
        QFETCH(double, tolerance);
        const auto d = measureFile(MediaFixtures::instance().path(file));
        QVERIFY2(d.ok(), qPrintable(d.error));
        QVERIFY2(std::abs(*d.seconds - seconds) <= tolerance, qPrintable(QString::number(*d.seconds, 'f', 6)));
    }

    void measure_auWithUnknownSize_usesFileSize()
    {
        QByteArray au = MediaFixtures::instance().read(QStringLiteral("tone3.au"));
        qToBigEndian(quint32(0xFFFFFFFF), au.data() + 8);
        const auto d = measureFile(MediaFixtures::instance().write(QStringLiteral("unknown-size.au"), au));
        QVERIFY2(d.ok(), qPrintable(d.error));
        QCOMPARE(*d.seconds, 3.0);
    }

    void measure_wavWithStreamingPlaceholderSize_usesFileSize()
    {
        QByteArray wav = MediaFixtures::instance().read(QStringLiteral("tone1.wav"));
        const int data = wav.indexOf("data");
        qToLittleEndian(quint32(0xFFFFFFFF), wav.data() + data + 4);
        const auto d = measureFile(MediaFixtures::instance().write(QStringLiteral("streamed.wav"), wav));
        QVERIFY2(d.ok(), qPrintable(d.error));
        QCOMPARE(*d.seconds, 1.0);
    }

    void measure_mp3WithId3TagsAndTrailingTag_countsOnlyAudio()
    {
        QByteArray mp3 = MediaFixtures::instance().read(QStringLiteral("vbr-noheader.mp3"));
        // An ID3v2 tag of 300 bytes in front (syncsafe size), an ID3v1 tag behind.
        QByteArray tag("ID3\x03\x00\x00\x00\x00\x02\x2C", 10);
        tag.append(QByteArray(300, '\xFF')); // padding that looks like frame syncs
        QByteArray v1("TAG");
        v1.append(QByteArray(125, ' '));
        const auto d = measureFile(MediaFixtures::instance().write(QStringLiteral("tagged.mp3"), tag + mp3 + v1));
        QVERIFY2(d.ok(), qPrintable(d.error));
        QVERIFY(std::abs(*d.seconds - 384 * 1152 / 44100.0) < 1e-6);
    }

    void measure_badFile_givesClearErrorQuickly_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("bytes"); // null: the file is not written
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing") << "missing.mp3" << QByteArray() << "does not exist";
        QTest::newRow("empty") << "empty.mp3" << QByteArray("") << "is empty";
        QTest::newRow("random bytes as mp3") << "random.mp3" << tv::test::noise(200000, 7) << "no MPEG audio frames";
        QByteArray midi("MThd\0\0\0\x06\0\x01\0\x01\x01\xE0MTrk\x7F\xFF\xFF\xF0\0\x90\x40\x40", 26);
        // A track claiming 2 GB holds one note-on at tick 0: nothing that lasts.
        QTest::newRow("midi bogus chunk length") << "bogus.mid" << midi << "no sound";
        QTest::newRow("text as flac") << "text.flac" << QByteArray("this is no sound file\n") << "no sound";
        QTest::newRow("cd track name") << "Track02.cda" << QByteArray(44, '\0') << "CD track";
        QTest::newRow("cd image") << "Album.cue" << QByteArray("FILE \"Album.bin\" BINARY\n") << "double-click it in the file list";
        QTest::newRow("m3u naming a missing file") << "list.m3u" << QByteArray("#EXTM3U\nnot-there.mp3\n") << "does not exist";
        QTest::newRow("m3u with no entries") << "empty-list.m3u" << QByteArray("#EXTM3U\n\n") << "names no songs";
    }
    void measure_badFile_givesClearErrorQuickly()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        const QString path = bytes.isNull() ? MediaFixtures::instance().path(file) : MediaFixtures::instance().write(file, bytes);
        QElapsedTimer clock;
        clock.start();
        const auto d = measureFile(path);
        const qint64 ms = clock.elapsed();
        QVERIFY2(!d.ok(), qPrintable(QString::number(d.seconds.value_or(-1))));
        QVERIFY2(d.error.contains(path), qPrintable(d.error));
        QVERIFY2(d.error.contains(reason), qPrintable(d.error));
        QVERIFY2(ms < 1000, qPrintable(QStringLiteral("took %1 ms").arg(ms)));
    }

    // A file of a few samples holds sound (its length reads 00:00); only a
    // file without any sample is refused.
    void measure_aFewSamples_isMeasuredByWhatItHolds_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("samples"); // at 8 kHz
        for (const char *format : {"wav", "aiff", "au", "flac", "ogg"}) {
            for (int samples : {1, 5, 10})
                QTest::newRow(qPrintable(QStringLiteral("%1 samples, %2").arg(samples).arg(QLatin1String(format))))
                    << QStringLiteral("few%1.%2").arg(samples).arg(QLatin1String(format)) << samples;
        }
        QTest::newRow("no sample, wav") << "none.wav" << 0;
    }
    void measure_aFewSamples_isMeasuredByWhatItHolds()
    {
        QFETCH(QString, file);
        QFETCH(int, samples);
        const QString path = MediaFixtures::instance().path(QStringLiteral("short/") + file);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QProcess ffmpeg;
        ffmpeg.start(QStringLiteral("ffmpeg"), {QStringLiteral("-nostdin"), QStringLiteral("-loglevel"), QStringLiteral("error"), QStringLiteral("-y"),
                                                QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"), QStringLiteral("sine=f=440:sample_rate=8000"),
                                                QStringLiteral("-af"), QStringLiteral("atrim=end_sample=%1").arg(samples), path});
        QVERIFY(ffmpeg.waitForFinished(30000));
        QVERIFY2(QFileInfo::exists(path), ffmpeg.readAllStandardError().constData());
        const auto d = measureFile(path);
        if (samples == 0) {
            QVERIFY(!d.ok());
            QVERIFY2(d.error.contains(QStringLiteral("holds no sound that can be played")), qPrintable(d.error));
            return;
        }
        QVERIFY2(d.ok(), qPrintable(d.error));
        // Ogg Vorbis may hold a few samples more or less than were given (its blocks).
        const double tolerance = file.endsWith(QLatin1String(".ogg")) ? 0.002 : 1e-6;
        QVERIFY2(std::abs(*d.seconds - samples / 8000.0) <= tolerance, qPrintable(QString::number(*d.seconds, 'f', 6)));
    }

    void measure_folder_isRefused()
    {
        const auto d = measureFile(MediaFixtures::instance().path(QString()));
        QVERIFY(!d.ok());
        QVERIFY2(d.error.contains(QLatin1String("folder")), qPrintable(d.error));
    }

    void measure_m3u_isSumOfEntries()
    {
        const QString list = MediaFixtures::instance().write(QStringLiteral("mix.m3u"),
                                                             "#EXTM3U\r\n#EXTINF:3,Tone\r\ntone3.wav\r\n\r\ntone1.wav\r\n");
        const auto d = measureFile(list);
        QVERIFY2(d.ok(), qPrintable(d.error));
        QCOMPARE(*d.seconds, 4.0);
    }

    void measure_m3uThatNamesItself_ends()
    {
        const QString list = MediaFixtures::instance().write(QStringLiteral("loop.m3u"), "loop.m3u\n");
        const auto d = measureFile(list);
        QVERIFY(!d.ok());
        QVERIFY2(d.error.contains(QLatin1String("nested too deeply")), qPrintable(d.error));
    }
};

QTEST_GUILESS_MAIN(MeasureTest)
#include "tst_measure.moc"
