// A side rendered to a file, checked sample by sample against the songs'
// own decoded samples; level matching in the rendered sound; failures and
// Cancel leave what was there; the tvrender tool.
#include "CdImages.h"
#include "Fixtures.h"
#include "LevelMatching.h"
#include "LoudnessMeter.h"
#include "MeasureSong.h"
#include "PlaylistFile.h"
#include "SideRenderer.h"
#include "SongEntry.h"
#include "source/SourceFactory.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <vector>

using namespace tv::levels;
using tv::test::MediaFixtures;

namespace {
constexpr int kRate = 44100;

std::vector<qint16> decodeAll(const QString &path, QString &error)
{
    std::vector<qint16> all;
    auto source = tv::media::openSource(path, error);
    if (!source)
        return all;
    std::vector<qint16> buffer(2 * 8192);
    for (qint64 n; (n = source->readFrames(buffer.data(), 8192)) > 0;)
        all.insert(all.end(), buffer.begin(), buffer.begin() + n * 2);
    return all;
}

bool run(const QString &program, const QStringList &args, QString *errors = nullptr)
{
    QProcess p;
    p.start(program, args);
    const bool ok = p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    if (errors)
        *errors = QString::fromUtf8(p.readAllStandardError());
    return ok;
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
} // namespace

class RenderTest : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    QStringList m_songs;
    QString out(const QString &name) const { return m_dir.filePath(name); }

    // The rendered file is the songs in order, each whole and unchanged,
    // with silence of exactly silenceMs (to the sample) between them, and
    // exactly leadInMs of it before the first.
    void verifySide(const QString &file, qint64 silenceMs, qint64 leadInMs = 0)
    {
        QString error;
        const std::vector<qint16> rendered = decodeAll(file, error);
        QVERIFY2(!rendered.empty(), qPrintable(error));
        std::size_t at = 0;
        for (int k = 0; k < m_songs.size(); ++k) {
            if (k > 0 || leadInMs > 0) {
                const std::size_t gap = std::size_t((k > 0 ? silenceMs : leadInMs) * kRate / 1000) * 2;
                QVERIFY(at + gap <= rendered.size());
                for (std::size_t i = 0; i < gap; ++i)
                    QVERIFY2(rendered[at + i] == 0, qPrintable(QStringLiteral("sound in the silence before song %1 at sample %2").arg(k + 1).arg(i / 2)));
                at += gap;
            }
            const std::vector<qint16> song = decodeAll(m_songs[k], error);
            QVERIFY2(!song.empty(), qPrintable(error));
            QVERIFY2(at + song.size() <= rendered.size(), qPrintable(QStringLiteral("song %1 is cut short").arg(k + 1)));
            QVERIFY2(std::equal(song.begin(), song.end(), rendered.begin() + qsizetype(at)),
                     qPrintable(QStringLiteral("song %1 differs from its file").arg(k + 1)));
            at += song.size();
        }
        QCOMPARE(rendered.size(), at); // nothing after the last song
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY2(MediaFixtures::instance().ok(), qPrintable(MediaFixtures::instance().error()));
        // Three songs of distinct lengths and pitches, one of them lossy.
        for (const char *name : {"song-a.wav", "song-b.wav", "tone1s-noheader.mp3", "song-c.wav"})
            m_songs << MediaFixtures::instance().path(QString::fromLatin1(name));
    }

    void render_isTheSideSampleBySample_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<qint64>("delayMs");
        QTest::newRow("wav, delay 2 s") << "side.wav" << qint64(2000);
        QTest::newRow("flac, no delay") << "side.flac" << qint64(0);
    }
    void render_isTheSideSampleBySample()
    {
        QFETCH(QString, name);
        QFETCH(qint64, delayMs);
        qint64 lastProgress = -1;
        bool progressOrdered = true;
        const RenderOutcome outcome = renderSide(planSide(m_songs, delayMs), out(name), [&](qint64 frames) {
            progressOrdered = progressOrdered && frames > lastProgress;
            lastProgress = frames;
        });
        QVERIFY2(outcome.result == RenderOutcome::Result::Written, qPrintable(outcome.error));
        QVERIFY(progressOrdered);
        QCOMPARE(lastProgress, outcome.frames);
        // Each song's own frames, as its file decodes (the silences not counted).
        QCOMPARE(outcome.songFrames.size(), m_songs.size());
        for (int k = 0; k < m_songs.size(); ++k) {
            QString error;
            QCOMPARE(outcome.songFrames.at(k), qint64(decodeAll(m_songs[k], error).size() / 2));
        }
        verifySide(out(name), delayMs);
        // FFmpeg plays the file through without a complaint.
        QString errors;
        QVERIFY(run(QStringLiteral("ffmpeg"), {"-nostdin", "-v", "error", "-i", out(name), "-f", "null", "-"}, &errors));
        QVERIFY2(errors.isEmpty(), qPrintable(errors));
    }

    void plan_silenceIsTheSongDelay_afterSongsAndCdTracksAlike_data()
    {
        QTest::addColumn<qint64>("delayMs");
        QTest::addColumn<qint64>("leadInMs");
        QTest::addColumn<qint64>("first");
        QTest::newRow("delay 1 s") << qint64(1000) << qint64(0) << qint64(0);
        QTest::newRow("delay 0 joins the songs") << qint64(0) << qint64(0) << qint64(0);
        QTest::newRow("a negative delay counts as none") << qint64(-2000) << qint64(0) << qint64(0);
        QTest::newRow("lead-in before the first song only") << qint64(2000) << qint64(5000) << qint64(5000);
        QTest::newRow("lead-in with no delay") << qint64(0) << qint64(3000) << qint64(3000);
        QTest::newRow("a negative lead-in counts as none") << qint64(1000) << qint64(-3000) << qint64(0);
    }
    void plan_silenceIsTheSongDelay_afterSongsAndCdTracksAlike()
    {
        // What the side's read-out counts is what the tape holds.
        QFETCH(qint64, delayMs);
        QFETCH(qint64, leadInMs);
        QFETCH(qint64, first);
        const QList<PlannedSong> plan = planSide({"/a.mp3", "/cd/Track01.cda", "/b.mp3"}, delayMs, {}, leadInMs);
        QCOMPARE(plan.at(0).silenceBeforeMs, first);
        QCOMPARE(plan.at(1).silenceBeforeMs, std::max<qint64>(0, delayMs));
        QCOMPARE(plan.at(2).silenceBeforeMs, std::max<qint64>(0, delayMs));
    }

    void render_levelMatching_bringsSongsToTheTarget()
    {
        // A quiet song, a loud one and a hot master, matched to the quietest:
        // every song within 0.5 LU of the target, no true peak above -1 dBTP.
        QStringList songs;
        const auto sox = [&](const QString &name, const QStringList &effects) {
            songs << out(name);
            return run(QStringLiteral("sox"), QStringList{"-q", "-n", "-r", "44100", "-c", "2", "-b", "16", out(name), "synth"} + effects);
        };
        QVERIFY(sox("m-quiet.wav", {"4", "pinknoise", "gain", "-30"}));
        QVERIFY(sox("m-loud.wav", {"4", "sine", "800", "gain", "-6"}));
        QVERIFY(sox("m-hot.wav", {"4", "pinknoise", "gain", "-n", "-0.2"}));
        QList<std::optional<SongLevels>> levels;
        for (const QString &s : songs) {
            QString error;
            levels.append(measureSong(s, error));
            QVERIFY2(levels.last(), qPrintable(error));
        }
        for (const std::optional<double> set : {std::optional<double>(), std::optional<double>(-23.0)}) {
            const double target = *matchingTarget(levels, set);
            const QList<double> gains = matchingGains(levels, set);
            const RenderOutcome outcome = renderSide(planSide(songs, 0, gains), out("matched.wav"));
            QVERIFY2(outcome.result == RenderOutcome::Result::Written, qPrintable(outcome.error));
            QString error;
            const std::vector<qint16> rendered = decodeAll(out("matched.wav"), error);
            std::size_t at = 0;
            for (int k = 0; k < songs.size(); ++k) {
                const std::size_t length = decodeAll(songs[k], error).size();
                LoudnessMeter meter;
                meter.addFrames(rendered.data() + at, qint64(length / 2));
                const SongLevels heard = meter.result();
                at += length;
                QVERIFY2(heard.truePeakDbtp <= kPeakCeilingDbtp, qPrintable(QStringLiteral("song %1 peaks at %2 dBTP").arg(k + 1).arg(heard.truePeakDbtp)));
                const double reachable = levels[k]->integratedLufs + 20 * std::log10(gains[k]);
                QVERIFY2(std::abs(heard.integratedLufs - reachable) <= 0.5, qPrintable(QString::number(heard.integratedLufs)));
                if (levels[k]->truePeakDbtp + (target - levels[k]->integratedLufs) <= kPeakCeilingDbtp - 0.05)
                    QVERIFY2(std::abs(heard.integratedLufs - target) <= 0.5,
                             qPrintable(QStringLiteral("song %1 at %2 LUFS, target %3").arg(k + 1).arg(heard.integratedLufs).arg(target)));
            }
        }
    }

    void render_songThatCannotPlay_failsAndKeepsTheOldFile()
    {
        const QString target = out("kept.wav");
        QVERIFY(tv::test::writeFile(target, "the user's own file"));
        const QString missing = out("no-such-song.mp3");
        const RenderOutcome outcome = renderSide(planSide({m_songs[0], missing}, 0), target);
        QVERIFY(outcome.result == RenderOutcome::Result::Failed);
        QVERIFY2(outcome.error.contains(missing), qPrintable(outcome.error));
        QCOMPARE(readFile(target), QByteArray("the user's own file"));
    }

    void render_cancelled_keepsTheOldFile()
    {
        const QString target = out("kept.flac");
        QVERIFY(tv::test::writeFile(target, "older"));
        std::atomic<bool> cancel{false};
        const RenderOutcome outcome = renderSide(planSide(m_songs, 0), target, [&](qint64) { cancel = true; }, &cancel);
        QVERIFY(outcome.result == RenderOutcome::Result::Cancelled);
        QCOMPARE(readFile(target), QByteArray("older"));
    }

    void render_badTarget_saysWhy_data()
    {
        QTest::addColumn<QString>("target");
        QTest::newRow("folder missing") << "/no/such/folder/side.wav";
        QTest::newRow("unknown format") << "side.mp3";
    }
    void render_badTarget_saysWhy()
    {
        QFETCH(QString, target);
        const QString path = target.startsWith(QLatin1Char('/')) ? target : out(target);
        const RenderOutcome outcome = renderSide(planSide(m_songs, 0), path);
        QVERIFY(outcome.result == RenderOutcome::Result::Failed);
        QVERIFY2(outcome.error.contains(path), qPrintable(outcome.error));
        QVERIFY(!QFile::exists(path));
    }

    void tvrender_rendersASideOfAPlaylistFile()
    {
        tv::core::PlaylistContent content;
        content.mediumCode = QStringLiteral("3");
        content.delay = QStringLiteral("1");
        content.sideB.present = true;
        for (const QString &s : m_songs)
            content.sideB.entries << tv::core::SongEntry{s, 1}.text();
        const QString tpl = out("list.tpl");
        QFile f(tpl);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(tv::core::writePlaylist(content, true));
        f.close();
        QString errors;
        QVERIFY2(run(QStringLiteral(TVRENDER), {tpl, "--side", "B", out("tool.flac")}, &errors), qPrintable(errors));
        verifySide(out("tool.flac"), 1000);
        // With a lead-in: that much silence first, to the sample.
        QVERIFY2(run(QStringLiteral(TVRENDER), {tpl, "--side", "B", "--lead-in", "2", out("leadin.wav")}, &errors), qPrintable(errors));
        verifySide(out("leadin.wav"), 1000, 2000);
        for (const char *bad : {"-1", "61", "two"}) {
            QVERIFY(!run(QStringLiteral(TVRENDER), {tpl, "--side", "B", "--lead-in", bad, out("bad.wav")}, &errors));
            QVERIFY2(errors.contains(QLatin1String("usage")) && !QFile::exists(out("bad.wav")), bad);
        }
        // Side A is empty: a clear refusal, no file.
        QVERIFY(!run(QStringLiteral(TVRENDER), {tpl, "--side", "A", out("empty.wav")}, &errors));
        QVERIFY2(errors.contains(QLatin1String("no songs")), qPrintable(errors));
        QVERIFY(!QFile::exists(out("empty.wav")));
        QVERIFY(!run(QStringLiteral(TVRENDER), {tpl, "--side", "C", out("x.wav")}, &errors));
        QVERIFY(errors.contains(QLatin1String("usage")));
        // An entry that claims a minute for a short song: rendered as it
        // plays, and the song is named.
        content.sideB.entries = {tv::core::SongEntry{m_songs.first(), 60}.text()};
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(tv::core::writePlaylist(content, true));
        f.close();
        QVERIFY2(run(QStringLiteral(TVRENDER), {tpl, "--side", "B", out("short.wav")}, &errors), qPrintable(errors));
        QVERIFY2(errors.contains(QStringLiteral("song #1, %1, ended after").arg(m_songs.first())) && errors.contains(QLatin1String("01:00")),
                 qPrintable(errors));
    }
};

QTEST_GUILESS_MAIN(RenderTest)
#include "tst_render.moc"
