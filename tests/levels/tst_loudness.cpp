// Loudness, true peak and the loudest window of songs, checked against
// FFmpeg's ebur128 filter on made-up sounds; the cache; level matching.
#include "Fixtures.h"
#include "LevelMatching.h"
#include "LevelsCache.h"
#include "MeasureSong.h"
#include "SongLevels.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace tv::levels;
using tv::test::MediaFixtures;

namespace {
struct Reference
{
    double integrated = 0;
    double truePeak = 0;
};

// FFmpeg's own figures for path: the summary of its ebur128 filter.
std::optional<Reference> ffmpegReference(const QString &path)
{
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"), {"-nostdin", "-nostats", "-hide_banner", "-i", path, "-af", "ebur128=peak=true", "-f", "null", "-"});
    if (!ffmpeg.waitForFinished(60000) || ffmpeg.exitCode() != 0)
        return std::nullopt;
    const QString log = QString::fromUtf8(ffmpeg.readAllStandardError());
    const qsizetype summary = log.lastIndexOf(QLatin1String("Summary:"));
    if (summary < 0)
        return std::nullopt;
    const QString tail = log.mid(summary);
    const auto i = QRegularExpression(QStringLiteral("I:\\s+(-?[0-9.]+|-inf) LUFS")).match(tail);
    const auto p = QRegularExpression(QStringLiteral("True peak:\\s+Peak:\\s+(-?[0-9.]+|-inf) dBFS")).match(tail);
    if (!i.hasMatch() || !p.hasMatch())
        return std::nullopt;
    return Reference{i.captured(1).toDouble(), p.captured(1).toDouble()};
}

bool run(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    return p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}
} // namespace

class LoudnessTest : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    QString path(const QString &name) const { return m_dir.filePath(name); }
    bool sox(const QString &name, const QStringList &effects)
    {
        return run(QStringLiteral("sox"), QStringList{"-q", "-n", "-r", "44100", "-c", "2", "-b", "16", path(name)} + effects);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        // Sounds whose figures differ in every way that matters: level,
        // spectrum (K-weighting), gating of quiet parts, intersample peaks,
        // a lossy codec and a sample rate other than the output's.
        QVERIFY(sox("sine-23.wav", {"synth", "6", "sine", "1000", "gain", "-20"}));
        QVERIFY(sox("low-sine.wav", {"synth", "6", "sine", "60", "gain", "-8"}));
        QVERIFY(sox("pink.wav", {"synth", "8", "pinknoise", "gain", "-14"}));
        QVERIFY(sox("quiet.wav", {"synth", "5", "sine", "440", "gain", "-45"}));
        QVERIFY(sox("loud.wav", {"synth", "5", "pinknoise", "gain", "-10"}));
        QVERIFY(run(QStringLiteral("sox"), {path("quiet.wav"), path("loud.wav"), path("gated.wav")}));
        // A sine at a quarter of the rate, phase-shifted: its samples miss the crests.
        QVERIFY(sox("intersample.wav", {"synth", "4", "sine", "11025", "0", "12.5", "gain", "-0.2"}));
        QVERIFY(run(QStringLiteral("ffmpeg"), {"-nostdin", "-loglevel", "error", "-y", "-i", path("pink.wav"), "-c:a", "libmp3lame", "-b:a", "192k", path("pink.mp3")}));
        QVERIFY(run(QStringLiteral("sox"), {"-q", "-n", "-r", "48000", "-c", "2", "-b", "16", path("tone48k.wav"), "synth", "5", "sine", "2000", "gain", "-12"}));
        // A quiet song with a loud stretch from 7 s to 17 s, then quiet again.
        QVERIFY(sox("q1.wav", {"synth", "7", "sine", "330", "gain", "-40"}));
        QVERIFY(sox("burst.wav", {"synth", "10", "pinknoise", "gain", "-12"}));
        QVERIFY(sox("q2.wav", {"synth", "8", "sine", "330", "gain", "-40"}));
        QVERIFY(run(QStringLiteral("sox"), {path("q1.wav"), path("burst.wav"), path("q2.wav"), path("burst-at-7s.wav")}));
        QVERIFY(sox("short.wav", {"synth", "2.5", "sine", "440", "gain", "-10"}));
        QVERIFY(run(QStringLiteral("sox"), {"-D", "-q", "-n", "-r", "44100", "-c", "2", "-b", "16", path("silence.wav"), "trim", "0", "3"}));
    }

    void measure_matchesFfmpeg_data()
    {
        QTest::addColumn<QString>("name");
        for (const char *name : {"sine-23.wav", "low-sine.wav", "pink.wav", "gated.wav", "intersample.wav", "pink.mp3", "tone48k.wav"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }
    void measure_matchesFfmpeg()
    {
        QFETCH(QString, name);
        const auto reference = ffmpegReference(path(name));
        QVERIFY2(reference, "ffmpeg gave no ebur128 summary");
        QString error;
        const auto levels = measureSong(path(name), error);
        QVERIFY2(levels, qPrintable(error));
        QVERIFY2(std::abs(levels->integratedLufs - reference->integrated) <= 0.1,
                 qPrintable(QStringLiteral("%1 LUFS against %2").arg(levels->integratedLufs).arg(reference->integrated)));
        QVERIFY2(std::abs(levels->truePeakDbtp - reference->truePeak) <= 0.1,
                 qPrintable(QStringLiteral("%1 dBTP against %2").arg(levels->truePeakDbtp).arg(reference->truePeak)));
    }

    void truePeak_isAboveTheSamplePeak()
    {
        // The samples of this sine stand at 0.707 of its crests: a sample
        // meter would read 3 dB too low.
        QString error;
        const auto levels = measureSong(path("intersample.wav"), error);
        QVERIFY(levels);
        QVERIFY2(levels->truePeakDbtp > -0.6, qPrintable(QString::number(levels->truePeakDbtp)));
    }

    void loudestWindow_findsTheLoudStretch()
    {
        QString error;
        const auto levels = measureSong(path("burst-at-7s.wav"), error);
        QVERIFY2(levels, qPrintable(error));
        QCOMPARE(levels->loudestLengthMs, kLoudestWindowMs);
        QVERIFY2(std::abs(levels->loudestStartMs - 7000) <= 100, qPrintable(QString::number(levels->loudestStartMs)));
        const auto burst = measureSong(path("burst.wav"), error);
        QVERIFY(burst);
        QVERIFY(std::abs(levels->loudestLufs - burst->integratedLufs) < 0.5);
    }

    void loudestWindow_ofAShortSong_isTheWholeSong()
    {
        QString error;
        const auto levels = measureSong(path("short.wav"), error);
        QVERIFY(levels);
        QCOMPARE(levels->loudestStartMs, 0);
        QCOMPARE(levels->loudestLengthMs, 2500);
    }

    void silence_hasNoLoudness()
    {
        QString error;
        const auto levels = measureSong(path("silence.wav"), error);
        QVERIFY(levels);
        QVERIFY(levels->isSilent());
        QCOMPARE(levelsText(*levels), QStringLiteral("-inf LUFS, peak -inf dBTP"));
    }

    // General MIDI songs play at the level of other music: a typical one
    // between -20 and -10 LUFS, and none, however dense, above -1 dBTP.
    void midi_playsAtTheLevelOfOtherMusic_data()
    {
        QTest::addColumn<QByteArray>("midi");
        QTest::addColumn<bool>("typical");
        const auto message = [](int status, int a, int b = -1) {
            QByteArray m;
            m.append(char(status)).append(char(a));
            if (b >= 0)
                m.append(char(b));
            return m;
        };
        // Chords on channel `channel` with `program`: `count` of them, a beat each.
        const auto chords = [&](tv::test::MidiWriter &w, int channel, int program, QList<int> keys, int velocity, int count) {
            w.track();
            w.event(0, message(0xC0 | channel, program));
            for (int i = 0; i < count; ++i) {
                for (int k = 0; k < keys.size(); ++k)
                    w.event(0, message(0x90 | channel, keys[k] + (i % 4) * 2, velocity));
                for (int k = 0; k < keys.size(); ++k)
                    w.event(k == 0 ? 480 : 0, message(0x80 | channel, keys[k] + (i % 4) * 2, 0));
            }
            w.endOfTrack(0);
        };
        {
            tv::test::MidiWriter piano;
            piano.track();
            piano.tempo(0, 500000);
            piano.endOfTrack(0);
            chords(piano, 0, 0, {48, 60, 64, 67}, 100, 16);
            chords(piano, 0, 0, {72}, 100, 16); // the melody over the chords
            QTest::newRow("piano chords") << piano.bytes() << true;
        }
        {
            tv::test::MidiWriter band;
            band.track();
            band.tempo(0, 500000);
            band.endOfTrack(0);
            chords(band, 1, 33, {36}, 85, 20);             // bass
            chords(band, 2, 48, {60, 64, 67, 72}, 64, 20); // strings
            band.track();                                 // drums: kick, snare, hi-hat
            for (int i = 0; i < 40; ++i) {
                band.event(0, message(0x99, i % 2 ? 38 : 36, 90));
                band.event(0, message(0x99, 42, 70));
                band.event(240, message(0x89, i % 2 ? 38 : 36, 0));
                band.event(0, message(0x89, 42, 0));
            }
            band.endOfTrack(0);
            QTest::newRow("band") << band.bytes() << true;
        }
        {
            tv::test::MidiWriter tutti;
            tutti.track();
            tutti.tempo(0, 500000);
            tutti.endOfTrack(0);
            for (int channel = 0; channel < 9; ++channel)
                chords(tutti, channel, channel * 8 + 1, {36 + channel * 4, 48 + channel * 4, 55 + channel * 4, 64 + channel * 4}, 127, 12);
            QTest::newRow("nine channels at full velocity") << tutti.bytes() << false;
        }
    }
    void midi_playsAtTheLevelOfOtherMusic()
    {
        QFETCH(QByteArray, midi);
        QFETCH(bool, typical);
        const QString path = MediaFixtures::instance().write(QStringLiteral("%1.mid").arg(QString::fromLatin1(QTest::currentDataTag()).replace(QLatin1Char(' '), QLatin1Char('-'))), midi);
        QString error;
        const std::optional<tv::levels::SongLevels> levels = tv::levels::measureSong(path, error);
        QVERIFY2(levels, qPrintable(error));
        qInfo("%.1f LUFS, %.1f dBTP", levels->integratedLufs, levels->truePeakDbtp);
        if (typical)
            QVERIFY2(levels->integratedLufs >= -20 && levels->integratedLufs <= -10, qPrintable(QString::number(levels->integratedLufs)));
        QVERIFY2(levels->truePeakDbtp <= -1.0, qPrintable(QString::number(levels->truePeakDbtp)));
    }

    void measure_badInput_saysWhy_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("missing") << "missing.wav" << QByteArray();
        QTest::newRow("not sound") << "garbage.mp3" << QByteArray(4000, 'x');
    }
    void measure_badInput_saysWhy()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        if (!bytes.isEmpty()) {
            QFile f(path(name));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(bytes);
        }
        QString error;
        QVERIFY(!measureSong(path(name), error));
        QVERIFY2(error.contains(name), qPrintable(error));
    }

    void measure_cancelled_givesNothing()
    {
        std::atomic<bool> cancel{true};
        QString error;
        QVERIFY(!measureSong(path("pink.wav"), error, &cancel));
        QVERIFY(error.isEmpty());
    }

    void levelsText_isTheToolTip_data()
    {
        QTest::addColumn<double>("lufs");
        QTest::addColumn<double>("peak");
        QTest::addColumn<QString>("text");
        QTest::newRow("typical") << -14.24 << -0.31 << "-14.2 LUFS, peak -0.3 dBTP";
        QTest::newRow("rounded up") << -9.96 << 0.04 << "-10.0 LUFS, peak 0.0 dBTP";
    }
    void levelsText_isTheToolTip()
    {
        QFETCH(double, lufs);
        QFETCH(double, peak);
        QFETCH(QString, text);
        SongLevels l;
        l.integratedLufs = lufs;
        l.truePeakDbtp = peak;
        QCOMPARE(levelsText(l), text);
    }

    void cache_knowsAFileUntilItChanges()
    {
        const QString song = path("cached.wav");
        QVERIFY(QFile::copy(path("short.wav"), song));
        const QString cacheFile = m_dir.filePath(QStringLiteral("cache/loudness.json"));
        SongLevels l;
        l.integratedLufs = -12.5;
        l.truePeakDbtp = -0.7;
        l.loudestStartMs = 300;
        l.loudestLengthMs = 2500;
        l.loudestLufs = -11.0;
        {
            LevelsCache cache(cacheFile);
            QVERIFY(!cache.find(song));
            cache.store(song, l);
        }
        // Read back by a new program run.
        LevelsCache cache(cacheFile);
        const auto found = cache.find(song);
        QVERIFY(found);
        QCOMPARE(found->integratedLufs, -12.5);
        QCOMPARE(found->truePeakDbtp, -0.7);
        QCOMPARE(found->loudestStartMs, 300);
        QCOMPARE(found->loudestLufs, -11.0);
        // The file changes: measured afresh.
        QFile f(song);
        QVERIFY(f.open(QIODevice::Append));
        f.write(QByteArray(4, '\0'));
        f.close();
        QVERIFY(!LevelsCache(cacheFile).find(song));
    }

    void cache_silentSong_survivesTheFile()
    {
        const QString cacheFile = m_dir.filePath(QStringLiteral("cache2/loudness.json"));
        LevelsCache(cacheFile).store(path("silence.wav"), SongLevels{});
        const auto found = LevelsCache(cacheFile).find(path("silence.wav"));
        QVERIFY(found);
        QVERIFY(found->isSilent());
    }

    void cache_damagedFile_isIgnored()
    {
        const QString cacheFile = m_dir.filePath(QStringLiteral("loudness-bad.json"));
        QFile f(cacheFile);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("{\"files\": [ {\"path\": 3}, 17, \"x\"");
        f.close();
        LevelsCache cache(cacheFile);
        QVERIFY(!cache.find(path("short.wav")));
        cache.store(path("short.wav"), SongLevels{});
        QVERIFY(LevelsCache(cacheFile).find(path("short.wav")));
    }

    void matchingGains_data()
    {
        QTest::addColumn<QList<double>>("lufs");
        QTest::addColumn<QList<double>>("peaks");
        QTest::addColumn<double>("target"); // NaN: the quietest song
        QTest::addColumn<QList<double>>("gainsDb");
        const double quietest = std::nan("");
        QTest::newRow("to the quietest") << QList<double>{-20, -10, -14} << QList<double>{-6, -1, -3} << quietest << QList<double>{0, -10, -6};
        QTest::newRow("a loud master above the ceiling comes down") << QList<double>{-9} << QList<double>{-0.2} << quietest
                                                                    << QList<double>{-0.8 - 0.05};
        QTest::newRow("set target, lifted as far as the peak allows")
            << QList<double>{-30, -20} << QList<double>{-20, -3} << -18.0 << QList<double>{12, 2 - 0.05};
        QTest::newRow("silent song keeps its level") << QList<double>{-HUGE_VAL, -12} << QList<double>{-HUGE_VAL, -3} << quietest
                                                     << QList<double>{0, 0};
    }
    void matchingGains()
    {
        QFETCH(QList<double>, lufs);
        QFETCH(QList<double>, peaks);
        QFETCH(double, target);
        QFETCH(QList<double>, gainsDb);
        QList<std::optional<SongLevels>> songs;
        for (qsizetype i = 0; i < lufs.size(); ++i) {
            SongLevels l;
            l.integratedLufs = lufs[i];
            l.truePeakDbtp = peaks[i];
            songs.append(l);
        }
        const QList<double> gains = tv::levels::matchingGains(songs, std::isnan(target) ? std::nullopt : std::optional<double>(target));
        QCOMPARE(gains.size(), gainsDb.size());
        for (qsizetype i = 0; i < gains.size(); ++i)
            QVERIFY2(std::abs(20 * std::log10(gains[i]) - gainsDb[i]) < 1e-9, qPrintable(QStringLiteral("song %1: %2 dB").arg(i).arg(20 * std::log10(gains[i]))));
    }

    void matchingGains_unmeasuredSong_keepsItsLevel()
    {
        SongLevels l;
        l.integratedLufs = -10;
        l.truePeakDbtp = -2;
        const QList<double> gains = tv::levels::matchingGains({std::nullopt, l});
        QCOMPARE(gains, (QList<double>{1.0, 1.0}));
    }
};

QTEST_GUILESS_MAIN(LoudnessTest)
#include "tst_loudness.moc"
