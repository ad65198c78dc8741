// --help, --version and the file argument of both programs.
#include "CommandLine.h"
#include "ExactFiles.h"
#include "NameBytes.h"

#include <QDir>
#include <QTest>

using namespace tv::shell;

namespace {
const ProgramInfo kRecorder{QStringLiteral("TapeVantrel"), QStringLiteral("7.0.0"), QStringLiteral("Records tapes."),
                            QStringLiteral("file"), QStringLiteral("A playlist or a song.")};
const ProgramInfo kPuzzle{QStringLiteral("TesteQuorvane"), QStringLiteral("7.0.0"), QStringLiteral("O teste."), {}, {}};
} // namespace

class CommandLineTest : public QObject
{
    Q_OBJECT

private slots:
    void infoOptions_answerBeforeAnyWindow_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("firstLine"); // empty: not answered
        const QString help = QStringLiteral("Usage: TapeVantrel [options] [file]");
        const QString version = QStringLiteral("TapeVantrel 7.0.0");
        QTest::newRow("--help") << QStringList{"TapeVantrel", "--help"} << help;
        QTest::newRow("-h") << QStringList{"TapeVantrel", "-h"} << help;
        QTest::newRow("-?") << QStringList{"TapeVantrel", "-?"} << help;
        QTest::newRow("--help-all") << QStringList{"TapeVantrel", "--help-all"} << help;
        QTest::newRow("--version") << QStringList{"TapeVantrel", "--version"} << version;
        QTest::newRow("-v") << QStringList{"TapeVantrel", "-v"} << version;
        QTest::newRow("after a file") << QStringList{"TapeVantrel", "mix.tpl", "--version"} << version;
        QTest::newRow("the first of two wins") << QStringList{"TapeVantrel", "-v", "--help"} << version;
        QTest::newRow("after -- it is a file") << QStringList{"TapeVantrel", "--", "--help"} << QString();
        QTest::newRow("a file") << QStringList{"TapeVantrel", "/music/song.mp3"} << QString();
        QTest::newRow("nothing") << QStringList{"TapeVantrel"} << QString();
        QTest::newRow("a Qt option") << QStringList{"TapeVantrel", "-platform", "offscreen"} << QString();
        QTest::newRow("no program name") << QStringList{} << QString();
    }
    void infoOptions_answerBeforeAnyWindow()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, firstLine);
        const TerminalAnswer answer = answerInfoOptions(arguments, kRecorder);
        QCOMPARE(answer.answered, !firstLine.isEmpty());
        if (answer.answered) {
            QCOMPARE(answer.text.section(QLatin1Char('\n'), 0, 0), firstLine);
            QVERIFY(answer.text.endsWith(QLatin1Char('\n')));
        } else {
            QVERIFY(answer.text.isEmpty());
        }
    }

    void help_listsTheOptionsAndTheArgument()
    {
        const QString text = answerInfoOptions({QStringLiteral("/usr/bin/TapeVantrel"), QStringLiteral("--help")}, kRecorder).text;
        QCOMPARE(text, QStringLiteral("Usage: /usr/bin/TapeVantrel [options] [file]\n"
                                      "Records tapes.\n"
                                      "\n"
                                      "Options:\n"
                                      "  -h, --help     Displays help on commandline options.\n"
                                      "  -v, --version  Displays version information.\n"
                                      "\n"
                                      "Arguments:\n"
                                      "  file           A playlist or a song.\n"));
    }

    void help_ofAProgramWithoutArgument_hasNoArgumentSection()
    {
        const QString text = answerInfoOptions({QStringLiteral("TesteQuorvane"), QStringLiteral("-h")}, kPuzzle).text;
        QVERIFY(text.startsWith(QStringLiteral("Usage: TesteQuorvane [options]\nO teste.\n")));
        QVERIFY(!text.contains(QStringLiteral("Arguments")));
        QVERIFY(!text.contains(QStringLiteral("[file]")));
    }

    void readCommandLine_givesTheFileOrAnError_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("error");
        const QString here = QDir::currentPath();
        QTest::newRow("nothing") << QStringList{"p"} << QString() << QString();
        QTest::newRow("no program name") << QStringList{} << QString() << QString();
        QTest::newRow("blanks only") << QStringList{"p", "  "} << QString() << QString();
        QTest::newRow("absolute") << QStringList{"p", "/music/a.mp3"} << "/music/a.mp3" << QString();
        QTest::newRow("relative is made absolute") << QStringList{"p", "lists/mix.tpl"} << here + "/lists/mix.tpl" << QString();
        QTest::newRow("blanks without quotes") << QStringList{"p", "/music/My", "Song.mp3"} << "/music/My Song.mp3" << QString();
        QTest::newRow("in quotes") << QStringList{"p", "\"/music/a b.mp3\""} << "/music/a b.mp3" << QString();
        QTest::newRow("a dash inside the path") << QStringList{"p", "/music/a", "-", "b.mp3"} << "/music/a - b.mp3" << QString();
        QTest::newRow("an option-like word after the path") << QStringList{"p", "/music/a", "-b.mp3"} << "/music/a -b.mp3" << QString();
        QTest::newRow("-- before a dash name") << QStringList{"p", "--", "-odd.mp3"} << here + "/-odd.mp3" << QString();
        QTest::newRow("-- alone") << QStringList{"p", "--"} << QString() << QString();
        QTest::newRow("unknown long option") << QStringList{"p", "--bogus", "a.mp3"} << QString() << "Unknown option 'bogus'.";
        QTest::newRow("unknown short option") << QStringList{"p", "-x"} << QString() << "Unknown option 'x'.";
    }
    void readCommandLine_givesTheFileOrAnError()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, path);
        QFETCH(QString, error);
        const CommandLine line = readCommandLine(arguments);
        QCOMPARE(line.path, path);
        QCOMPARE(line.error, error);
    }

    // The program's file argument is the name's bytes, even where they are
    // not UTF-8: the path given to the workspace names exactly that file.
    void readCommandLine_keepsTheArgumentsBytes()
    {
        QByteArray program("TapeVantrel");
        QByteArray latin1("/music/caf\xe9.tpl");
        char *argv[] = {program.data(), latin1.data(), nullptr};
        const QStringList names = tv::core::argumentNames(2, argv);
        const tv::shell::CommandLine line = tv::shell::readCommandLine(names);
        QVERIFY(line.error.isEmpty());
        QCOMPARE(tv::core::fileNameBytes(line.path), latin1);
        QVERIFY(!line.path.contains(QLatin1Char('?')) && !line.path.contains(QChar(0xFFFD)));
    }
};

QTEST_GUILESS_MAIN(CommandLineTest)
#include "tst_command_line.moc"
