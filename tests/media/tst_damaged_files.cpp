// Damaged and hostile files, made here from the fixtures: each answers the
// length that really plays (checked against a full decode by the ffmpeg
// tool) or a clear error, quickly, without a crash.
#include "Fixtures.h"
#include "FileName.h"
#include "probe/Measure.h"
#include "source/SourceFactory.h"

#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <QProcess>
#include <QTest>
#include <QtEndian>

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <thread>

using tv::media::measureFile;
using tv::test::MediaFixtures;

namespace {

// Long enough to tell a stall from work: a measurement answers within about
// a second (bench/fuzz-measure.sh prints the slowest); this only catches
// the minutes a hostile file could once take.
constexpr qint64 kStallMs = 5000;

QByteArray fixture(const char *name)
{
    return MediaFixtures::instance().read(QString::fromLatin1(name));
}

// The length a full decode by the ffmpeg tool yields, in seconds.
double decodedByFfmpeg(const QString &path)
{
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"), {QStringLiteral("-nostdin"), QStringLiteral("-loglevel"), QStringLiteral("quiet"), QStringLiteral("-i"), path,
                                            QStringLiteral("-f"), QStringLiteral("s16le"), QStringLiteral("-ac"), QStringLiteral("1"),
                                            QStringLiteral("-ar"), QStringLiteral("44100"), QStringLiteral("-")});
    if (!ffmpeg.waitForFinished(60000))
        return -1;
    return double(ffmpeg.readAllStandardOutput().size()) / 2.0 / 44100.0;
}

// Garbage the same on every run.
QByteArray withNoise(QByteArray bytes, qsizetype from, qsizetype count, quint32 seed)
{
    bytes.replace(from, count, tv::test::noise(int(count), seed));
    return bytes;
}

QByteArray xingFrameCount(QByteArray mp3, quint32 frames)
{
    const qsizetype xing = mp3.indexOf("Xing") >= 0 ? mp3.indexOf("Xing") : mp3.indexOf("Info");
    qToBigEndian(frames, mp3.data() + xing + 8);
    return mp3;
}

// An 80-bit extended sample rate for the AIFF common chunk: sign and
// exponent, then the 64-bit mantissa.
QByteArray aiffRate(QByteArray aiff, quint16 exponent, quint64 mantissa)
{
    const qsizetype comm = aiff.indexOf("COMM");
    qToBigEndian(exponent, aiff.data() + comm + 16);
    qToBigEndian(mantissa, aiff.data() + comm + 18);
    return aiff;
}

} // namespace

class DamagedFilesTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY2(MediaFixtures::instance().ok(), qPrintable(MediaFixtures::instance().error())); }

    void damagedFile_measuresWhatPlays_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray xing = fixture("vbr-xing.mp3");
        const QByteArray plain = fixture("vbr-noheader.mp3");
        const QByteArray wav = fixture("tone10.wav");
        const QByteArray aiff = fixture("tone3.aiff");
        const QByteArray au = fixture("tone3.au");
        const QByteArray flac = fixture("tone3.flac");
        const QByteArray ogg = fixture("tone3.ogg");
        // Interrupted downloads: the header promises more than is there.
        QTest::newRow("xing mp3 short of its last 100 bytes") << "short.mp3" << xing.left(xing.size() - 100);
        QTest::newRow("xing mp3 cut in half") << "half-xing.mp3" << xing.left(xing.size() / 2);
        QTest::newRow("plain mp3 cut mid-frame") << "half.mp3" << plain.left(plain.size() / 2 + 37);
        QTest::newRow("wav cut in half") << "half.wav" << wav.left(wav.size() / 2 + 1);
        QTest::newRow("aiff cut to a third") << "third.aiff" << aiff.left(aiff.size() / 3);
        QTest::newRow("au cut in half") << "half.au" << au.left(au.size() / 2);
        // Header counts that contradict the frames present.
        QTest::newRow("xing count absurdly large") << "huge-count.mp3" << xingFrameCount(xing, 0x7FFFFFFF);
        QTest::newRow("xing count far too small") << "small-count.mp3" << xingFrameCount(xing, 100);
        QTest::newRow("xing count zero") << "zero-count.mp3" << xingFrameCount(xing, 0);
        QByteArray aiffFewFrames = aiff;
        qToBigEndian(quint32(1000), aiffFewFrames.data() + aiffFewFrames.indexOf("COMM") + 10);
        QTest::newRow("aiff common chunk announces fewer frames") << "few.aiff" << aiffFewFrames;
        // Garbage inside: the decoder's own resynchronisation decides.
        QTest::newRow("xing mp3, second half garbage") << "garbage-half.mp3" << withNoise(xing, xing.size() / 2, xing.size() - xing.size() / 2, 11);
        QTest::newRow("plain mp3, garbage in the middle") << "garbage-mid.mp3" << withNoise(plain, plain.size() / 2, 20000, 12);
        QTest::newRow("plain mp3, a few bad bytes") << "garbage-few.mp3" << withNoise(plain, plain.size() / 3, 500, 13);
        QTest::newRow("plain mp3, zeros at the end") << "zeros-end.mp3" << plain + QByteArray(300000, '\0');
        QTest::newRow("plain mp3 after 1 MB of junk") << "junk-front.mp3" << tv::test::noise(1 << 20, 14) + plain;
        // Containers whose stated length the stream does not reach.
        QTest::newRow("flac cut in half") << "half.flac" << flac.left(flac.size() / 2);
        QTest::newRow("ogg cut at three quarters") << "cut.ogg" << ogg.left(ogg.size() * 3 / 4);
        // Renamed to the wrong extension.
        QTest::newRow("mp3 named .wav") << "mp3.wav" << plain;
        QTest::newRow("wav named .mp3") << "wav.mp3" << wav;
        QTest::newRow("flac named .mp3") << "flac.mp3" << flac;
    }
    void damagedFile_measuresWhatPlays()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        const QString path = MediaFixtures::instance().write(name, bytes);
        QElapsedTimer clock;
        clock.start();
        const auto d = measureFile(path);
        const qint64 ms = clock.elapsed();
        QVERIFY2(d.ok(), qPrintable(d.error));
        const double decoded = decodedByFfmpeg(path);
        QVERIFY2(decoded > 0, "ffmpeg decoded nothing");
        QVERIFY2(std::abs(*d.seconds - decoded) <= 0.05,
                 qPrintable(QStringLiteral("measured %1 s, decoded %2 s").arg(*d.seconds, 0, 'f', 4).arg(decoded, 0, 'f', 4)));
        QVERIFY2(ms < kStallMs, qPrintable(QStringLiteral("took %1 ms").arg(ms)));
    }

    void absurdFile_isRefusedClearly_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("reason");
        const QByteArray aiff = fixture("tone3.aiff");
        // Once 3·10^17 s: a rate so small that any frame count is forever.
        QTest::newRow("aiff rate subnormal") << "subnormal.aiff" << aiffRate(aiff, 0x0000, 0x0000000000000001ULL) << "sample rate is impossible";
        QTest::newRow("aiff rate tiny") << "tiny.aiff" << aiffRate(aiff, 0x3F00, 0x8000000000000000ULL) << "sample rate is impossible";
        QTest::newRow("aiff rate infinite") << "inf.aiff" << aiffRate(aiff, 0x7FFF, 0x8000000000000000ULL) << "not a number";
        QTest::newRow("aiff rate NaN") << "nan.aiff" << aiffRate(aiff, 0x7FFF, 0xC000000000000000ULL) << "not a number";
        QTest::newRow("aiff rate negative") << "negative.aiff" << aiffRate(aiff, 0xC00E, 0xAC44000000000000ULL) << "sample rate is impossible";
        QTest::newRow("aiff rate zero") << "zero.aiff" << aiffRate(aiff, 0, 0) << "sample rate is impossible";
        QByteArray wav = fixture("tone1.wav");
        const qsizetype fmt = wav.indexOf("fmt ");
        QByteArray wavRate = wav;
        qToLittleEndian(quint32(3), wavRate.data() + fmt + 12);
        QTest::newRow("wav rate 3 Hz") << "rate3.wav" << wavRate << "impossible sample rate";
        QByteArray wavChannels = wav;
        qToLittleEndian(quint16(0), wavChannels.data() + fmt + 10);
        QTest::newRow("wav with no channels") << "nochannels.wav" << wavChannels << "0 channels";
        QByteArray wavEmpty = wav.left(wav.indexOf("data") + 8);
        QTest::newRow("wav with an empty data chunk") << "nodata.wav" << wavEmpty << "no sound";
        QByteArray wavChunks = wav.left(12);
        for (int i = 0; i < 5000; ++i)
            wavChunks.append("JUNK\0\0\0\0", 8);
        QTest::newRow("wav of 5000 empty chunks") << "chunks.wav" << wavChunks << "more than 1000 chunks";
        QByteArray au = fixture("tone3.au");
        qToBigEndian(quint32(0), au.data() + 16);
        QTest::newRow("au rate zero") << "rate0.au" << au << "impossible sample rate";
        QTest::newRow("midi with zero division") << "div0.mid" << QByteArray("MThd\0\0\0\x06\0\0\0\x01\0\0MTrk\0\0\0\x04\0\xFF\x2F\0", 26)
                                        << "time division is zero";
        // A MIDI file of one note lasting 2^28 quarter notes at the slowest tempo.
        QByteArray endless("MThd\0\0\0\x06\0\0\0\x01\0\x01MTrk\0\0\0\x16\0\xFF\x51\x03\xFF\xFF\xFF\0\x90\x40\x40\xFF\xFF\xFF\x7F\x80\x40\0\0\xFF\x2F\0", 44);
        QTest::newRow("midi lasting years") << "years.mid" << endless << "claims to last";
        QTest::newRow("mp3 frames nowhere near the start") << "late.mp3" << QByteArray(5 << 20, '\0') + fixture("tone1s-noheader.mp3")
                                                   << "no MPEG audio frames";
    }
    void absurdFile_isRefusedClearly()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        const QString path = MediaFixtures::instance().write(name, bytes);
        const auto d = measureFile(path);
        QVERIFY2(!d.ok(), qPrintable(QString::number(d.seconds.value_or(-1), 'g', 17)));
        QVERIFY2(d.error.contains(path), qPrintable(d.error));
        QVERIFY2(d.error.contains(reason), qPrintable(d.error));
    }

    // 2 GB of zeros (a sparse file: no disk is used) once took 4.7 s and 2.1 GB.
    void hugeNonAudioFile_isRefusedQuickly_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("reason");
        QTest::newRow("zeros named .mp3") << "zeros.mp3" << "no MPEG audio frames";
        QTest::newRow("zeros named .mid") << "zeros.mid" << "too large to be a MIDI file";
        QTest::newRow("zeros named .wav") << "zeros.wav" << "cannot be read as sound";
        QTest::newRow("zeros named .m3u") << "zeros.m3u" << "too large to be a playlist";
    }
    void hugeNonAudioFile_isRefusedQuickly()
    {
        QFETCH(QString, name);
        QFETCH(QString, reason);
        const QString path = MediaFixtures::instance().path(name);
        const int fd = ::open(path.toLocal8Bit().constData(), O_CREAT | O_TRUNC | O_WRONLY, 0644);
        QVERIFY(fd >= 0);
        QVERIFY(::ftruncate(fd, off_t(2) << 30) == 0);
        ::close(fd);
        QElapsedTimer clock;
        clock.start();
        const auto d = measureFile(path);
        const qint64 ms = clock.elapsed();
        ::unlink(path.toLocal8Bit().constData());
        QVERIFY2(!d.ok(), qPrintable(QString::number(d.seconds.value_or(-1))));
        QVERIFY2(d.error.contains(reason), qPrintable(d.error));
        QVERIFY2(ms < kStallMs, qPrintable(QStringLiteral("took %1 ms").arg(ms)));
    }

    // Five playlists of 30 lines, each naming the next 30 times: under 2 KB
    // that once kept measuring busy for 11 minutes.
    void playlistFanOut_isRefusedQuickly()
    {
        for (int level = 0; level < 5; ++level) {
            QByteArray lines;
            for (int i = 0; i < 30; ++i)
                lines += level < 4 ? QByteArray("fan%1.m3u\n").replace("%1", QByteArray::number(level + 1)) : QByteArray("tone1.wav\n");
            MediaFixtures::instance().write(QStringLiteral("fan%1.m3u").arg(level), lines);
        }
        QElapsedTimer clock;
        clock.start();
        const auto d = measureFile(MediaFixtures::instance().path(QStringLiteral("fan0.m3u")));
        const qint64 ms = clock.elapsed();
        QVERIFY(!d.ok());
        // Whichever bound comes first, entries or time, names the playlist.
        QVERIFY2(d.error.contains(QLatin1String("fan0.m3u\" is a playlist that names more than 1000 songs"))
                     || d.error.contains(QLatin1String("fan0.m3u\" is a playlist whose songs cannot be measured within a second")),
                 qPrintable(d.error));
        QVERIFY2(ms < kStallMs, qPrintable(QStringLiteral("took %1 ms").arg(ms)));
    }

    void playlistWithinBounds_isSumOfItsSongs()
    {
        QByteArray inner;
        for (int i = 0; i < 30; ++i)
            inner += "tone1.wav\n";
        MediaFixtures::instance().write(QStringLiteral("thirty.m3u"), inner);
        const auto d = measureFile(MediaFixtures::instance().write(QStringLiteral("outer.m3u"), "thirty.m3u\nthirty.m3u\n"));
        QVERIFY2(d.ok(), qPrintable(d.error));
        QCOMPARE(*d.seconds, 60.0);
    }

    // Once SIGBUS: the probes read a mapping of the file. The file is cut
    // while a second thread measures it over and over; every answer is an
    // error or a length no longer than the whole file's.
    void fileShrinkingWhileMeasured_neverCrashes()
    {
        QByteArray big;
        const QByteArray plain = fixture("vbr-noheader.mp3");
        while (big.size() < (8 << 20))
            big += plain;
        const QString path = MediaFixtures::instance().write(QStringLiteral("shrinking.mp3"), big);
        const auto whole = measureFile(path);
        QVERIFY2(whole.ok(), qPrintable(whole.error));
        const QByteArray name = path.toLocal8Bit();
        std::atomic<bool> done = false;
        std::atomic<int> measured = 0;
        std::atomic<int> wrong = 0;
        std::thread measurer([&] {
            while (!done) {
                const auto d = measureFile(path);
                if (d.ok() && !(*d.seconds > 0 && *d.seconds <= *whole.seconds + 0.03))
                    ++wrong;
                if (!d.ok() && !d.error.contains(path))
                    ++wrong;
                ++measured;
            }
        });
        for (int round = 0; round < 40; ++round) {
            QVERIFY(::truncate(name.constData(), off_t(big.size() / (2 + round % 5))) == 0);
            QThread::usleep(700);
            QVERIFY(::truncate(name.constData(), 0) == 0);
            QThread::usleep(300);
            MediaFixtures::instance().write(QStringLiteral("shrinking.mp3"), big);
        }
        done = true;
        measurer.join();
        QVERIFY(measured > 0);
        QCOMPARE(wrong.load(), 0);
    }

    // A name of Latin-1 bytes ("canção" as E7 E3), not UTF-8: measured and
    // played by its bytes; Qt's own conversion would make it "does not exist".
    void nonUtf8Name_isMeasuredAndPlayed()
    {
        const QByteArray folder = QFile::encodeName(MediaFixtures::instance().path(QString()));
        const QByteArray bytes = folder + "/can\xE7\xE3o.wav";
        const QByteArray wav = fixture("tone1.wav");
        const int fd = ::open(bytes.constData(), O_CREAT | O_TRUNC | O_WRONLY, 0644);
        QVERIFY(fd >= 0);
        QCOMPARE(::write(fd, wav.constData(), size_t(wav.size())), ssize_t(wav.size()));
        ::close(fd);
        const QString path = tv::media::fileNameFromBytes(bytes);
        QCOMPARE(tv::media::fileNameBytes(path), bytes);
        const auto d = measureFile(path);
        QVERIFY2(d.ok(), qPrintable(d.error));
        QCOMPARE(*d.seconds, 1.0);
        QString error;
        const auto source = tv::media::openSource(path, error);
        QVERIFY2(source, qPrintable(error));
        std::vector<qint16> frames(44100 * 2);
        qint64 total = 0;
        for (qint64 n; (n = source->readFrames(frames.data(), 44100)) > 0;)
            total += n;
        QCOMPARE(total, qint64(44100));
        ::unlink(bytes.constData());
    }
};

QTEST_GUILESS_MAIN(DamagedFilesTest)
#include "tst_damaged_files.moc"
