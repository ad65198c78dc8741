// Where the program finds its run-time files, and where the playlist
// dialogs start: in the program's folder when it is writable, else in the
// user's own playlist folder.
#include "ProgramFolders.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace tv::shell;

namespace {
void touch(const QString &path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
}

void setMode(const QString &path, mode_t mode)
{
    QVERIFY(::chmod(QFile::encodeName(path).constData(), mode) == 0);
}
} // namespace

class ProgramFoldersTest : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    QString m_home;
    int m_homes = 0;

private slots:
    void init()
    {
        // A home of our own: the documents folder is the one it names.
        m_home = m_dir.filePath(QStringLiteral("home%1").arg(++m_homes));
        QVERIFY(QDir().mkpath(m_home));
        qputenv("HOME", QFile::encodeName(m_home));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_home + QStringLiteral("/.config")));
    }

    void runtimeFolder_findsTheFileFromTheExecutablesPlace_data()
    {
        QTest::addColumn<QStringList>("files");     // made under the prefix
        QTest::addColumn<QString>("executable");    // folder of the executable, under the prefix
        QTest::addColumn<QString>("expected");      // folder found, under the prefix
        QTest::newRow("build folder") << QStringList{"build/bin/Splash.dll"} << "build/bin" << "build/bin";
        QTest::newRow("installed, run through the link") << QStringList{"lib/tapevantrel/Splash.dll"} << "lib/tapevantrel"
                                                         << "lib/tapevantrel";
        QTest::newRow("installed, the program copied into bin") << QStringList{"lib/tapevantrel/Splash.dll", "bin/.keep"} << "bin"
                                                                << "lib/tapevantrel";
        QTest::newRow("a file beside the copy wins") << QStringList{"lib/tapevantrel/Splash.dll", "bin/Splash.dll"} << "bin" << "bin";
        QTest::newRow("missing everywhere: the executable's folder") << QStringList{"bin/.keep", "lib/tapevantrel/.keep"} << "bin"
                                                                     << "bin";
        QTest::newRow("portable folder") << QStringList{"portable/Splash.dll"} << "portable" << "portable";
        QTest::newRow("not in bin: no look elsewhere") << QStringList{"tools/.keep", "lib/tapevantrel/Splash.dll"} << "tools"
                                                       << "tools";
    }
    void runtimeFolder_findsTheFileFromTheExecutablesPlace()
    {
        QFETCH(QStringList, files);
        QFETCH(QString, executable);
        QFETCH(QString, expected);
        QTemporaryDir prefix;
        for (const QString &file : files)
            touch(prefix.filePath(file));
        QCOMPARE(runtimeFolderFor(prefix.filePath(executable), QStringLiteral("Splash.dll")), prefix.filePath(expected));
    }

    void writable_needsAFolderThatSomeoneMayWrite()
    {
        QTemporaryDir dir;
        QVERIFY(isFolderWritable(dir.path()));
        QVERIFY(!isFolderWritable(dir.filePath(QStringLiteral("absent"))));
        QVERIFY(!isFolderWritable(QString()));
        touch(dir.filePath(QStringLiteral("file")));
        QVERIFY(!isFolderWritable(dir.filePath(QStringLiteral("file")))); // not a folder
        setMode(dir.path(), 0555);
        QVERIFY(!isFolderWritable(dir.path())); // also when the tests run as root
        setMode(dir.path(), 0755);
    }

    void userFiles_inAWritableProgramFolder_startThere()
    {
        QTemporaryDir program;
        QCOMPARE(userFilesFolder(program.path()), program.path());
        QVERIFY(!QFileInfo::exists(m_home + QStringLiteral("/Documents/TapeVantrel"))); // nothing made
    }

    void userFiles_ofAnInstalledProgram_startInTheOwnFolder_madeOnFirstUse_data()
    {
        QTest::addColumn<bool>("exists"); // the program folder exists (read-only) or not at all
        QTest::newRow("read-only program folder") << true;
        QTest::newRow("program folder gone") << false;
    }
    void userFiles_ofAnInstalledProgram_startInTheOwnFolder_madeOnFirstUse()
    {
        QFETCH(bool, exists);
        QTemporaryDir program;
        const QString folder = exists ? program.path() : program.filePath(QStringLiteral("absent"));
        if (exists)
            setMode(folder, 0555);
        const QString own = m_home + QStringLiteral("/Documents/TapeVantrel");
        QVERIFY(!QFileInfo::exists(own));
        QCOMPARE(userFilesFolder(folder), own);
        QVERIFY(QFileInfo(own).isDir());
        touch(own + QStringLiteral("/mix.tpl"));
        QCOMPARE(userFilesFolder(folder), own); // the second time: the same, with its files
        QVERIFY(QFileInfo::exists(own + QStringLiteral("/mix.tpl")));
        if (exists)
            setMode(folder, 0755);
    }

    void userFiles_followTheDocumentsFolderTheDesktopNames()
    {
        QVERIFY(QDir().mkpath(m_home + QStringLiteral("/.config")));
        QFile dirs(m_home + QStringLiteral("/.config/user-dirs.dirs"));
        QVERIFY(dirs.open(QIODevice::WriteOnly));
        dirs.write("XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n");
        dirs.close();
        QVERIFY(QDir().mkpath(m_home + QStringLiteral("/Dokumente")));
        QCOMPARE(userFilesFolder(QStringLiteral("/nonexistent/lib/tapevantrel")), m_home + QStringLiteral("/Dokumente/TapeVantrel"));
        QVERIFY(QFileInfo(m_home + QStringLiteral("/Dokumente/TapeVantrel")).isDir());
    }

    void userFiles_whenTheOwnFolderCannotBeMade_startAtHome()
    {
        touch(m_home + QStringLiteral("/Documents")); // a file where the documents folder should be
        QCOMPARE(userFilesFolder(QStringLiteral("/nonexistent/lib/tapevantrel")), m_home);
    }
};

QTEST_GUILESS_MAIN(ProgramFoldersTest)
#include "tst_program_folders.moc"
