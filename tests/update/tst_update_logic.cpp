// The update exchange's logic without network or window: version texts,
// version.dat, addresses, signatures, the program folder and its
// replacement, the messages, and the signing tool.
#include "ProgramFile.h"
#include "Signature.h"
#include "UpdateFixtures.h"
#include "UpdateMessages.h"
#include "UpdateSite.h"
#include "VersionFile.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QProcess>
#include <QTest>

#include <sys/stat.h>

using namespace tv::update;

class UpdateLogicTest : public QObject
{
    Q_OBJECT

private slots:
    void strVersion_joinsMajorAndMinor_data()
    {
        QTest::addColumn<int>("major");
        QTest::addColumn<int>("minor");
        QTest::addColumn<QString>("text");
        QTest::newRow("7.0") << 7 << 0 << "70";
        QTest::newRow("7.1") << 7 << 1 << "71";
        QTest::newRow("7.10") << 7 << 10 << "710";
        QTest::newRow("12.3") << 12 << 3 << "123";
    }
    void strVersion_joinsMajorAndMinor()
    {
        QFETCH(int, major);
        QFETCH(int, minor);
        QFETCH(QString, text);
        QCOMPARE(strVersion(major, minor), text);
    }
    void strVersion_ofThisProgram_is70() { QCOMPARE(strVersion(), QStringLiteral("70")); }

    void parseVersionFile_readsFirstLineAndUpdater_data()
    {
        const QByteArray sha(64, 'a');
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("firstLine");
        QTest::addColumn<qint64>("size");
        QTest::addColumn<bool>("hasSha");
        QTest::newRow("empty file") << QByteArray() << "" << qint64(-1) << false;
        QTest::newRow("one line, no end") << QByteArray("71") << "71" << qint64(-1) << false;
        QTest::newRow("CR LF") << QByteArray("71\r\nsize=12\r\nsha256=" + sha + "\r\n") << "71" << qint64(12) << true;
        QTest::newRow("LF only") << QByteArray("71\nsize=12\nsha256=" + sha) << "71" << qint64(12) << true;
        QTest::newRow("CR only") << QByteArray("71\rsize=12\r") << "71" << qint64(12) << false;
        QTest::newRow("byte-order mark") << QByteArray("\xEF\xBB\xBF"
                                                       "71\r\n")
                                         << "71" << qint64(-1) << false;
        QTest::newRow("spaces kept in first line") << QByteArray(" 71 \r\n") << " 71 " << qint64(-1) << false;
        QTest::newRow("empty first line") << QByteArray("\r\n71\r\n") << "" << qint64(-1) << false;
        QTest::newRow("spaces around values") << QByteArray("71\r\n size = 5 \r\n SHA256 = " + sha + " ") << "71" << qint64(5) << true;
        QTest::newRow("short sha ignored") << QByteArray("71\r\nsha256=abcd\r\n") << "71" << qint64(-1) << false;
        QTest::newRow("non-hex sha ignored") << QByteArray("71\r\nsha256=" + QByteArray(64, 'g')) << "71" << qint64(-1) << false;
        QTest::newRow("negative size ignored") << QByteArray("71\r\nsize=-3\r\n") << "71" << qint64(-1) << false;
        QTest::newRow("text size ignored") << QByteArray("71\r\nsize=big\r\n") << "71" << qint64(-1) << false;
        QTest::newRow("unknown lines ignored") << QByteArray("71\r\nnotes=faster\r\nsize=9\r\n") << "71" << qint64(9) << false;
    }
    void parseVersionFile_readsFirstLineAndUpdater()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, firstLine);
        QFETCH(qint64, size);
        QFETCH(bool, hasSha);
        const VersionFile file = parseVersionFile(bytes);
        QCOMPARE(file.firstLine, firstLine);
        QCOMPARE(file.updaterSize, size);
        QCOMPARE(file.updaterSha256.size(), hasSha ? 32 : 0);
        QCOMPARE(file.describesUpdater(), size >= 0 && hasSha);
    }

    void offersUpdate_onlyAHigherNumber_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("offered");
        QTest::newRow("same version") << "70" << false;
        QTest::newRow("next minor") << "71" << true;
        QTest::newRow("next major") << "80" << true;
        QTest::newRow("lower: a downgrade") << "69" << false;
        QTest::newRow("much lower") << "5" << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("nine digits") << "999999999" << true;
        QTest::newRow("ten characters") << "1000000000" << false;
        QTest::newRow("ten characters, same number") << "0000000070" << false;
        QTest::newRow("leading zero, same number") << "070" << false;
        QTest::newRow("leading zero, higher") << "071" << true;
        QTest::newRow("not a number") << "7.1" << false;
        QTest::newRow("trailing space") << "71 " << false;
        QTest::newRow("letters") << "abc" << false;
        QTest::newRow("sign") << "+71" << false;
        QTest::newRow("arabic-indic digits") << QString::fromUtf8("\u0667\u0661") << false;
    }
    void offersUpdate_onlyAHigherNumber()
    {
        QFETCH(QString, line);
        QFETCH(bool, offered);
        QCOMPARE(offersUpdate(line, QStringLiteral("70")), offered);
    }

    void offerText_hasTheTwoLines()
    {
        QCOMPARE(offerText(QStringLiteral("TapeVantrel")),
            QStringLiteral("A New Version of TapeVantrel is Available.\r\nClick Download to Automatically Update."));
    }

    void isSecureAddress_httpsOrLoopbackHttp_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<bool>("secure");
        QTest::newRow("https") << "https://updates.example.org/tv/" << true;
        QTest::newRow("HTTPS in capitals") << "HTTPS://updates.example.org/" << true;
        QTest::newRow("https loopback") << "https://127.0.0.1:8443/" << true;
        QTest::newRow("http elsewhere") << "http://updates.example.org/tv/" << false;
        QTest::newRow("http loopback") << "http://127.0.0.1:8080/" << true;
        QTest::newRow("http loopback v6") << "http://[::1]:8080/" << true;
        QTest::newRow("http localhost name") << "http://localhost/" << false; // a name can resolve anywhere
        QTest::newRow("http 127.x network") << "http://127.1.2.3/" << true;
        QTest::newRow("http lookalike name") << "http://127.0.0.1.example.org/" << false;
        QTest::newRow("ftp") << "ftp://updates.example.org/" << false;
        QTest::newRow("file") << "file:///tmp/version.dat" << false;
        QTest::newRow("no host") << "https:///version.dat" << false;
        QTest::newRow("empty") << "" << false;
    }
    void isSecureAddress_httpsOrLoopbackHttp()
    {
        QFETCH(QString, url);
        QFETCH(bool, secure);
        QCOMPARE(isSecureAddress(QUrl(url)), secure);
    }

    void builtInSite_ofATestBuild_neverChecks()
    {
        // The tests are built with the default configuration: no update folder.
        QVERIFY(builtInUpdateSite().folder.isEmpty());
        QVERIFY(builtInUpdateSite().publicKey.isEmpty());
    }

    void publicKeyFromHex_takesOnly64HexDigits_data()
    {
        QTest::addColumn<QString>("hex");
        QTest::addColumn<int>("size");
        QTest::newRow("64 digits") << QString(64, QLatin1Char('a')) << 32;
        QTest::newRow("capitals") << QString(64, QLatin1Char('F')) << 32;
        QTest::newRow("with spaces around") << QStringLiteral(" %1\n").arg(QString(64, QLatin1Char('0'))) << 32;
        QTest::newRow("63 digits") << QString(63, QLatin1Char('a')) << 0;
        QTest::newRow("66 digits") << QString(66, QLatin1Char('a')) << 0;
        QTest::newRow("not hex") << QString(64, QLatin1Char('x')) << 0;
        QTest::newRow("empty") << QString() << 0;
    }
    void publicKeyFromHex_takesOnly64HexDigits()
    {
        QFETCH(QString, hex);
        QFETCH(int, size);
        QCOMPARE(publicKeyFromHex(hex).size(), size);
    }

    void verifyDetached_acceptsOnlyTheSignersSignature()
    {
        const tv::test::ReleaseSigner signer, stranger;
        const QByteArray message = "the updater's bytes";
        const QByteArray signature = signer.sign(message);
        QVERIFY(verifyDetached(message.constData(), message.size(), signature, signer.publicKey()));

        QByteArray changed = message;
        changed[3] = char(changed[3] ^ 1);
        QVERIFY(!verifyDetached(changed.constData(), changed.size(), signature, signer.publicKey()));
        QByteArray badSignature = signature;
        badSignature[10] = char(badSignature[10] ^ 0x80);
        QVERIFY(!verifyDetached(message.constData(), message.size(), badSignature, signer.publicKey()));
        QVERIFY(!verifyDetached(message.constData(), message.size(), signature, stranger.publicKey()));
        QVERIFY(!verifyDetached(message.constData(), message.size(), signature.left(63), signer.publicKey()));
        QVERIFY(!verifyDetached(message.constData(), message.size(), signature, QByteArray()));
    }

    void programFolder_writableOnlyWhenSomeoneMayWrite()
    {
        QTemporaryDir dir;
        const QString program = dir.filePath(QStringLiteral("TapeVantrel"));
        QVERIFY(!isProgramFolderWritable(program)); // no such file
        writeFile(program, "old");
        QVERIFY(isProgramFolderWritable(program));
        QVERIFY(::chmod(QFile::encodeName(dir.path()).constData(), 0555) == 0);
        QVERIFY(!isProgramFolderWritable(program)); // also when the tests run as root
        QVERIFY(::chmod(QFile::encodeName(dir.path()).constData(), 0755) == 0);
        QVERIFY(!isProgramFolderWritable(dir.path())); // a folder is not a program file
    }

    void replacement_commit_renamesOverTheProgramKeepingItsMode()
    {
        QTemporaryDir dir;
        const QString program = dir.filePath(QStringLiteral("TapeVantrel"));
        writeFile(program, "old program");
        QVERIFY(::chmod(QFile::encodeName(program).constData(), 0750) == 0);
        QFile oldOpen(program);
        QVERIFY(oldOpen.open(QIODevice::ReadOnly)); // as the running program holds its file

        ProgramReplacement replacement(program);
        QVERIFY(replacement.open());
        const QString temporary = replacement.temporaryPath();
        QCOMPARE(QFileInfo(temporary).absolutePath(), QFileInfo(program).absolutePath());
        QVERIFY(QFileInfo(temporary).fileName().startsWith(QStringLiteral(".TapeVantrel.update-")));
        QCOMPARE(replacement.file().write("new program"), qint64(11));
        QCOMPARE(readFile(program), QByteArray("old program")); // untouched until the rename
        QVERIFY2(replacement.commit(), qPrintable(replacement.errorText()));

        QCOMPARE(readFile(program), QByteArray("new program"));
        QCOMPARE(oldOpen.readAll(), QByteArray("old program")); // a rename, not a write into the old file
        QVERIFY(!QFile::exists(temporary));
        struct stat st;
        QVERIFY(::stat(QFile::encodeName(program).constData(), &st) == 0);
        QCOMPARE(st.st_mode & 07777, mode_t(0750));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList { QStringLiteral("TapeVantrel") });
    }

    void replacement_notCommitted_isDeleted()
    {
        QTemporaryDir dir;
        const QString program = dir.filePath(QStringLiteral("TapeVantrel"));
        writeFile(program, "old");
        QString temporary;
        {
            ProgramReplacement replacement(program);
            QVERIFY(replacement.open());
            temporary = replacement.temporaryPath();
            replacement.file().write("half a progr");
            QVERIFY(QFile::exists(temporary));
        }
        QVERIFY(!QFile::exists(temporary));
        QCOMPARE(readFile(program), QByteArray("old"));
    }

    void replacement_throughALink_replacesTheFileLinkedTo()
    {
        QTemporaryDir dir;
        QDir(dir.path()).mkdir(QStringLiteral("lib"));
        const QString program = dir.filePath(QStringLiteral("lib/TapeVantrel"));
        const QString link = dir.filePath(QStringLiteral("TapeVantrel"));
        writeFile(program, "old");
        QVERIFY(QFile::link(program, link));
        ProgramReplacement replacement(link);
        QVERIFY(replacement.open());
        replacement.file().write("new");
        QVERIFY(replacement.commit());
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(readFile(program), QByteArray("new"));
    }

    void outcomeText_eachFailureSaysNothingChangedAndWhereToGo_data()
    {
        using O = UpdateSession::Outcome;
        QTest::addColumn<int>("outcome");
        QTest::addColumn<QString>("start");
        QTest::newRow("installed") << int(O::Installed) << "Download complete. Exit and restart the software to use the new version.";
        QTest::newRow("no key") << int(O::NoKey) << "This copy of the software was built without the key";
        QTest::newRow("read-only folder") << int(O::ReadOnlyFolder) << "The software is installed in a folder it cannot change (DETAIL).";
        QTest::newRow("not verified")
            << int(O::NotVerified)
            << "The update was not installed because it could not be verified; the software has not been changed.\r\nDETAIL";
        QTest::newRow("failed") << int(O::Failed) << "The update could not be downloaded; the software has not been changed.\r\nDETAIL";
    }
    void outcomeText_eachFailureSaysNothingChangedAndWhereToGo()
    {
        QFETCH(int, outcome);
        QFETCH(QString, start);
        const auto how = UpdateSession::Outcome(outcome);
        const QString text = downloadOutcomeText(how, QStringLiteral("DETAIL"), QStringLiteral("https://tv.example.org/"));
        QVERIFY2(text.startsWith(start), qPrintable(text));
        QCOMPARE(text.endsWith(QStringLiteral("You can download new updates from our web site at: https://tv.example.org/")),
            how != UpdateSession::Outcome::Installed);
        if (how == UpdateSession::Outcome::ReadOnlyFolder)
            QVERIFY(text.contains(QStringLiteral("package manager")));
    }

    void progressText_givesPercent()
    {
        QCOMPARE(downloadProgressText(0, -1), QStringLiteral("Downloading the update..."));
        QCOMPARE(downloadProgressText(50, 200), QStringLiteral("Downloading the update: 25 %"));
        QCOMPARE(downloadProgressText(300, 200), QStringLiteral("Downloading the update: 100 %"));
    }

    void signingTool_makesAFolderTheProgramAccepts()
    {
        QTemporaryDir dir;
        const QString tool = QCoreApplication::applicationDirPath() + QStringLiteral("/tvupdatesign");
        const QString secret = dir.filePath(QStringLiteral("release.key"));
        QProcess keygen;
        keygen.start(tool, { QStringLiteral("keygen"), secret });
        QVERIFY(keygen.waitForFinished(10000));
        QCOMPARE(keygen.exitCode(), 0);
        const QByteArray publicKey = publicKeyFromHex(QString::fromLatin1(keygen.readAllStandardOutput()));
        QCOMPARE(publicKey.size(), 32);
        QCOMPARE(QFileInfo(secret).permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther), QFileDevice::Permissions());

        QProcess again; // a key is never overwritten
        again.start(tool, { QStringLiteral("keygen"), secret });
        QVERIFY(again.waitForFinished(10000));
        QVERIFY(again.exitCode() != 0);

        const QString program = dir.filePath(QStringLiteral("built"));
        const QByteArray bytes = tv::test::versionDat("x", QByteArray(5000, 'p')); // any bytes will do
        writeFile(program, bytes);
        const QString site = dir.filePath(QStringLiteral("site"));
        QProcess sign;
        sign.start(tool, { QStringLiteral("sign"), secret, program, QStringLiteral("71"), site });
        QVERIFY(sign.waitForFinished(10000));
        QCOMPARE(sign.exitCode(), 0);

        const QByteArray updater = readFile(site + QStringLiteral("/TapeVantrelUpdate"));
        QCOMPARE(updater, bytes);
        QVERIFY(QFileInfo(site + QStringLiteral("/TapeVantrelUpdate")).isExecutable());
        const VersionFile file = parseVersionFile(readFile(site + QStringLiteral("/version.dat")));
        QCOMPARE(file.firstLine, QStringLiteral("71"));
        QCOMPARE(file.updaterSize, qint64(bytes.size()));
        QCOMPARE(file.updaterSha256, QCryptographicHash::hash(bytes, QCryptographicHash::Sha256));
        const QByteArray signature = readFile(site + QStringLiteral("/TapeVantrelUpdate.sig"));
        QVERIFY(verifyDetached(updater.constData(), updater.size(), signature, publicKey));

        QProcess badVersion;
        badVersion.start(tool, { QStringLiteral("sign"), secret, program, QStringLiteral("7.1"), site });
        QVERIFY(badVersion.waitForFinished(10000));
        QVERIFY(badVersion.exitCode() != 0);
    }

private:
    static void writeFile(const QString &path, const QByteArray &bytes)
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QCOMPARE(f.write(bytes), qint64(bytes.size()));
    }
    static QByteArray readFile(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
};

int main(int argc, char **argv)
{
    tv::test::PrivateFolders folders;
    QCoreApplication app(argc, argv);
    UpdateLogicTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_update_logic.moc"
