// Song lines from tags: the line's form, the tags of each container as the
// decoder library reads them (files made here with ffmpeg), and the cache
// that spares reading a known file again but not a changed one.
#include "tags/TagTitles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using tv::media::cachedTitleLine;
using tv::media::readTitleLine;
using tv::media::titleLineOf;

namespace {
// One second of tone in the container the name's extension picks, with the
// given "key=value" tags.
bool makeSong(const QString &path, const QStringList &tags)
{
    QStringList args{QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-y"), QStringLiteral("-f"), QStringLiteral("lavfi"),
                     QStringLiteral("-i"), QStringLiteral("sine=frequency=440:duration=1")};
    for (const QString &tag : tags)
        args << QStringLiteral("-metadata") << tag;
    args << path;
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"), args);
    return ffmpeg.waitForFinished(30000) && ffmpeg.exitCode() == 0 && QFileInfo(path).size() > 0;
}
} // namespace

class TagTitlesTest : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    QString path(const QString &name) const { return m_dir.filePath(name); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY2(!QStandardPaths::findExecutable(QStringLiteral("ffmpeg")).isEmpty(), "ffmpeg is missing: run scripts/deps.sh --test");
    }

    void titleLineOf_data()
    {
        QTest::addColumn<QString>("artist");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("line");
        QTest::newRow("both") << "Queen" << "Bohemian Rhapsody" << "Queen \u2013 Bohemian Rhapsody";
        QTest::newRow("title only") << "" << "Intro" << "Intro";
        QTest::newRow("artist only: the file name stays") << "Queen" << "" << "";
        QTest::newRow("blanks and line breaks dropped") << "  The  Band \n" << "\tSong  One " << "The Band \u2013 Song One";
        QTest::newRow("blank title") << "Queen" << "   " << "";
    }
    void titleLineOf()
    {
        QFETCH(QString, artist);
        QFETCH(QString, title);
        QFETCH(QString, line);
        QCOMPARE(::titleLineOf(artist, title), line);
    }

    void readTitleLine_eachContainer_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("tags");
        QTest::addColumn<QString>("line");
        const QStringList both{QStringLiteral("artist=Queen"), QStringLiteral("title=Bohemian Rhapsody")};
        const QString queen = QStringLiteral("Queen \u2013 Bohemian Rhapsody");
        QTest::newRow("MP3, ID3") << "a.mp3" << both << queen;
        QTest::newRow("Ogg Vorbis, comments") << "a.ogg" << both << queen;
        QTest::newRow("Opus, comments") << "a.opus" << both << queen;
        QTest::newRow("FLAC, comments") << "a.flac" << both << queen;
        QTest::newRow("M4A, MP4 tags") << "a.m4a" << both << queen;
        QTest::newRow("WAV, INFO list") << "a.wav" << both << queen;
        QTest::newRow("album artist stands in") << "b.mp3" << QStringList{"album_artist=Queen", "title=Bohemian Rhapsody"} << queen;
        QTest::newRow("not Latin: kept as written") << "c.ogg" << QStringList{"artist=Кино", "title=Группа крови"} << "Кино \u2013 Группа крови";
        QTest::newRow("no tags") << "d.mp3" << QStringList{} << "";
    }
    void readTitleLine_eachContainer()
    {
        QFETCH(QString, name);
        QFETCH(QStringList, tags);
        QFETCH(QString, line);
        QVERIFY(makeSong(path(name), tags));
        QCOMPARE(readTitleLine(path(name)), line);
    }

    void readTitleLine_whatIsNoSong_givesNoLine()
    {
        QFile text(path(QStringLiteral("notes.mp3")));
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write("title=Not a song\n");
        text.close();
        QCOMPARE(readTitleLine(text.fileName()), QString());
        QCOMPARE(readTitleLine(path(QStringLiteral("missing.mp3"))), QString());
    }

    void cachedTitleLine_knownFileFromTheCache_changedFileReadAgain()
    {
        const QString song = path(QStringLiteral("cached.mp3"));
        QVERIFY(makeSong(song, {QStringLiteral("artist=First"), QStringLiteral("title=Take")}));
        QCOMPARE(cachedTitleLine(song), QStringLiteral("First \u2013 Take"));
        const QString cacheFile = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + QStringLiteral("/TapeVantrel/titles.json");
        QVERIFY(QFileInfo::exists(cacheFile));
        QFile cache(cacheFile);
        QVERIFY(cache.open(QIODevice::ReadOnly));
        QVERIFY(cache.readAll().contains("First"));
        cache.close();

        // Retagged: another size and time, so it is read again.
        QTest::qWait(20);
        QVERIFY(makeSong(song, {QStringLiteral("artist=Second"), QStringLiteral("title=Longer Take Name")}));
        QCOMPARE(cachedTitleLine(song), QStringLiteral("Second \u2013 Longer Take Name"));
        // Gone: nothing of the old line is given for it.
        QVERIFY(QFile::remove(song));
        QCOMPARE(cachedTitleLine(song), QString());
    }
};

QTEST_GUILESS_MAIN(TagTitlesTest)
#include "tst_tag_titles.moc"
