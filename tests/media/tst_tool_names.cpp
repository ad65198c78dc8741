// The command-line programs take a file's name as its bytes: a name in
// Latin-1 (not UTF-8) reaches exactly that file, and a neighbour whose name
// has "?" in that place, which a lossy reading of the arguments would name,
// is never used.
#include "Fixtures.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

using tv::test::MediaFixtures;

class ToolNamesTest : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;

    QByteArray folder() const { return QFile::encodeName(m_dir.path()); }
    static bool copyBytes(const QByteArray &bytes, const QByteArray &path)
    {
        FILE *f = std::fopen(path.constData(), "wb");
        if (!f)
            return false;
        const bool ok = std::fwrite(bytes.constData(), 1, size_t(bytes.size()), f) == size_t(bytes.size());
        return std::fclose(f) == 0 && ok;
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(MediaFixtures::instance().ok(), qPrintable(MediaFixtures::instance().error()));
        // The Latin-1 song lasts 1 s; its "?" neighbour 3 s, so that the
        // figures tell which one was read.
        QVERIFY(copyBytes(MediaFixtures::instance().read(QStringLiteral("tone1.wav")), folder() + "/caf\xe9.wav"));
        QVERIFY(copyBytes(MediaFixtures::instance().read(QStringLiteral("tone3.wav")), folder() + "/caf?.wav"));
        const QByteArray playlist = "60\r\n000\r\n0\r\nplaylista\r\n 1 \r\n" + folder() + "/caf\xe9.wav (00:01)\r\nplaylistend\r\n";
        QVERIFY(copyBytes(playlist, folder() + "/side\xe9.tpl"));
    }

    // Each program run by a shell whose pattern names the Latin-1 files
    // only ([!?] leaves the neighbour out), so the arguments are their bytes.
    void program_takesTheNamesBytes_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QByteArray>("expected"); // in standard output, or the file made
        QTest::newRow("tvmeasure") << QStringLiteral(TVMEASURE " caf[!?].wav") << QByteArray("1.000\tcaf\xe9.wav\n");
        QTest::newRow("tvplay") << QStringLiteral(TVPLAY " caf[!?].wav") << QByteArray();
        QTest::newRow("tvrender") << QStringLiteral(TVRENDER " side[!?].tpl --side A out[!?].wav") << QByteArray("file");
    }
    void program_takesTheNamesBytes()
    {
        QFETCH(QString, command);
        QFETCH(QByteArray, expected);
        const bool render = expected == "file";
        QByteArray made;
        if (render) {
            // The output's name in Latin-1 too: made first, so the pattern names it, and replaced.
            made = folder() + "/out\xe9.wav";
            QVERIFY(copyBytes("old", made));
        }
        QProcess program;
        program.setWorkingDirectory(m_dir.path());
        program.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QStringLiteral("exec ") + command});
        QVERIFY(program.waitForFinished(30000));
        const QByteArray err = program.readAllStandardError();
        QVERIFY2(program.exitStatus() == QProcess::NormalExit && program.exitCode() == 0, err.constData());
        if (render) {
            FILE *f = std::fopen(made.constData(), "rb");
            QVERIFY(f);
            std::fseek(f, 0, SEEK_END);
            const long size = std::ftell(f);
            std::fclose(f);
            // One second of CD-quality stereo after the header, not the old bytes.
            QVERIFY2(size > 44100 * 4 && size < 44100 * 4 + 4096, qPrintable(QString::number(size)));
            QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("out?.wav"))));
        } else if (!expected.isEmpty()) {
            QCOMPARE(program.readAllStandardOutput(), expected);
        }
        QVERIFY2(!err.contains("does not exist"), err.constData());
    }
};

QTEST_GUILESS_MAIN(ToolNamesTest)
#include "tst_tool_names.moc"
