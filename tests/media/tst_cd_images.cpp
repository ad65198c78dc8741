// CD images made here, at test time: CUE sheets checked line by line, images
// with pregaps and a data track, a cdrdao .toc, images of one name in two
// folders, track files of another disc, and reading through paranoia with
// sectors that the "drive" refuses.
#include "CdImages.h"
#include "cd/CdAudioDevice.h"
#include "cd/CdDamageReports.h"
#include "cd/CdDisc.h"
#include "cd/CdReadFaults.h"
#include "cd/CdSource.h"
#include "cd/CdTrackFolder.h"
#include "cd/CueSheet.h"
#include "source/FfmpegSource.h"

#include <QDir>
#include <QFile>
#include <QtEndian>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using tv::media::CdAudioDevice;
using tv::media::CdDisc;
using tv::media::CdSource;
namespace CdTrackFolder = tv::media::CdTrackFolder;
namespace CdReadFaults = tv::media::CdReadFaults;
using tv::test::cdSectors;
using tv::test::writeFile;

namespace {
// The layout of the image with pregaps and a data track, in sectors.
constexpr int kTrack1 = 187;  // 00:02:37 of 440 Hz
constexpr int kPregap2 = 30;  // silence before track 2 (INDEX 00)
constexpr int kTrack2 = 230;  // 00:03:05 of 660 Hz
constexpr int kData3 = 100;   // a data track
constexpr int kTrack4 = 150;  // 00:02:00 of 880 Hz
constexpr int kStart2 = kTrack1 + kPregap2;
constexpr int kStart3 = kStart2 + kTrack2;
constexpr int kStart4 = kStart3 + kData3;

// The audio-only disc that every layout of a sheet below must give:
// track 1, its silent end (the pregap of track 2), track 2, track 3.
constexpr int kAudioStart3 = kStart2 + kTrack2;
constexpr int kAudioSectors = kAudioStart3 + kTrack4;

QString msf(int sectors);

QByteArray audioDisc()
{
    return tv::test::cdSectors(kTrack1, 440) + tv::test::cdSectors(kPregap2, 0) + tv::test::cdSectors(kTrack2, 660)
           + tv::test::cdSectors(kTrack4, 880);
}

// Writes the sectors [first, first + count) of the audio disc to path as
// kind: "wav", "bin", "motorola" (big-endian raw) or a format that ffmpeg
// encodes ("flac", "aiff", "mp3").
bool writeSound(const QString &path, const QString &kind, int first, int count)
{
    QByteArray pcm = audioDisc().mid(first * 2352, count * 2352);
    if (kind == QLatin1String("bin"))
        return tv::test::writeFile(path, pcm);
    if (kind == QLatin1String("motorola")) {
        for (int i = 0; i + 1 < pcm.size(); i += 2)
            std::swap(pcm[i], pcm[i + 1]);
        return tv::test::writeFile(path, pcm);
    }
    if (kind == QLatin1String("wav"))
        return tv::test::writeFile(path, tv::test::wavOf(pcm));
    return tv::test::writeEncoded(path, kind, pcm);
}

QString msf(int sectors)
{
    return QStringLiteral("%1:%2:%3")
        .arg(sectors / 75 / 60, 2, 10, QLatin1Char('0'))
        .arg(sectors / 75 % 60, 2, 10, QLatin1Char('0'))
        .arg(sectors % 75, 2, 10, QLatin1Char('0'));
}
} // namespace

class CdImagesTest : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    QString m_cue; // the image with pregaps and a data track

    QString path(const QString &name) const { return m_dir.filePath(name); }
    QByteArray discBytes() const
    {
        QByteArray data = cdSectors(kData3, 0);
        data.fill('\x5a');
        return cdSectors(kTrack1, 440) + cdSectors(kPregap2, 0) + cdSectors(kTrack2, 660) + data + cdSectors(kTrack4, 880);
    }
    // The whole of a source, read as the decoder reads it.
    static QByteArray readAll(tv::media::AudioSource &source)
    {
        QByteArray all;
        std::vector<qint16> buffer(4096 * 2);
        for (;;) {
            const qint64 n = source.readFrames(buffer.data(), 4096);
            if (n <= 0)
                break;
            all.append(reinterpret_cast<const char *>(buffer.data()), int(n * 4));
        }
        return all;
    }
    // Track length as the CD device reports it with TMSF: minutes, seconds, frames.
    static QString tmsfLength(const QString &trackFile, int track)
    {
        CdAudioDevice device;
        device.setFileName(trackFile);
        if (!device.command(QStringLiteral("Open")))
            return device.errorMessage();
        (void)device.setTimeFormat(CdAudioDevice::Tmsf);
        device.setTrack(track);
        const qint64 packed = device.trackLength();
        return msf(int(((packed & 0xFF) * 60 + ((packed >> 8) & 0xFF)) * 75 + ((packed >> 16) & 0xFF)));
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_dir.isValid());
        QVERIFY(writeFile(path(QStringLiteral("images/disc.bin")), discBytes()));
        m_cue = path(QStringLiteral("images/disc.cue"));
        const QString sheet = QStringLiteral("REM made by the test\nPERFORMER \"Test\"\nFILE \"disc.bin\" BINARY\n"
                                             "  TRACK 01 AUDIO\n    TITLE \"One\"\n    INDEX 01 00:00:00\n"
                                             "  TRACK 02 AUDIO\n    INDEX 00 %1\n    INDEX 01 %2\n"
                                             "  TRACK 03 MODE1/2352\n    INDEX 01 %3\n"
                                             "  TRACK 04 AUDIO\n    FLAGS DCP\n    INDEX 01 %4\n")
                                  .arg(msf(kTrack1), msf(kStart2), msf(kStart3), msf(kStart4));
        QVERIFY(writeFile(m_cue, sheet.toUtf8()));
    }
    void cleanup() { CdReadFaults::setInjector({}); }

    void cueSheet_problems_nameTheFileAndTheLine_data()
    {
        QTest::addColumn<QString>("sheet");
        QTest::addColumn<int>("binSectors"); // -1: no data file
        QTest::addColumn<QString>("expected");
        const QString good = QStringLiteral("FILE \"x.bin\" BINARY\nTRACK 01 AUDIO\nINDEX 01 00:00:00\nTRACK 02 AUDIO\nINDEX 00 00:01:00\nINDEX 01 00:01:10\n");
        QTest::newRow("sound, with a pregap") << good << 200 << QString();
        QTest::newRow("PREGAP, names unquoted") << QStringLiteral("FILE x.bin BINARY\nTRACK 01 AUDIO\nPREGAP 00:02:00\nINDEX 01 00:00:00\n") << 10 << QString();
        QTest::newRow("POSTGAP") << QStringLiteral("FILE x.bin BINARY\nTRACK 01 AUDIO\nINDEX 01 00:00:00\nPOSTGAP 00:00:10\n") << 10 << QString();
        QTest::newRow("two data files") << QStringLiteral("FILE x.bin BINARY\nTRACK 01 AUDIO\nINDEX 01 00:00:00\nFILE x.bin BINARY\nTRACK 02 AUDIO\nINDEX 01 00:00:00\n") << 10 << QString();
        QTest::newRow("missing data file") << good << -1 << QStringLiteral("line 1 (\"FILE \"x.bin\" BINARY\") names the data file");
        QTest::newRow("cut short before track 2") << good << 60 << QStringLiteral("line 6 (\"INDEX 01 00:01:10\") places a track at a point past the end");
        QTest::newRow("ends inside a sector") << good << -2 << QStringLiteral("line 1 (\"FILE \"x.bin\" BINARY\") names the data file");
        QTest::newRow("unknown command") << QStringLiteral("FILE x.bin BINARY\nTRACK 01 AUDIO\nINDX 01 00:00:00\n") << 10 << QStringLiteral("line 3 (\"INDX 01 00:00:00\") is not a line of a CUE sheet");
        QTest::newRow("unknown track kind") << QStringLiteral("FILE x.bin BINARY\nTRACK 01 AUIDO\nINDEX 01 00:00:00\n") << 10 << QStringLiteral("line 2 (\"TRACK 01 AUIDO\") gives \"AUIDO\"");
        QTest::newRow("75 frames") << QStringLiteral("FILE x.bin BINARY\nTRACK 01 AUDIO\nINDEX 01 00:00:75\n") << 10 << QStringLiteral("line 3 (\"INDEX 01 00:00:75\") should give");
        QTest::newRow("track before FILE") << QStringLiteral("TRACK 01 AUDIO\n") << 10 << QStringLiteral("line 1 (\"TRACK 01 AUDIO\") comes before any FILE line");
        QTest::newRow("tracks out of order") << QStringLiteral("FILE x.bin BINARY\nTRACK 02 AUDIO\nINDEX 01 00:00:00\nTRACK 01 AUDIO\n") << 10 << QStringLiteral("line 4 (\"TRACK 01 AUDIO\") gives track 1 after track 2");
        QTest::newRow("unclosed quote") << QStringLiteral("FILE \"x.bin BINARY\n") << 10 << QStringLiteral("line 1 (\"FILE \"x.bin BINARY\") has a quotation mark that is not closed");
        QTest::newRow(".bin named WAVE, read raw") << QStringLiteral("FILE \"x.bin\" WAVE\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n") << 10 << QString();
        QTest::newRow("not sound, named WAVE") << QStringLiteral("FILE \"x.cue\" WAVE\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n") << 10 << QStringLiteral("line 1 (\"FILE \"x.cue\" WAVE\") names a data file that cannot be played (The file");
        QTest::newRow("data track in a WAVE file") << QStringLiteral("FILE x.cue WAVE\nTRACK 01 MODE1/2352\nINDEX 01 00:00:00\n") << 10 << QStringLiteral("line 2 (\"TRACK 01 MODE1/2352\") puts a data track into the WAVE file");
        QTest::newRow("track without INDEX 01") << QStringLiteral("FILE x.bin BINARY\nTRACK 01 AUDIO\nINDEX 00 00:00:00\nTRACK 02 AUDIO\nINDEX 01 00:01:00\n") << 100 << QStringLiteral("line 2 (\"TRACK 01 AUDIO\") starts track 1, which has no INDEX 01 line");
        QTest::newRow("time going back") << QStringLiteral("FILE x.bin BINARY\nTRACK 01 AUDIO\nINDEX 01 00:01:00\nTRACK 02 AUDIO\nINDEX 01 00:00:10\n") << 100 << QStringLiteral("line 5 (\"INDEX 01 00:00:10\") gives a time before the one of line 3");
        QTest::newRow("no tracks") << QStringLiteral("FILE x.bin BINARY\n") << 10 << QStringLiteral("it lists no tracks");
        QTest::newRow("100 data files") << QStringLiteral("FILE x.bin BINARY\n").repeated(100) << 10 << QStringLiteral("line 100 (\"FILE x.bin BINARY\") names a 100th data file");
        QTest::newRow("far too large") << QStringLiteral("REM %1\n").arg(QString(1 << 20, QLatin1Char('x'))) << 10 << QStringLiteral("it is too large to be a CUE sheet");
    }
    void cueSheet_problems_nameTheFileAndTheLine()
    {
        QFETCH(QString, sheet);
        QFETCH(int, binSectors);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        const QString cue = dir.filePath(QStringLiteral("x.cue"));
        QVERIFY(writeFile(cue, sheet.toUtf8()));
        if (binSectors >= 0)
            QVERIFY(writeFile(dir.filePath(QStringLiteral("x.bin")), cdSectors(binSectors, 440)));
        if (binSectors == -2)
            QVERIFY(writeFile(dir.filePath(QStringLiteral("x.bin")), cdSectors(200, 440) + QByteArray(100, '\0')));
        const QString message = tv::media::CueSheet::check(cue);
        if (expected.isEmpty()) {
            QVERIFY2(message.isEmpty(), qPrintable(message));
            QString error;
            QVERIFY2(CdDisc::open(cue, error), qPrintable(error));
            return;
        }
        QVERIFY2(message.startsWith(QStringLiteral("The CD image \"%1\" cannot be read: ").arg(cue)), qPrintable(message));
        QVERIFY2(message.contains(expected), qPrintable(message));
        // Opening the image says the same, and makes no track folder.
        QString error;
        QVERIFY(!CdDisc::open(cue, error));
        QCOMPARE(error, message);
        QVERIFY(CdTrackFolder::materialise(cue, error).isEmpty());
        QCOMPARE(error, message);
    }

    void image_withPregapAndDataTrack_listsMusicTracksWithTrueNumbersAndFrameLengths()
    {
        QString error;
        const QString folder = CdTrackFolder::materialise(m_cue, error);
        QVERIFY2(!folder.isEmpty(), qPrintable(error));
        QCOMPARE(QDir(folder).entryList({QStringLiteral("*cda")}, QDir::Files, QDir::Name),
                 QStringList({QStringLiteral("Track01.cda"), QStringLiteral("Track02.cda"), QStringLiteral("Track04.cda")}));
        QCOMPARE(CdTrackFolder::imageOf(folder), m_cue);
        // Track 1 runs to the start of track 2, its pregap included, as a player plays it.
        QCOMPARE(tmsfLength(folder + QStringLiteral("/Track01.cda"), 1), msf(kStart2));
        QCOMPARE(tmsfLength(folder + QStringLiteral("/Track02.cda"), 2), msf(kTrack2));
        QCOMPARE(tmsfLength(folder + QStringLiteral("/Track04.cda"), 4), msf(kTrack4));
        // The data track plays as nothing.
        QVERIFY(!CdSource::openTrack(folder + QStringLiteral("/Track03.cda"), error));
        QVERIFY2(error.contains(QLatin1String("not a music track")), qPrintable(error));
    }

    void paranoiaRead_ofASoundImage_isTheImagesAudio()
    {
        QString error;
        const QString folder = CdTrackFolder::materialise(m_cue, error);
        QVERIFY2(!folder.isEmpty(), qPrintable(error));
        QSignalSpy damaged(&tv::media::CdDamageReports::instance(), &tv::media::CdDamageReports::damaged);
        for (const auto &[track, start, sectors] : {std::tuple{1, 0, kStart2}, std::tuple{2, kStart2, kTrack2}, std::tuple{4, kStart4, kTrack4}}) {
            auto source = CdSource::openTrack(folder + QStringLiteral("/Track%1.cda").arg(track, 2, 10, QLatin1Char('0')), error);
            QVERIFY2(source, qPrintable(error));
            const QByteArray heard = readAll(*source);
            QCOMPARE(heard.size(), sectors * 2352);
            QVERIFY2(heard == discBytes().mid(start * 2352, sectors * 2352), qPrintable(QStringLiteral("track %1").arg(track)));
        }
        QCOMPARE(damaged.count(), 0);
    }

    void paranoiaRead_sectorsTheDriveRefuses_becomeSilenceOfTheirLength_data()
    {
        QTest::addColumn<int>("first"); // within track 2
        QTest::addColumn<int>("count");
        QTest::newRow("one sector") << 100 << 1;
        QTest::newRow("15 sectors across two reads") << 40 << 15;
        QTest::newRow("the track's first sectors") << 0 << 5;
        QTest::newRow("the track's last sectors") << kTrack2 - 3 << 3;
    }
    void paranoiaRead_sectorsTheDriveRefuses_becomeSilenceOfTheirLength()
    {
        QFETCH(int, first);
        QFETCH(int, count);
        QString error;
        const QString folder = CdTrackFolder::materialise(m_cue, error);
        QVERIFY2(!folder.isEmpty(), qPrintable(error));
        const int bad = kStart2 + first;
        std::atomic<int> asked{0};
        CdReadFaults::setInjector([&](const QString &source, int sector) {
            ++asked;
            return source == m_cue && sector >= bad && sector < bad + count;
        });
        QSignalSpy damaged(&tv::media::CdDamageReports::instance(), &tv::media::CdDamageReports::damaged);
        const QString trackFile = folder + QStringLiteral("/Track02.cda");
        auto source = CdSource::openTrack(trackFile, error);
        QVERIFY2(source, qPrintable(error));
        const QByteArray heard = readAll(*source);
        QVERIFY(asked > 0);
        // Exactly the refused sectors are silent; everything else is the image.
        QByteArray expected = discBytes().mid(kStart2 * 2352, kTrack2 * 2352);
        expected.replace(first * 2352, count * 2352, QByteArray(count * 2352, '\0'));
        QCOMPARE(heard.size(), expected.size());
        for (int s = 0; s < kTrack2; ++s)
            QVERIFY2(heard.mid(s * 2352, 2352) == expected.mid(s * 2352, 2352), qPrintable(QStringLiteral("sector %1 of track 2").arg(s)));
        QVERIFY(damaged.count() >= 1);
        const QList<QVariant> last = damaged.last();
        QCOMPARE(last.at(0).toString(), trackFile);
        QCOMPARE(last.at(1).toInt(), 2);
        QCOMPARE(last.at(2).toLongLong(), qint64(first) * 1000 / 75);
        QCOMPARE(last.at(3).toLongLong(), qint64(count) * 1000 / 75);
    }

    void playOnPastTheFirstTrack_tellsEachDamageUnderItsOwnTrackFile()
    {
        // The CD player plays from a track to the disc's end: damage in
        // track 2 is track 2's, though the play began at track 1.
        QString error;
        const QString folder = CdTrackFolder::materialise(m_cue, error);
        QVERIFY2(!folder.isEmpty(), qPrintable(error));
        CdReadFaults::setInjector([&](const QString &source, int sector) { return source == m_cue && sector == kStart2 + 10; });
        QSignalSpy damaged(&tv::media::CdDamageReports::instance(), &tv::media::CdDamageReports::damaged);
        const std::shared_ptr<tv::media::CdDisc> disc = tv::media::CdDisc::open(m_cue, error);
        QVERIFY2(disc, qPrintable(error));
        CdSource source(disc, disc->track(1)->firstSector, -1, folder + QStringLiteral("/Track01.cda"));
        readAll(source);
        QCOMPARE(damaged.count(), 1);
        QCOMPARE(damaged.first().at(0).toString(), folder + QStringLiteral("/Track02.cda"));
        QCOMPARE(damaged.first().at(1).toInt(), 2);
        QCOMPARE(CdTrackFolder::trackFileOf(QStringLiteral("/cd/Track01.cda"), 12), QStringLiteral("/cd/Track12.cda"));
        QCOMPARE(CdTrackFolder::trackFileOf(QStringLiteral("/dev/sr0"), 2), QStringLiteral("/dev/sr0")); // a drive keeps its name
        QCOMPARE(CdTrackFolder::trackFileOf(QStringLiteral("/music/CD 12.cue"), 2), QStringLiteral("/music/CD 12.cue")); // so does an image
    }

    void sheetsLaidOutHere_giveTheDiscThatLibcdioGivesForOneRawFile_data()
    {
        QTest::addColumn<QStringList>("files"); // name:kind:first sector:sectors
        QTest::addColumn<QString>("sheet");     // END1: track 1's end, START2, START3: tracks 2 and 3, LENGTH: the pregap's length
        QTest::addColumn<bool>("lossy");
        const QString oneFile = QStringLiteral("FILE \"disc.%1\" %2\n TRACK 01 AUDIO\n  INDEX 01 00:00:00\n"
                                               " TRACK 02 AUDIO\n  INDEX 00 END1\n  INDEX 01 START2\n TRACK 03 AUDIO\n  INDEX 01 START3\n");
        for (const auto &[kind, type, lossy] : {std::tuple{"wav", "WAVE", false}, std::tuple{"flac", "WAVE", false},
                                                std::tuple{"aiff", "AIFF", false}, std::tuple{"mp3", "MP3", true},
                                                std::tuple{"motorola", "MOTOROLA", false}}) {
            const QString k = QString::fromLatin1(kind);
            QTest::addRow("one %s file", kind) << QStringList{QStringLiteral("disc.%1:%1:0:%2").arg(k).arg(kAudioSectors)}
                                               << oneFile.arg(k, QString::fromLatin1(type))
                                               << lossy;
        }
        const QString perTrack = QStringLiteral("t1.wav:wav:0:%1,t2.wav:wav:%1:%2,t3.wav:wav:%3:%4");
        QTest::newRow("a WAVE per track, the pregap ending the first")
            << perTrack.arg(kStart2).arg(kTrack2).arg(kAudioStart3).arg(kTrack4).split(QLatin1Char(','))
            << QStringLiteral("FILE t1.wav WAVE\nTRACK 01 AUDIO\nINDEX 01 00:00:00\nTRACK 02 AUDIO\nINDEX 00 END1\n"
                              "FILE t2.wav WAVE\nINDEX 01 00:00:00\nFILE t3.wav WAVE\nTRACK 03 AUDIO\nINDEX 01 00:00:00\n")
            << false;
        QTest::newRow("a WAVE per track, the pregap opening the second")
            << QStringLiteral("t1.wav:wav:0:%1,t2.wav:wav:%1:%2,t3.wav:wav:%3:%4").arg(kTrack1).arg(kPregap2 + kTrack2).arg(kAudioStart3).arg(kTrack4).split(QLatin1Char(','))
            << QStringLiteral("FILE t1.wav WAVE\nTRACK 01 AUDIO\nINDEX 01 00:00:00\nFILE t2.wav WAVE\nTRACK 02 AUDIO\nINDEX 00 00:00:00\n"
                              "INDEX 01 LENGTH\nFILE t3.wav WAVE\nTRACK 03 AUDIO\nINDEX 01 00:00:00\n")
            << false;
        // The silence no file holds: the files lack it, the sheet asks for it.
        const QString gapless = QStringLiteral("a.bin:bin:0:%1,b.bin:bin:%2:%3").arg(kTrack1).arg(kStart2).arg(kTrack2 + kTrack4);
        QTest::newRow("PREGAP") << gapless.split(QLatin1Char(','))
                                << QStringLiteral("FILE a.bin BINARY\nTRACK 01 AUDIO\nINDEX 01 00:00:00\nFILE b.bin BINARY\nTRACK 02 AUDIO\n"
                                                  "PREGAP LENGTH\nINDEX 01 00:00:00\nTRACK 03 AUDIO\nINDEX 01 %1\n").arg(msf(kTrack2))
                                << false;
        QTest::newRow("POSTGAP") << gapless.split(QLatin1Char(','))
                                 << QStringLiteral("FILE a.bin BINARY\nTRACK 01 AUDIO\nINDEX 01 00:00:00\nPOSTGAP LENGTH\nFILE b.bin BINARY\n"
                                                   "TRACK 02 AUDIO\nINDEX 01 00:00:00\nTRACK 03 AUDIO\nINDEX 01 %1\n").arg(msf(kTrack2))
                                 << false;
    }
    void sheetsLaidOutHere_giveTheDiscThatLibcdioGivesForOneRawFile()
    {
        QFETCH(QStringList, files);
        QFETCH(QString, sheet);
        QFETCH(bool, lossy);
        QTemporaryDir dir;
        for (const QString &f : files) {
            const QStringList p = f.split(QLatin1Char(':'));
            QVERIFY2(writeSound(dir.filePath(p.at(0)), p.at(1), p.at(2).toInt(), p.at(3).toInt()), qPrintable(f));
        }
        const QString cue = dir.filePath(QStringLiteral("laid out.cue"));
        sheet.replace(QLatin1String("END1"), msf(kTrack1)).replace(QLatin1String("START2"), msf(kStart2));
        sheet.replace(QLatin1String("START3"), msf(kAudioStart3)).replace(QLatin1String("LENGTH"), msf(kPregap2));
        QVERIFY(writeFile(cue, sheet.toUtf8()));
        QVERIFY(writeSound(dir.filePath(QStringLiteral("reference.bin")), QStringLiteral("bin"), 0, kAudioSectors));
        const QString reference = dir.filePath(QStringLiteral("reference.cue"));
        QVERIFY(writeFile(reference, QStringLiteral("FILE reference.bin BINARY\nTRACK 01 AUDIO\nINDEX 01 00:00:00\nTRACK 02 AUDIO\n"
                                                    "INDEX 00 %1\nINDEX 01 %2\nTRACK 03 AUDIO\nINDEX 01 %3\n")
                                         .arg(msf(kTrack1), msf(kStart2), msf(kAudioStart3))
                                         .toUtf8()));
        QString error;
        const std::shared_ptr<CdDisc> expected = CdDisc::open(reference, error), disc = CdDisc::open(cue, error);
        QVERIFY2(expected && disc, qPrintable(error));
        QVERIFY(expected->handle() && !disc->handle());
        QCOMPARE(disc->tracks().size(), 3);
        for (int i = 0; i < 3; ++i) {
            const CdDisc::Track &a = disc->tracks().at(i), &b = expected->tracks().at(i);
            QCOMPARE(QList<int>({a.number, a.firstSector, a.lastSector}), QList<int>({b.number, b.firstSector, b.lastSector}));
        }
        // A lossy file's sound is what its decoder gives, from the start.
        QByteArray sound = audioDisc();
        if (lossy) {
            auto decoded = tv::media::FfmpegSource::open(dir.filePath(QStringLiteral("disc.mp3")), error);
            QVERIFY2(decoded, qPrintable(error));
            sound = readAll(*decoded).leftJustified(kAudioSectors * 2352, '\0', true);
        }
        // Every track from its first frame (tracks 3 then 1: jumps back and forth
        // in one file), and a seek into track 2.
        for (const int number : {3, 1, 2}) {
            const CdDisc::Track *t = disc->track(number);
            CdSource source(disc, t->firstSector, t->lastSector);
            const QByteArray heard = readAll(source);
            QCOMPARE(heard.size(), t->sectors() * 2352);
            QVERIFY2(heard == sound.mid(t->firstSector * 2352, heard.size()), qPrintable(QStringLiteral("track %1").arg(number)));
            if (number == 2) {
                QVERIFY(source.seekMs(2000));
                std::vector<qint16> sector(588 * 2);
                QCOMPARE(source.readFrames(sector.data(), 588), 588);
                QVERIFY(QByteArray(reinterpret_cast<const char *>(sector.data()), 2352) == sound.mid((t->firstSector + 150) * 2352, 2352));
            }
        }
    }

    void cueNamingADataFileOfAnotherName_playsThatFile()
    {
        // libcdio itself would look for "Other name.bin" beside the sheet.
        const QString cue = path(QStringLiteral("images/Other name.cue"));
        QFile::remove(cue);
        QVERIFY(QFile::copy(m_cue, cue));
        QString error;
        const QString folder = CdTrackFolder::materialise(cue, error);
        QVERIFY2(!folder.isEmpty(), qPrintable(error));
        QCOMPARE(tmsfLength(folder + QStringLiteral("/Track02.cda"), 2), msf(kTrack2));
        auto source = CdSource::openTrack(folder + QStringLiteral("/Track02.cda"), error);
        QVERIFY2(source, qPrintable(error));
        QVERIFY(readAll(*source) == discBytes().mid(kStart2 * 2352, kTrack2 * 2352));
    }

    void tocImage_opensLikeACueImage()
    {
        // cdrdao's own layout: the tracks as spans of one raw file.
        const QString toc = path(QStringLiteral("images/disc.toc"));
        const QString sheet = QStringLiteral("CD_DA\n\nTRACK AUDIO\nFILE \"disc.bin\" 0 %1\n\nTRACK AUDIO\nFILE \"disc.bin\" %1 %2\n")
                                  .arg(msf(kStart2), msf(kTrack2));
        QVERIFY(writeFile(toc, sheet.toUtf8()));
        QString error;
        const QString folder = CdTrackFolder::materialise(toc, error);
        QVERIFY2(!folder.isEmpty(), qPrintable(error));
        QCOMPARE(QDir(folder).entryList({QStringLiteral("*cda")}, QDir::Files, QDir::Name),
                 QStringList({QStringLiteral("Track01.cda"), QStringLiteral("Track02.cda")}));
        QCOMPARE(tmsfLength(folder + QStringLiteral("/Track01.cda"), 1), msf(kStart2));
        QCOMPARE(tmsfLength(folder + QStringLiteral("/Track02.cda"), 2), msf(kTrack2));
        auto source = CdSource::openTrack(folder + QStringLiteral("/Track02.cda"), error);
        QVERIFY2(source, qPrintable(error));
        const QByteArray heard = readAll(*source);
        QCOMPARE(heard.size(), kTrack2 * 2352);
        const QByteArray image = discBytes().mid(kStart2 * 2352, kTrack2 * 2352);
        QVERIFY(heard == image);
    }

    void sameNameInTwoFolders_neverShareATrackFolder()
    {
        const QString a = path(QStringLiteral("first/CDImage.cue")), b = path(QStringLiteral("second/CDImage.cue"));
        QVERIFY(writeFile(path(QStringLiteral("first/CDImage.bin")), cdSectors(150, 440)));
        QVERIFY(writeFile(path(QStringLiteral("second/CDImage.bin")), cdSectors(300, 660)));
        QVERIFY(writeFile(a, "FILE \"CDImage.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n"));
        QVERIFY(writeFile(b, "FILE \"CDImage.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n  TRACK 02 AUDIO\n    INDEX 01 00:02:00\n"));
        QString error;
        const QString folderA = CdTrackFolder::materialise(a, error);
        const QString folderB = CdTrackFolder::materialise(b, error);
        QVERIFY2(!folderA.isEmpty() && !folderB.isEmpty(), qPrintable(error));
        QVERIFY(folderA != folderB);
        QVERIFY2(QFileInfo(folderA).fileName().startsWith(QLatin1String("CDImage-")), qPrintable(folderA)); // still readable
        QCOMPARE(CdTrackFolder::sourceFor(folderA + QStringLiteral("/Track01.cda")), a);
        QCOMPARE(CdTrackFolder::sourceFor(folderB + QStringLiteral("/Track01.cda")), b);
        QCOMPARE(tmsfLength(folderA + QStringLiteral("/Track01.cda"), 1), msf(150));
        QCOMPARE(tmsfLength(folderB + QStringLiteral("/Track01.cda"), 1), msf(150));
        QCOMPARE(tmsfLength(folderB + QStringLiteral("/Track02.cda"), 2), msf(150));
        // Opening one again rewrites only its own folder.
        QVERIFY(!CdTrackFolder::materialise(a, error).isEmpty());
        QVERIFY(QFile::exists(folderB + QStringLiteral("/Track02.cda")));
    }

    void trackFileOfAnotherDisc_isRefusedWithAClearMessage()
    {
        const QString a = path(QStringLiteral("third/Mix.cue")), b = path(QStringLiteral("fourth/Mix.cue"));
        QVERIFY(writeFile(path(QStringLiteral("third/Mix.bin")), cdSectors(300, 440)));
        QVERIFY(writeFile(path(QStringLiteral("fourth/Mix.bin")), cdSectors(300, 660)));
        QVERIFY(writeFile(a, "FILE \"Mix.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n  TRACK 02 AUDIO\n    INDEX 01 00:01:00\n"));
        QVERIFY(writeFile(b, "FILE \"Mix.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n  TRACK 02 AUDIO\n    INDEX 01 00:03:00\n"));
        QString error;
        const QString folderA = CdTrackFolder::materialise(a, error);
        QVERIFY2(!folderA.isEmpty(), qPrintable(error));
        // The folder now points at another disc, as an old shared folder did.
        QFile marker(folderA + QStringLiteral("/.source"));
        QVERIFY(marker.open(QIODevice::WriteOnly | QIODevice::Truncate));
        marker.write(b.toUtf8());
        marker.close();
        const QString track = folderA + QStringLiteral("/Track02.cda");
        QVERIFY(!CdSource::openTrack(track, error));
        QCOMPARE(error, QStringLiteral("The CD track file \"%1\" belongs to another disc than the one now in \"%2\", so it is not played. "
                                       "Open the disc again in the drive list and add its tracks anew.")
                            .arg(track, b));
        CdAudioDevice device;
        device.setFileName(track);
        QVERIFY(!device.command(QStringLiteral("Open")));
        QCOMPARE(device.errorMessage(), error);
        QVERIFY(!device.isOpen());
    }
};

QTEST_GUILESS_MAIN(CdImagesTest)
#include "tst_cd_images.moc"
