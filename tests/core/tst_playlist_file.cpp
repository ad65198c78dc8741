// The playlist file: its lines byte for byte, both media, and every way a
// file can be short, damaged or strange.
#include "PlaylistFile.h"

#include "NameBytes.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <fcntl.h>
#include <unistd.h>

using namespace tv::core;

namespace {
PlaylistContent cassetteExample()
{
    PlaylistContent c;
    c.mediumCode = QStringLiteral("90");
    c.customLength = QStringLiteral("000");
    c.delay = QStringLiteral("2");
    c.sideA.total = 475;
    c.sideA.entries = {QStringLiteral("C:\\Music\\a.mp3 (03:45)"), QStringLiteral("C:\\Music\\b.mp3 (04:10)")};
    return c;
}
} // namespace

class PlaylistFileTest : public QObject
{
    Q_OBJECT
private slots:
    void write_cassetteExample_isEightLines()
    {
        QCOMPARE(writePlaylist(cassetteExample(), true),
                 QByteArray("90\r\n000\r\n2\r\nplaylista\r\n 475 \r\nC:\\Music\\a.mp3 (03:45)\r\nC:\\Music\\b.mp3 (04:10)\r\nplaylistend\r\n"));
    }

    void write_miniDiscAndEmptyAndBothSides()
    {
        PlaylistContent disc;
        disc.mediumCode = QStringLiteral("80");
        disc.customLength = QStringLiteral("000");
        disc.delay = QStringLiteral("0");
        disc.sideA.total = 250;
        disc.sideA.entries = {QStringLiteral("/m/Song (live).mp3 (04:10)")};
        QCOMPARE(writePlaylist(disc, false), QByteArray("80\r\n000\r\n0\r\nplaylista\r\n 250 \r\n/m/Song (live).mp3 (04:10)\r\nplaylistend\r\n"));

        PlaylistContent empty;
        empty.mediumCode = QStringLiteral("60");
        empty.customLength = QStringLiteral("000");
        empty.delay = QStringLiteral("0");
        QCOMPARE(writePlaylist(empty, true), QByteArray("60\r\n000\r\n0\r\nplaylistend\r\n"));

        PlaylistContent both = cassetteExample();
        both.sideB.total = -12;
        both.sideB.entries = {QStringLiteral("/b.wav (00:00)")};
        QVERIFY(writePlaylist(both, true).endsWith("playlistb\r\n-12 \r\n/b.wav (00:00)\r\nplaylistend\r\n"));
        QVERIFY(!writePlaylist(both, false).contains("playlistb")); // a MiniDisc has no side B
    }

    void roundTrip_bothMedia()
    {
        PlaylistContent c = cassetteExample();
        c.sideB.total = 3725;
        c.sideB.entries = {QStringLiteral("/long.wav (1:02:05)"), QStringLiteral("/ünïcödé.mp3 (00:10)")};
        const PlaylistRead r = readPlaylist(writePlaylist(c, true), true);
        QCOMPARE(int(r.outcome), int(PlaylistRead::Outcome::Sections));
        QCOMPARE(r.content.sideA.entries, c.sideA.entries);
        QCOMPARE(r.content.sideA.total, 475);
        QCOMPARE(r.content.sideB.entries, c.sideB.entries);
        QCOMPARE(r.content.sideB.total, 3725);
        QCOMPARE(r.content.delay, QStringLiteral("2"));

        const PlaylistRead asDisc = readPlaylist(writePlaylist(c, true), false);
        QCOMPARE(int(asDisc.outcome), int(PlaylistRead::Outcome::Sections));
        QCOMPARE(asDisc.content.sideA.entries, c.sideA.entries);
        QVERIFY(asDisc.content.sideB.entries.isEmpty()); // the disc reader stops at side B
    }

    void read_onlySideB_isNoSectionForTheMiniDisc()
    {
        const QByteArray file("120\r\n000\r\n0\r\nplaylistb\r\n 5 \r\n/x.wav (00:05)\r\nplaylistend\r\n");
        QCOMPARE(int(readPlaylist(file, false).outcome), int(PlaylistRead::Outcome::NoSection));
        const PlaylistRead tape = readPlaylist(file, true);
        QCOMPARE(int(tape.outcome), int(PlaylistRead::Outcome::Sections));
        QCOMPARE(tape.content.sideB.entries.size(), 1);
    }

    void read_damagedFiles_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<int>("number");
        QTest::addColumn<int>("entriesKept");
        QTest::newRow("four-line empty file") << QByteArray("60\r\n000\r\n0\r\nplaylistend\r\n") << int(PlaylistRead::Outcome::NoSection) << 0 << 0;
        QTest::newRow("no playlistend") << QByteArray("90\r\n000\r\n2\r\nplaylista\r\n 475 \r\n/a.mp3 (03:45)\r\n/b.mp3 (04:10)\r\n")
                                        << int(PlaylistRead::Outcome::Error) << 62 << 2;
        QTest::newRow("total not a number") << QByteArray("90\r\n000\r\n2\r\nplaylista\r\nmany\r\n/a.mp3 (03:45)\r\nplaylistend\r\n")
                                            << int(PlaylistRead::Outcome::Error) << 13 << 0;
        QTest::newRow("empty file") << QByteArray() << int(PlaylistRead::Outcome::Error) << 62 << 0;
        QTest::newRow("header only") << QByteArray("90\r\n000\r\n") << int(PlaylistRead::Outcome::Error) << 62 << 0;
        QTest::newRow("LF line ends") << QByteArray("90\n000\n2\nplaylista\n 3 \n/a.wav (00:03)\nplaylistend\n")
                                      << int(PlaylistRead::Outcome::Sections) << 0 << 1;
        QByteArray binary(4096, '\0');
        for (int i = 0; i < binary.size(); ++i)
            binary[i] = char((i * 7919) & 0xFF);
        QTest::newRow("binary") << binary << int(PlaylistRead::Outcome::NoSection) << 0 << 0;
        QTest::newRow("several MB on one line") << QByteArray(6 * 1024 * 1024, 'x') << int(PlaylistRead::Outcome::Error) << 62 << 0;
        // The line after the total is an entry even when it reads like a marker.
        QTest::newRow("marker as first entry") << QByteArray("90\r\n000\r\n2\r\nplaylista\r\n 1 \r\nplaylistend\r\nplaylistend\r\n")
                                               << int(PlaylistRead::Outcome::Sections) << 0 << 1;
    }
    void read_damagedFiles()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, outcome);
        QFETCH(int, number);
        QFETCH(int, entriesKept);
        const PlaylistRead r = readPlaylist(file, true);
        QCOMPARE(int(r.outcome), outcome);
        QCOMPARE(r.errorNumber, number);
        QCOMPARE(r.content.sideA.entries.size(), entriesKept);
        if (number != 0)
            QVERIFY(!r.errorDescription.isEmpty());
    }

    // No song of it on disk under either reading: the older format wins.
    void read_windows1252Bytes_whenNotUtf8()
    {
        const QByteArray file("60\r\n000\r\n0\r\nplaylista\r\n 5 \r\nC:\\M\xfasica\\Caf\xe9 \x96 live.mp3 (00:05)\r\nplaylistend\r\n");
        const PlaylistRead r = readPlaylist(file, true);
        QCOMPARE(r.content.sideA.entries.first(), QStringLiteral("C:\\Música\\Café – live.mp3 (00:05)"));
    }

    // A song whose name is not UTF-8 (an old Latin-1 rip) is saved as its
    // bytes and read back as the same name, beside names that are UTF-8 or
    // with no other text to tell the file from an older Windows-1252 one.
    void roundTrip_nameThatIsNotUtf8_data()
    {
        QTest::addColumn<QByteArray>("otherName");
        QTest::newRow("among UTF-8 names") << QByteArray("M\xc3\xbasica.mp3");
        QTest::newRow("the only name beyond ASCII") << QByteArray("plain.mp3");
    }
    void roundTrip_nameThatIsNotUtf8()
    {
        QFETCH(QByteArray, otherName);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QByteArray latin1Name = QFile::encodeName(dir.path()) + "/Caf\xe9.mp3";
        const int fd = ::open(latin1Name.constData(), O_CREAT | O_WRONLY, 0644);
        QVERIFY(fd >= 0);
        ::close(fd);
        const QString song = fileNameFromBytes(latin1Name);
        QVERIFY(fileExists(song));

        PlaylistContent c = cassetteExample();
        c.sideA.entries = {song + QStringLiteral(" (00:05)"), fileNameFromBytes(QFile::encodeName(dir.path()) + "/" + otherName) + QStringLiteral(" (00:07)")};
        const QByteArray bytes = writePlaylist(c, true);
        QVERIFY(bytes.contains(latin1Name + " (00:05)\r\n"));
        const PlaylistRead r = readPlaylist(bytes, true);
        QCOMPARE(r.outcome, PlaylistRead::Outcome::Sections);
        QCOMPARE(r.content.sideA.entries, c.sideA.entries);
    }

    void read_customLengthHeader()
    {
        const PlaylistRead r = readPlaylist("00\r\n090\r\n1\r\nplaylistend\r\n", false);
        QCOMPARE(r.headerLines, 3);
        QCOMPARE(r.content.mediumCode, QStringLiteral("00"));
        QCOMPARE(r.content.customLength, QStringLiteral("090"));
    }
};

QTEST_GUILESS_MAIN(PlaylistFileTest)
#include "tst_playlist_file.moc"
