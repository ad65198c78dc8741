// The update exchange's logic without network or window: version numbers,
// the signed manifest in version.dat, addresses, signatures, the program folder and its
// replacement, the messages, and the signing tool.
#include "ProgramFile.h"
#include "ReleaseManifest.h"
#include "Signature.h"
#include "UpdateFixtures.h"
#include "UpdateMessages.h"
#include "UpdateSite.h"
#include "VersionFile.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QProcess>
#include <QSysInfo>
#include <QTest>

#include <sys/stat.h>

using namespace tv::update;

class UpdateLogicTest : public QObject
{
    Q_OBJECT
    tv::test::ReleaseSigner m_maker;

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

    void versionNumber_comparesPartByPart_data()
    {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<int>("order"); // -1: a before b
        QTest::newRow("7.9 before 7.10") << "7.9" << "7.10" << -1;
        QTest::newRow("7.10 before 8.0") << "7.10" << "8.0" << -1;
        QTest::newRow("8.0 after 7.10") << "8.0" << "7.10" << 1;
        QTest::newRow("missing parts are 0") << "7" << "7.0.0" << 0;
        QTest::newRow("revision counts") << "7.0.1" << "7.0" << 1;
        QTest::newRow("same") << "7.10" << "7.10" << 0;
        QTest::newRow("big parts") << "10.0" << "9.99" << 1;
    }
    void versionNumber_comparesPartByPart()
    {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(int, order);
        const auto x = VersionNumber::parse(a);
        const auto y = VersionNumber::parse(b);
        QVERIFY(x && y);
        QCOMPARE((*x <=> *y) < 0 ? -1 : (*x <=> *y) > 0 ? 1 : 0, order);
        QCOMPARE(x->toString(), a);
    }

    void versionNumber_takesOnlyDottedDecimals_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << "";
        QTest::newRow("empty part") << "7..1";
        QTest::newRow("trailing dot") << "7.";
        QTest::newRow("leading zero") << "7.01";
        QTest::newRow("sign") << "+7.1";
        QTest::newRow("space") << "7.1 ";
        QTest::newRow("letters") << "7.1b";
        QTest::newRow("five parts") << "1.2.3.4.5";
        QTest::newRow("seven digits") << "1234567.0";
        QTest::newRow("arabic-indic digits") << QString::fromUtf8("\u0667.\u0661");
    }
    void versionNumber_takesOnlyDottedDecimals()
    {
        QFETCH(QString, text);
        QVERIFY(!VersionNumber::parse(text));
    }

    void runningVersion_isTheBuilds()
    {
        QCOMPARE(runningVersion().toString(), QStringLiteral("7.0.0"));
        QCOMPARE(strVersion(), QStringLiteral("70"));
        setRunningVersion(VersionNumber { 7, 10 });
        QCOMPARE(strVersion(), QStringLiteral("710"));
        setRunningVersion(std::nullopt);
        QCOMPARE(ownTarget(), QStringLiteral("linux-") + QSysInfo::buildCpuArchitecture());
    }

    // version.dat as the maker signs it, and every way it can be wrong.
    void readVersionFile_offersOnlyASignedNewerReleaseForThisTarget_data()
    {
        using tv::test::ReleaseLines;
        const QByteArray updater(5000, 'u');
        const tv::test::ReleaseSigner &maker = m_maker;
        const tv::test::ReleaseSigner stranger;
        const QByteArray good = maker.signedVersionDat(ReleaseLines {}, updater);
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("running");
        QTest::addColumn<int>("fault");
        using F = ManifestFault;
        QTest::newRow("signed, newer") << good << "7.0" << int(F::None);
        QTest::newRow("LF line ends, signed so") << maker.signedVersionDat(tv::test::manifestLines({}, updater).replace("\r\n", "\n"))
                                                 << "7.0" << int(F::None);
        QTest::newRow("7.9 sees 7.10") << maker.signedVersionDat({ "710", "7.10" }, updater) << "7.9" << int(F::None);
        QTest::newRow("7.10 sees 8.0") << maker.signedVersionDat({ "80", "8.0" }, updater) << "7.10" << int(F::None);
        QTest::newRow("8.0 does not see 7.10") << maker.signedVersionDat({ "710", "7.10" }, updater) << "8.0" << int(F::NotNewer);
        QTest::newRow("same version") << good << "7.1" << int(F::NotNewer);
        QTest::newRow("older release") << good << "7.2" << int(F::NotNewer);
        QTest::newRow("the older form alone") << QByteArray("71\r\n") << "7.0" << int(F::Unsigned);
        QTest::newRow("signature not last") << QByteArray(good).append("notes=later\r\n") << "7.0" << int(F::Unsigned);
        QTest::newRow("signed by another key") << stranger.signedVersionDat(ReleaseLines {}, updater) << "7.0" << int(F::BadSignature);
        QTest::newRow("first line raised after signing") << QByteArray(good).replace(0, 2, "99") << "7.0" << int(F::BadSignature);
        QTest::newRow("version raised after signing")
            << QByteArray(good).replace("version=7.1", "version=9.1") << "7.0" << int(F::BadSignature);
        QTest::newRow("size changed after signing")
            << QByteArray(good).replace("size=5000", "size=5001") << "7.0" << int(F::BadSignature);
        QTest::newRow("signature of the wrong length") << QByteArray(good).replace("signature=", "signature=00") << "7.0"
                                                      << int(F::BadSignature);
        QTest::newRow("old release under a higher first line, signed")
            << maker.signedVersionDat({ "99", "6.9" }, updater) << "7.0" << int(F::FirstLineDiffers);
        QTest::newRow("another target") << maker.signedVersionDat({ "71", "7.1", "TapeVantrel", "linux-arm64" }, updater) << "7.0"
                                        << int(F::OtherTarget);
        QTest::newRow("another product") << maker.signedVersionDat({ "71", "7.1", "SomethingElse" }, updater) << "7.0"
                                         << int(F::OtherProduct);
        QTest::newRow("running below the minimum")
            << maker.signedVersionDat({ "80", "8.0", "TapeVantrel", "", "7.5" }, updater) << "7.4" << int(F::TooOldToReplace);
        QTest::newRow("running at the minimum")
            << maker.signedVersionDat({ "80", "8.0", "TapeVantrel", "", "7.5" }, updater) << "7.5" << int(F::None);
        QTest::newRow("signed, a line missing")
            << maker.signedVersionDat(tv::test::manifestLines({}, updater).replace("target=", "targets=")) << "7.0" << int(F::Malformed);
        QTest::newRow("signed, a line twice")
            << maker.signedVersionDat(tv::test::manifestLines({}, updater) + "version=9.0\r\n") << "7.0" << int(F::Malformed);
        QTest::newRow("signed, empty updater")
            << maker.signedVersionDat(tv::test::manifestLines({}, QByteArray())) << "7.0" << int(F::Malformed);
        QTest::newRow("signed, bad version") << maker.signedVersionDat({ "71", "7.1beta" }, updater) << "7.0" << int(F::Malformed);
    }
    void readVersionFile_offersOnlyASignedNewerReleaseForThisTarget()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, running);
        QFETCH(int, fault);
        const ManifestReading reading = readVersionFile(bytes, m_maker.publicKey(), *VersionNumber::parse(running));
        QCOMPARE(int(reading.fault), fault);
        if (reading.fault == ManifestFault::None) {
            QCOMPARE(reading.manifest.updaterSize, qint64(5000));
            QCOMPARE(reading.manifest.updaterSha256, QCryptographicHash::hash(QByteArray(5000, 'u'), QCryptographicHash::Sha256));
        } else {
            QCOMPARE(reading.manifest.updaterSize, qint64(0)); // nothing of a refused manifest is used
        }
    }

    void readVersionFile_withoutKey_offersNothing()
    {
        const QByteArray bytes = m_maker.signedVersionDat(tv::test::ReleaseLines {}, QByteArray(10, 'u'));
        QCOMPARE(readVersionFile(bytes, QByteArray(), VersionNumber { 7, 0 }).fault, ManifestFault::NoKey);
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
        const QByteArray bytes(5000, 'p'); // any bytes will do
        writeFile(program, bytes);
        const auto signRelease = [&](const QStringList &extra) {
            QProcess sign;
            sign.start(tool, QStringList { QStringLiteral("sign"), secret, program } + extra);
            sign.waitForFinished(10000);
            return sign.exitStatus() == QProcess::NormalExit ? sign.exitCode() : -1;
        };
        const QString site = dir.filePath(QStringLiteral("site"));
        QCOMPARE(signRelease({ QStringLiteral("7.10"), site }), 0);

        const QByteArray updater = readFile(site + QStringLiteral("/TapeVantrelUpdate"));
        QCOMPARE(updater, bytes);
        QVERIFY(QFileInfo(site + QStringLiteral("/TapeVantrelUpdate")).isExecutable());
        const QByteArray versionDat = readFile(site + QStringLiteral("/version.dat"));
        QVERIFY2(versionDat.startsWith("710\r\n"), versionDat.constData()); // older programs read the first line
        const ManifestReading reading = readVersionFile(versionDat, publicKey, VersionNumber { 7, 9 });
        QCOMPARE(reading.fault, ManifestFault::None);
        QCOMPARE(reading.manifest.version.toString(), QStringLiteral("7.10"));
        QCOMPARE(reading.manifest.updaterSize, qint64(bytes.size()));
        QCOMPARE(reading.manifest.updaterSha256, QCryptographicHash::hash(bytes, QCryptographicHash::Sha256));
        const QByteArray signature = readFile(site + QStringLiteral("/TapeVantrelUpdate.sig"));
        QVERIFY(verifyDetached(updater.constData(), updater.size(), signature, publicKey));

        // The options are signed with the rest.
        QCOMPARE(signRelease({ QStringLiteral("8.0"), site, QStringLiteral("--target"), QStringLiteral("linux-riscv64"),
                     QStringLiteral("--minimum-version"), QStringLiteral("7.5") }),
            0);
        const QByteArray other = readFile(site + QStringLiteral("/version.dat"));
        QCOMPARE(readVersionFile(other, publicKey, VersionNumber { 7, 9 }).fault, ManifestFault::OtherTarget);
        QCOMPARE(readVersionFile(other, publicKey, VersionNumber { 7, 4 }, QStringLiteral("linux-riscv64")).fault,
            ManifestFault::TooOldToReplace);
        QCOMPARE(readVersionFile(other, publicKey, VersionNumber { 7, 5 }, QStringLiteral("linux-riscv64")).fault, ManifestFault::None);

        // The older one-part form would be read as version 71: refused, and the folder stays as it was.
        QVERIFY(signRelease({ QStringLiteral("71"), site }) > 0);
        QVERIFY(signRelease({ QStringLiteral("7.x"), site }) > 0);
        QVERIFY(signRelease({ QStringLiteral("7.1"), site, QStringLiteral("--colour"), QStringLiteral("red") }) > 0);
        QCOMPARE(readFile(site + QStringLiteral("/version.dat")), other);
    }

    void leftovers_olderThanADay_areDeleted_othersKept()
    {
        QTemporaryDir dir;
        const QString program = dir.filePath(QStringLiteral("TapeVantrel"));
        writeFile(program, "program");
        const QDateTime now = QDateTime::currentDateTime();
        struct Row
        {
            const char *name;
            qint64 ageHours;
            bool deleted;
        };
        const Row rows[] = {
            { ".TapeVantrel.update-aB3xY9", 25, true },
            { ".TapeVantrel.update-Qw12er", 23, false }, // perhaps another copy downloading now
            { ".TapeVantrel.update-aB3x", 48, false }, // not a name the program makes
            { ".TapeVantrel.update-aB3xY9.keep", 48, false },
            { ".Other.update-aB3xY9", 48, false },
            { "TapeVantrel.update-aB3xY9", 48, false },
        };
        for (const Row &row : rows) {
            QFile file(dir.filePath(QString::fromLatin1(row.name)));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("part");
            QVERIFY(file.flush()); // a later flush would make the file new again
            QVERIFY(file.setFileTime(now.addSecs(-row.ageHours * 3600), QFileDevice::FileModificationTime));
        }
        QCOMPARE(removeUpdateLeftovers(program, now), 1);
        for (const Row &row : rows)
            QVERIFY2(QFile::exists(dir.filePath(QString::fromLatin1(row.name))) != row.deleted, row.name);
        QCOMPARE(readFile(program), QByteArray("program"));
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
