// The update-check window against a real HTTPS server on 127.0.0.1 whose
// certificate is made for the run: what is offered, what is downloaded, and
// that the program file changes only for a verified updater, in one rename.
#include "Fetch.h"
#include "Forms.h"
#include "HttpsServer.h"
#include "MessageBox.h"
#include "ProgramFile.h"
#include "Settings.h"
#include "Twips.h"
#include "UpdateFixtures.h"
#include "UpdateSession.h"
#include "UpdateSite.h"
#include "VersionFile.h"
#include "VersionNumber.h"
#include "frmVersionCheck.h"

#include <QApplication>
#include <QCheckBox>
#include <QCryptographicHash>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSettings>
#include <QStyle>
#include <QTcpServer>
#include <QTest>

#include <sys/stat.h>

using namespace tv::update;
using tv::shell::MsgBoxCall;
using tv::test::ServedFile;

namespace {
const QString kWebSite = QStringLiteral("https://tapevantrel.example.org/");
const QString kOffer = QStringLiteral("A New Version of TapeVantrel is Available.\r\nClick Download to Automatically Update.");
const QByteArray kOldProgram = "#!/bin/sh\necho old version\n";
} // namespace

Q_DECLARE_METATYPE(tv::test::ServedFile)

class UpdateCheckTest : public QObject
{
    Q_OBJECT
    tv::test::HttpsServer m_server;
    tv::test::ReleaseSigner m_signer;
    QList<MsgBoxCall> m_boxes;
    std::unique_ptr<QTemporaryDir> m_programDir;
    QString m_program;
    QByteArray m_newProgram;

private slots:
    void initTestCase()
    {
        QString error;
        QVERIFY2(m_server.start(&error), qPrintable(error));
        setExtraCaCertificates({ m_server.certificate() });
        registerVersionCheckForm();
        tv::shell::setMsgBoxAnswerer([this](const MsgBoxCall &call) {
            m_boxes.append(call);
            return int(tv::shell::Msg::Ok);
        });
        // A new program big enough to arrive in many pieces.
        for (int i = 0; m_newProgram.size() < 300 * 1024; ++i)
            m_newProgram += "#!/bin/sh\necho new version " + QByteArray::number(i) + "\n";
    }

    void init()
    {
        m_boxes.clear();
        m_server.clearFiles();
        m_server.clearRequests();
        setFetchTimeoutMs(5000);
        setFetchTimeLimitMs(0);
        setRunningVersion(std::nullopt);
        setUpdateSite({ m_server.url(), kWebSite, m_signer.publicKey() });
        QSettings(QStringLiteral("TapeVantrel"), QStringLiteral("TapeVantrel")).clear();
        // The program an update replaces: a copy in a folder of its own.
        m_programDir = std::make_unique<QTemporaryDir>();
        m_program = m_programDir->filePath(QStringLiteral("TapeVantrel"));
        QFile program(m_program);
        QVERIFY(program.open(QIODevice::WriteOnly));
        program.write(kOldProgram);
        program.close();
        QVERIFY(::chmod(QFile::encodeName(m_program).constData(), 0755) == 0);
        setProgramFile(m_program);
    }

    void cleanup()
    {
        ::chmod(QFile::encodeName(m_programDir->path()).constData(), 0755);
        tv::shell::Forms::destroyAll();
    }

    // Nothing is offered, and nothing is said, unless a release newer than
    // the running version, for this target, is signed by the build's key.
    void check_closesSilently_whenNothingHigherIsOffered_data()
    {
        using tv::test::ReleaseLines;
        QTest::addColumn<ServedFile>("versionFile");
        QTest::addColumn<QString>("running");
        const tv::test::ReleaseSigner stranger;
        const QByteArray good = m_signer.signedVersionDat(ReleaseLines {}, m_newProgram);
        QTest::newRow("same version") << ServedFile { m_signer.signedVersionDat({ "70", "7.0" }, m_newProgram) } << "7.0";
        QTest::newRow("lower version") << ServedFile { m_signer.signedVersionDat({ "69", "6.9" }, m_newProgram) } << "7.0";
        QTest::newRow("8.0 does not see 7.10") << ServedFile { m_signer.signedVersionDat({ "710", "7.10" }, m_newProgram) } << "8.0";
        QTest::newRow("older unsigned form") << ServedFile { "71\r\n" } << "7.0";
        QTest::newRow("signed by another key") << ServedFile { stranger.signedVersionDat(ReleaseLines {}, m_newProgram) } << "7.0";
        QTest::newRow("changed after signing") << ServedFile { QByteArray(good).replace("sha256=", "sha256=0") } << "7.0";
        QTest::newRow("downgrade under a higher number")
            << ServedFile { m_signer.signedVersionDat({ "69", "6.9" }, m_newProgram).replace(0, 2, "99") } << "7.0";
        QTest::newRow("another target") << ServedFile { m_signer.signedVersionDat({ "71", "7.1", "TapeVantrel", "windows-x86_64" },
                                                m_newProgram) }
                                        << "7.0";
        QTest::newRow("first line of 10 characters") << ServedFile { "1000000000\r\n" } << "7.0";
        QTest::newRow("empty file") << ServedFile { "" } << "7.0";
        QTest::newRow("no version.dat on the site") << ServedFile { "gone", 404 } << "7.0";
        QTest::newRow("server error page") << ServedFile { good, 500 } << "7.0";
        QTest::newRow("larger than a version file") << ServedFile { good + QByteArray(kMaxVersionFileBytes, '#') } << "7.0";
    }
    void check_closesSilently_whenNothingHigherIsOffered()
    {
        QFETCH(ServedFile, versionFile);
        QFETCH(QString, running);
        setRunningVersion(VersionNumber::parse(running));
        m_server.serve(QStringLiteral("/version.dat"), versionFile);
        QPointer<frmVersionCheck> window = startCheck();
        QTRY_VERIFY(window.isNull());
        QCOMPARE(m_server.requests(), QStringList { QStringLiteral("/version.dat") });
        QVERIFY(m_boxes.isEmpty());
        QCOMPARE(tv::shell::getSetting(QStringLiteral("reg"), QStringLiteral("versioncheck")), QStringLiteral("1"));
    }

    void check_buildWithoutKey_offersNothing()
    {
        serveRelease();
        setUpdateSite({ m_server.url(), kWebSite, QByteArray() });
        QPointer<frmVersionCheck> window = startCheck();
        QTRY_VERIFY(window.isNull());
        QVERIFY(m_boxes.isEmpty());
        QCOMPARE(m_server.requests(), QStringList { QStringLiteral("/version.dat") });
    }

    void check_higherVersion_offersWithBothButtons_data()
    {
        QTest::addColumn<QString>("running");
        QTest::addColumn<QByteArray>("firstLine");
        QTest::addColumn<QByteArray>("version");
        QTest::newRow("7.0 sees 7.1") << "7.0" << QByteArray("71") << QByteArray("7.1");
        QTest::newRow("7.9 sees 7.10") << "7.9" << QByteArray("710") << QByteArray("7.10");
        QTest::newRow("7.10 sees 8.0") << "7.10" << QByteArray("80") << QByteArray("8.0");
    }
    void check_higherVersion_offersWithBothButtons()
    {
        QFETCH(QString, running);
        QFETCH(QByteArray, firstLine);
        QFETCH(QByteArray, version);
        setRunningVersion(VersionNumber::parse(running));
        serveRelease({ firstLine, version });
        QPointer<frmVersionCheck> window = startCheck();
        QVERIFY(!window->isVisible()); // unseen while it asks
        QVERIFY(!window->cmdDownload()->isEnabled());
        QTRY_VERIFY(window->isVisible());
        QCOMPARE(window->windowTitle(), QStringLiteral("Software Update Checkup"));
        QCOMPARE(window->statusText(), kOffer);
        QCOMPARE(window->lblUpdateStatus()->text(), QString(kOffer).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
        QVERIFY(window->cmdDownload()->isEnabled());
        QVERIFY(window->cmdCancel()->isEnabled());
        QVERIFY(window->chkCheckForUpdates()->isChecked());
        QCOMPARE(window->strVersion(), QString(running).remove(QLatin1Char('.')));
        QCOMPARE(window->strExeName(), QStringLiteral("TapeVantrel"));
        QCOMPARE(window->strUpdateURL(), m_server.url().toString());
        QVERIFY(m_boxes.isEmpty());
        // The version file is kept in the user's cache folder, not the program's.
        QCOMPARE(readFile(UpdateSession::versionFilePath()), m_signer.signedVersionDat({ firstLine, version }, m_newProgram));
        QVERIFY(UpdateSession::versionFilePath().startsWith(qEnvironmentVariable("XDG_CACHE_HOME")));
        QVERIFY(!QFile::exists(m_programDir->filePath(QStringLiteral("version.dat"))));
        QCOMPARE(m_server.requests(), QStringList { QStringLiteral("/version.dat") }); // nothing downloaded yet
    }

    void check_offerAppearing_takesNoKeystrokeFromTheWindowTheUserTypesIn()
    {
        serveRelease();
        QLineEdit workspace;
        workspace.show();
        workspace.activateWindow();
        workspace.setFocus();
        QTRY_COMPARE(QApplication::activeWindow(), &workspace);
        QPointer<frmVersionCheck> window = startCheck();
        QTRY_VERIFY(window->isVisible());
        QTest::qWait(50);
        QTRY_COMPARE(QApplication::activeWindow(), &workspace);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        QCOMPARE(workspace.text(), QStringLiteral(" "));
        QVERIFY(!window->cmdDownload()->isDefault());
        QVERIFY(!window->cmdDownload()->autoDefault());
        // Moved to by the user, the window holds the focus itself, not a button.
        window->activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), window.data());
        QCOMPARE(window->focusWidget(), window.data());
        QTest::keyClick(window, Qt::Key_Space);
        QTest::keyClick(window, Qt::Key_Return);
        QTest::qWait(50);
        QCOMPARE(m_server.requests(), QStringList { QStringLiteral("/version.dat") });
        QVERIFY(window->cmdDownload()->isVisible());
    }

    void window_layout_followsTheDesignAndFitsItsTexts_data()
    {
        QTest::addColumn<qreal>("pointSize");
        QTest::newRow("the desktop's font") << qreal(0);
        QTest::newRow("a large font") << qreal(16);
    }
    void window_layout_followsTheDesignAndFitsItsTexts()
    {
        QFETCH(qreal, pointSize);
        const QFont desktopFont = QApplication::font();
        if (pointSize > 0) {
            QFont large = desktopFont;
            large.setPointSizeF(pointSize);
            QApplication::setFont(large);
        }
        serveRelease();
        QPointer<frmVersionCheck> window = startCheck();
        QTRY_VERIFY(window->isVisible());
        QApplication::setFont(desktopFont);

        // The design's twips, all enlarged alike as far as the font needs.
        const double scale = window->layoutScale();
        QVERIFY(scale >= 1.0);
        if (pointSize > 0)
            QVERIFY(scale > 1.2);
        const auto px = [&](int t) { return qRound(tv::shell::twips(window, t) * scale); };
        QCOMPARE(window->size(), QSize(px(4395), px(1200)));
        QCOMPARE(window->cmdDownload()->geometry(), QRect(px(1950), px(780), px(1515), px(345)));
        QCOMPARE(window->cmdCancel()->geometry(), QRect(px(3510), px(780), px(825), px(345)));
        QCOMPARE(window->chkCheckForUpdates()->geometry(), QRect(px(90), px(810), px(1845), px(285)));
        QCOMPARE(window->lblUpdateStatus()->geometry(), QRect(px(120), px(90), px(4185), px(585)));
        QVERIFY(!(window->windowFlags() & Qt::WindowCloseButtonHint));

        // Every text fits its control in the font it is painted with.
        const auto fits = [](QWidget *control, const QString &text, int padding) {
            const QRect needed = control->fontMetrics().boundingRect(QRect(0, 0, 10000, 10000), Qt::AlignLeft | Qt::AlignTop, text);
            return needed.width() + padding <= control->width() && needed.height() <= control->height();
        };
        QVERIFY(fits(window->lblUpdateStatus(), window->lblUpdateStatus()->text(), 0));
        QVERIFY(fits(window->cmdDownload(), window->cmdDownload()->text(), 8));
        QVERIFY(fits(window->cmdCancel(), window->cmdCancel()->text(), 8));
        const int indicator = window->style()->pixelMetric(QStyle::PM_IndicatorWidth);
        QVERIFY(fits(window->chkCheckForUpdates(), window->chkCheckForUpdates()->text(), indicator));
    }

    void check_noServer_closesSilently()
    {
        QTcpServer closed; // a port that was free a moment ago and now takes nothing
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        const quint16 port = closed.serverPort();
        closed.close();
        setUpdateSite({ QUrl(QStringLiteral("https://127.0.0.1:%1/").arg(port)), kWebSite, m_signer.publicKey() });
        QPointer<frmVersionCheck> window = startCheck();
        QTRY_VERIFY(window.isNull());
        QVERIFY(m_boxes.isEmpty());
        QVERIFY(!QFile::exists(UpdateSession::versionFilePath()));
    }

    void check_serverThatNeverAnswers_timesOutSilently()
    {
        setFetchTimeoutMs(300);
        m_server.serve(QStringLiteral("/version.dat"), ServedFile { "71", 200, -1, true });
        QPointer<frmVersionCheck> window = startCheck();
        QTRY_VERIFY_WITH_TIMEOUT(window.isNull(), 5000);
        QCOMPARE(m_server.requests(), QStringList { QStringLiteral("/version.dat") });
        QVERIFY(m_boxes.isEmpty());
    }

    void check_untrustedCertificate_closesSilently()
    {
        serveRelease();
        setExtraCaCertificates({});
        QPointer<frmVersionCheck> window = startCheck();
        QTRY_VERIFY(window.isNull());
        setExtraCaCertificates({ m_server.certificate() });
        QVERIFY(m_boxes.isEmpty());
    }

    void check_plainHttpToAnotherHost_isNeverAsked()
    {
        setUpdateSite({ QUrl(QStringLiteral("http://updates.tapevantrel.invalid/")), kWebSite, m_signer.publicKey() });
        QPointer<frmVersionCheck> window = startCheck();
        QTRY_VERIFY(window.isNull());
        QVERIFY(m_boxes.isEmpty());
    }

    void check_emptyUpdateFolder_makesNoWindowAndNoRequest()
    {
        serveRelease();
        setUpdateSite({ QUrl(), kWebSite, m_signer.publicKey() });
        startVersionCheck();
        QVERIFY(!tv::shell::Forms::find(QStringLiteral("frmVersionCheck")));
        QTest::qWait(100);
        QVERIFY(m_server.requests().isEmpty());
    }

    void download_verified_replacesTheProgramInOneRename()
    {
        serveRelease({}, 16 * 1024, 20); // about 0.4 s, to look at the folder meanwhile
        QPointer<frmVersionCheck> window = offered();
        QFile running(m_program);
        QVERIFY(running.open(QIODevice::ReadOnly)); // as the running program holds its file
        window->cmdDownload()->click();
        QVERIFY(!window->cmdDownload()->isVisible());
        QVERIFY(window->cmdCancel()->isEnabled());

        // While the bytes arrive (into a file beside the program, unnamed
        // where the file system allows) the program file is whole.
        QTRY_VERIFY(window->statusText().startsWith(QStringLiteral("Downloading the update: ")));
        QCOMPARE(readFile(m_program), kOldProgram);
        QVERIFY(QFileInfo(m_program).isExecutable());

        QTRY_VERIFY_WITH_TIMEOUT(window.isNull(), 10000);
        QCOMPARE(boxTexts(), QStringList { QStringLiteral("Download complete. Exit and restart the software to use the new version.") });
        QCOMPARE(m_boxes.first().title, tv::shell::kApplicationTitle);
        QCOMPARE(m_boxes.first().style, int(tv::shell::Msg::OkOnly));
        QCOMPARE(readFile(m_program), m_newProgram);
        struct stat st;
        QVERIFY(::stat(QFile::encodeName(m_program).constData(), &st) == 0);
        QCOMPARE(st.st_mode & 07777, mode_t(0755)); // the old file's mode, executable
        QCOMPARE(running.readAll(), kOldProgram); // the old file was renamed over, never written into
        QVERIFY(temporaryFiles().isEmpty());
        QCOMPARE(m_server.requests(),
            (QStringList {
                QStringLiteral("/version.dat"), QStringLiteral("/TapeVantrelUpdate.sig"), QStringLiteral("/TapeVantrelUpdate") }));
    }

    void download_refused_leavesTheProgramByteIdentical_data()
    {
        QTest::addColumn<QByteArray>("versionFile");
        QTest::addColumn<ServedFile>("updater");
        QTest::addColumn<ServedFile>("signature");
        QTest::addColumn<QString>("fixedText");
        QTest::addColumn<QString>("detail");
        const QByteArray good = m_signer.signedVersionDat(tv::test::ReleaseLines {}, m_newProgram);
        const ServedFile updater { m_newProgram };
        const ServedFile signature { m_signer.sign(m_newProgram) };
        const QString notVerified = QStringLiteral("The update was not installed because it could not be verified");
        const QString failed = QStringLiteral("The update could not be downloaded");
        const QByteArray sizeLine = "size=" + QByteArray::number(m_newProgram.size());
        const auto resigned = [this, &good](const QByteArray &from, const QByteArray &to) {
            QByteArray text = good.left(good.indexOf("signature="));
            return m_signer.signedVersionDat(text.replace(from, to));
        };

        QByteArray flipped = m_newProgram;
        flipped[1000] = char(flipped[1000] ^ 1);
        const tv::test::ReleaseSigner stranger;
        QTest::newRow("matches the manifest, not the signature")
            << m_signer.signedVersionDat(tv::test::ReleaseLines {}, flipped) << ServedFile { flipped } << signature << notVerified
            << "signature does not match";
        QTest::newRow("signed by another key") << good << updater << ServedFile { stranger.sign(m_newProgram) } << notVerified
                                               << "signature does not match";
        QTest::newRow("not the manifest's SHA-256")
            << m_signer.signedVersionDat(tv::test::ReleaseLines {}, flipped) << updater << signature << notVerified << "SHA-256";
        QTest::newRow("cut short by the server")
            << good << ServedFile { m_newProgram, 200, 100000 } << signature << failed << "the connection closed after 100000 of";
        QTest::newRow("shorter than the manifest says")
            << resigned(sizeLine, "size=" + QByteArray::number(m_newProgram.size() + 10)) << updater << signature << notVerified
            << "cut short";
        QTest::newRow("longer than the manifest says")
            << resigned(sizeLine, "size=" + QByteArray::number(m_newProgram.size() - 10)) << updater << signature << notVerified
            << "larger than version.dat says";
        QTest::newRow("no signature on the site")
            << good << updater << ServedFile { "gone", 404 } << failed << "TapeVantrelUpdate.sig: the server answered 404";
        QTest::newRow("signature of the wrong size")
            << good << updater << ServedFile { QByteArray(63, 's') } << failed << "TapeVantrelUpdate.sig is not a signature";
        QTest::newRow("no updater on the site") << good << ServedFile { "gone", 404 } << signature << failed << "404";
    }
    void download_refused_leavesTheProgramByteIdentical()
    {
        QFETCH(QByteArray, versionFile);
        QFETCH(ServedFile, updater);
        QFETCH(ServedFile, signature);
        QFETCH(QString, fixedText);
        QFETCH(QString, detail);
        m_server.serve(QStringLiteral("/version.dat"), ServedFile { versionFile });
        m_server.serve(QStringLiteral("/TapeVantrelUpdate"), updater);
        m_server.serve(QStringLiteral("/TapeVantrelUpdate.sig"), signature);
        QPointer<frmVersionCheck> window = offered();
        window->cmdDownload()->click();
        QTRY_VERIFY_WITH_TIMEOUT(window.isNull(), 10000);

        QCOMPARE(m_boxes.size(), 1);
        const QString text = m_boxes.first().text;
        QVERIFY2(text.startsWith(fixedText), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("the software has not been changed")), qPrintable(text));
        QVERIFY2(text.contains(detail), qPrintable(text));
        QVERIFY2(text.endsWith(QStringLiteral("You can download new updates from our web site at: ") + kWebSite), qPrintable(text));
        QCOMPARE(m_boxes.first().style, int(tv::shell::Msg::OkOnly | tv::shell::Msg::Exclamation));
        QCOMPARE(readFile(m_program), kOldProgram);
        QVERIFY(temporaryFiles().isEmpty());
    }

    void download_serverStallsMidway_timesOutAndKeepsTheProgram()
    {
        setFetchTimeoutMs(300);
        serveRelease();
        QPointer<frmVersionCheck> window = offered();
        // Half the updater, then silence without closing.
        m_server.serve(QStringLiteral("/TapeVantrelUpdate"), ServedFile { m_newProgram, 200, -1, true });
        window->cmdDownload()->click();
        QTRY_VERIFY_WITH_TIMEOUT(window.isNull(), 5000);
        QCOMPARE(m_boxes.size(), 1);
        QVERIFY2(m_boxes.first().text.contains(QStringLiteral("did not answer in time")), qPrintable(m_boxes.first().text));
        QCOMPARE(readFile(m_program), kOldProgram);
        QVERIFY(temporaryFiles().isEmpty());
    }

    void download_readOnlyProgramFolder_fetchesNothingAndPointsToThePackageManager()
    {
        serveRelease();
        QPointer<frmVersionCheck> window = offered();
        QVERIFY(::chmod(QFile::encodeName(m_programDir->path()).constData(), 0555) == 0);
        window->cmdDownload()->click();
        QTRY_VERIFY(window.isNull());
        QCOMPARE(boxTexts(),
            QStringList { QStringLiteral("The software is installed in a folder it cannot change (%1).\r\n"
                                         "Update it through your system's package manager.\r\n"
                                         "You can download new updates from our web site at: %2")
                              .arg(m_programDir->path(), kWebSite) });
        QCOMPARE(m_server.requests(), QStringList { QStringLiteral("/version.dat") });
        QCOMPARE(readFile(m_program), kOldProgram);
    }

    void download_trickledPastTheTimeLimit_stopsAndKeepsTheProgram()
    {
        setFetchTimeLimitMs(300); // bytes keep arriving, so only the whole download's limit ends it
        serveRelease({}, 4 * 1024, 20);
        QPointer<frmVersionCheck> window = offered();
        window->cmdDownload()->click();
        QTRY_VERIFY_WITH_TIMEOUT(window.isNull(), 5000);
        QCOMPARE(m_boxes.size(), 1);
        QVERIFY2(m_boxes.first().text.contains(QStringLiteral("the server sent too slowly: the download was stopped after 0.3 s")),
            qPrintable(m_boxes.first().text));
        QCOMPARE(readFile(m_program), kOldProgram);
        QVERIFY(temporaryFiles().isEmpty());
    }

    void download_cancelMidway_stopsAndDeletesThePart()
    {
        serveRelease({}, 8 * 1024, 20);
        QPointer<frmVersionCheck> window = offered();
        window->cmdDownload()->click();
        // The one button left stops it.
        QVERIFY(!window->cmdDownload()->isVisible());
        QVERIFY(window->cmdCancel()->isEnabled());
        QTRY_VERIFY(window->statusText().startsWith(QStringLiteral("Downloading the update: ")));
        QVERIFY(!window->statusText().endsWith(QStringLiteral("100 %")));
        window->cmdCancel()->click();
        QTRY_VERIFY(window.isNull());
        QVERIFY(m_boxes.isEmpty()); // the user's own choice needs no message
        QCOMPARE(readFile(m_program), kOldProgram);
        QVERIFY(temporaryFiles().isEmpty());
        QTest::qWait(100);
        QCOMPARE(readFile(m_program), kOldProgram);
    }

    void download_windowClosedWhileInstalling_closesAtOnceAndTheInstallFinishes()
    {
        serveRelease();
        QPointer<frmVersionCheck> window = offered();
        auto *session = window->findChild<UpdateSession *>();
        QVERIFY(session);
        bool closedAtOnce = false;
        connect(session, &UpdateSession::installing, this, [&] {
            QVERIFY(!window->cmdCancel()->isEnabled()); // verified: it is put in place and cannot be stopped
            window->close();
            closedAtOnce = window.isNull() || !window->isVisible();
        });
        window->cmdDownload()->click();
        QTRY_VERIFY(window.isNull());
        QVERIFY(closedAtOnce);
        QTRY_COMPARE(readFile(m_program), m_newProgram);
        QTRY_VERIFY(temporaryFiles().isEmpty());
        QVERIFY(m_boxes.isEmpty());
    }

    void start_deletesLeftoversOlderThanADay()
    {
        setUpdateSite({ QUrl(), kWebSite, m_signer.publicKey() }); // also where the build asks no server
        const QString old = m_programDir->filePath(QStringLiteral(".TapeVantrel.update-Ab12Cd"));
        const QString young = m_programDir->filePath(QStringLiteral(".TapeVantrel.update-Ef34Gh"));
        for (const QString &path : { old, young }) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QByteArray(1000, 'x'));
        }
        QFile oldFile(old);
        QVERIFY(oldFile.open(QIODevice::ReadWrite));
        QVERIFY(oldFile.setFileTime(QDateTime::currentDateTime().addDays(-2), QFileDevice::FileModificationTime));
        oldFile.close();
        startVersionCheck();
        QVERIFY(!QFile::exists(old));
        QVERIFY(QFile::exists(young));
        QCOMPARE(readFile(m_program), kOldProgram);
    }

    void download_slow_windowKeepsAnsweringTheUser()
    {
        serveRelease({}, 8 * 1024, 15); // about 0.6 s
        QPointer<frmVersionCheck> window = offered();
        window->cmdDownload()->click();
        // While the bytes trickle in, a click on the box is handled and the
        // read-out moves on; the download is still running after both.
        QTRY_VERIFY(window->statusText().startsWith(QStringLiteral("Downloading the update: ")));
        const QString first = window->statusText();
        QTest::mouseClick(window->chkCheckForUpdates(), Qt::LeftButton, {}, QPoint(5, window->chkCheckForUpdates()->height() / 2));
        QVERIFY(!window->chkCheckForUpdates()->isChecked());
        QTRY_VERIFY(window && window->statusText() != first);
        QVERIFY(m_boxes.isEmpty());
        QTRY_VERIFY_WITH_TIMEOUT(window.isNull(), 10000);
        QCOMPARE(readFile(m_program), m_newProgram);
        QCOMPARE(tv::shell::getSetting(QStringLiteral("reg"), QStringLiteral("versioncheck")), QStringLiteral("0"));
    }

    void download_windowClosedMidway_deletesThePartAndKeepsTheProgram()
    {
        serveRelease({}, 8 * 1024, 20);
        QPointer<frmVersionCheck> window = offered();
        window->cmdDownload()->click();
        QTRY_VERIFY(window->statusText().startsWith(QStringLiteral("Downloading the update: ")));
        window->close();
        QTRY_VERIFY(window.isNull());
        QVERIFY(temporaryFiles().isEmpty());
        QVERIFY(m_boxes.isEmpty());
        QCOMPARE(readFile(m_program), kOldProgram);
        QCOMPARE(tv::shell::getSetting(QStringLiteral("reg"), QStringLiteral("versioncheck")), QStringLiteral("1"));
    }

    void cancel_withBoxCleared_stores0_andTheNextStartAsksNothing()
    {
        serveRelease();
        QPointer<frmVersionCheck> window = offered();
        window->chkCheckForUpdates()->click();
        window->cmdCancel()->click();
        QTRY_VERIFY(window.isNull());
        QCOMPARE(boxTexts(), QStringList { QStringLiteral("You can download new updates from our web site at: ") + kWebSite });
        QCOMPARE(m_boxes.first().style, int(tv::shell::Msg::OkOnly));
        QCOMPARE(m_boxes.first().title, tv::shell::kApplicationTitle);
        QCOMPARE(
            readFile(qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/TapeVantrel/TapeVantrel.conf")).contains("versioncheck=0"),
            true);

        // The next start: the window closes at once, the server hears nothing, and "0" stays.
        m_server.clearRequests();
        m_boxes.clear();
        startVersionCheck();
        QPointer<QWidget> next = tv::shell::Forms::find(QStringLiteral("frmVersionCheck"));
        QTRY_VERIFY(next.isNull());
        QTest::qWait(200);
        QVERIFY(m_server.requests().isEmpty());
        QVERIFY(m_boxes.isEmpty());
        QCOMPARE(tv::shell::getSetting(QStringLiteral("reg"), QStringLiteral("versioncheck")), QStringLiteral("0"));
    }

    void cancel_withBoxTicked_stores1()
    {
        serveRelease();
        QPointer<frmVersionCheck> window = offered();
        window->cmdCancel()->click();
        QTRY_VERIFY(window.isNull());
        QCOMPARE(tv::shell::getSetting(QStringLiteral("reg"), QStringLiteral("versioncheck")), QStringLiteral("1"));
        QCOMPARE(readFile(m_program), kOldProgram);
    }

private:
    frmVersionCheck *startCheck()
    {
        startVersionCheck();
        return tv::shell::Forms::find<frmVersionCheck>(QStringLiteral("frmVersionCheck"));
    }

    // A window showing the offer of version 7.1, ready for a button.
    QPointer<frmVersionCheck> offered()
    {
        QPointer<frmVersionCheck> window = startCheck();
        if (window)
            (void)QTest::qWaitFor([&] { return window.isNull() || window->cmdDownload()->isEnabled(); }, 5000);
        if (!window || !window->cmdDownload()->isEnabled())
            qFatal("no update was offered");
        return window;
    }

    void serveRelease(const tv::test::ReleaseLines &lines = {}, int trickleBytes = 0, int trickleIntervalMs = 0)
    {
        m_server.serve(QStringLiteral("/version.dat"), ServedFile { m_signer.signedVersionDat(lines, m_newProgram) });
        m_server.serve(QStringLiteral("/TapeVantrelUpdate.sig"), ServedFile { m_signer.sign(m_newProgram) });
        m_server.serve(QStringLiteral("/TapeVantrelUpdate"), ServedFile { m_newProgram, 200, -1, false, trickleBytes, trickleIntervalMs });
    }

    QStringList temporaryFiles() const
    {
        return QDir(m_programDir->path()).entryList({ QStringLiteral(".TapeVantrel.update-*") }, QDir::Files | QDir::Hidden);
    }

    QStringList boxTexts() const
    {
        QStringList texts;
        for (const MsgBoxCall &call : m_boxes)
            texts.append(call.text);
        return texts;
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
    QApplication app(argc, argv);
    UpdateCheckTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_update_check.moc"
