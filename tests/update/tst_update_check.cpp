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
#include "frmVersionCheck.h"

#include <QApplication>
#include <QCheckBox>
#include <QCryptographicHash>
#include <QDir>
#include <QLabel>
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

    void check_closesSilently_whenNothingHigherIsOffered_data()
    {
        QTest::addColumn<ServedFile>("versionFile");
        QTest::newRow("same version") << ServedFile { "70\r\n" };
        QTest::newRow("same version, more lines") << ServedFile { tv::test::versionDat("70", m_newProgram) };
        QTest::newRow("lower version") << ServedFile { tv::test::versionDat("69", m_newProgram) };
        QTest::newRow("first line of 10 characters") << ServedFile { "1000000000\r\n" };
        QTest::newRow("empty file") << ServedFile { "" };
        QTest::newRow("empty first line") << ServedFile { "\r\n71\r\n" };
        QTest::newRow("not a number") << ServedFile { "7.1\r\n" };
        QTest::newRow("no version.dat on the site") << ServedFile { "gone", 404 };
        QTest::newRow("server error page") << ServedFile { "71", 500 };
        QTest::newRow("larger than a version file") << ServedFile { "71\r\n" + QByteArray(kMaxVersionFileBytes, '#') };
    }
    void check_closesSilently_whenNothingHigherIsOffered()
    {
        QFETCH(ServedFile, versionFile);
        m_server.serve(QStringLiteral("/version.dat"), versionFile);
        QPointer<frmVersionCheck> window = startCheck();
        QTRY_VERIFY(window.isNull());
        QCOMPARE(m_server.requests(), QStringList { QStringLiteral("/version.dat") });
        QVERIFY(m_boxes.isEmpty());
        QCOMPARE(tv::shell::getSetting(QStringLiteral("reg"), QStringLiteral("versioncheck")), QStringLiteral("1"));
    }

    void check_higherVersion_offersWithBothButtons_data()
    {
        QTest::addColumn<QByteArray>("firstLine");
        QTest::newRow("71") << QByteArray("71");
        QTest::newRow("80") << QByteArray("80");
        QTest::newRow("nine characters") << QByteArray("999999999");
    }
    void check_higherVersion_offersWithBothButtons()
    {
        QFETCH(QByteArray, firstLine);
        serveRelease(firstLine);
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
        QCOMPARE(window->strVersion(), QStringLiteral("70"));
        QCOMPARE(window->strExeName(), QStringLiteral("TapeVantrel"));
        QCOMPARE(window->strUpdateURL(), m_server.url().toString());
        QVERIFY(m_boxes.isEmpty());
        // The version file is kept in the user's cache folder, not the program's.
        QCOMPARE(readFile(UpdateSession::versionFilePath()), tv::test::versionDat(firstLine, m_newProgram));
        QVERIFY(UpdateSession::versionFilePath().startsWith(qEnvironmentVariable("XDG_CACHE_HOME")));
        QVERIFY(!QFile::exists(m_programDir->filePath(QStringLiteral("version.dat"))));
        QCOMPARE(m_server.requests(), QStringList { QStringLiteral("/version.dat") }); // nothing downloaded yet
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
        serveRelease("71");
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
        serveRelease("71");
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
        serveRelease("71");
        setUpdateSite({ QUrl(), kWebSite, m_signer.publicKey() });
        startVersionCheck();
        QVERIFY(!tv::shell::Forms::find(QStringLiteral("frmVersionCheck")));
        QTest::qWait(100);
        QVERIFY(m_server.requests().isEmpty());
    }

    void download_verified_replacesTheProgramInOneRename()
    {
        serveRelease("71", 16 * 1024, 20); // about 0.4 s, to look at the folder meanwhile
        QPointer<frmVersionCheck> window = offered();
        QFile running(m_program);
        QVERIFY(running.open(QIODevice::ReadOnly)); // as the running program holds its file
        window->cmdDownload()->click();
        QVERIFY(!window->cmdDownload()->isEnabled());
        QVERIFY(!window->cmdCancel()->isEnabled());

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
        const QByteArray good = tv::test::versionDat("71", m_newProgram);
        const ServedFile updater { m_newProgram };
        const ServedFile signature { m_signer.sign(m_newProgram) };
        const QString notVerified = QStringLiteral("The update was not installed because it could not be verified");
        const QString failed = QStringLiteral("The update could not be downloaded");

        QByteArray flipped = m_newProgram;
        flipped[1000] = char(flipped[1000] ^ 1);
        const tv::test::ReleaseSigner stranger;
        QTest::newRow("signature of other bytes")
            << tv::test::versionDat("71", flipped) << ServedFile { flipped } << signature << notVerified << "signature does not match";
        QTest::newRow("signed by another key") << good << updater << ServedFile { stranger.sign(m_newProgram) } << notVerified
                                               << "signature does not match";
        QTest::newRow("wrong SHA-256") << tv::test::versionDat("71", flipped)
                                              .replace("size=" + QByteArray::number(flipped.size()),
                                                  "size=" + QByteArray::number(m_newProgram.size()))
                                       << updater << signature << notVerified << "SHA-256";
        QTest::newRow("cut short by the server")
            << good << ServedFile { m_newProgram, 200, 100000 } << signature << failed << "the connection closed after 100000 of";
        QTest::newRow("shorter than version.dat says") << QByteArray(good).replace(
            "size=" + QByteArray::number(m_newProgram.size()), "size=" + QByteArray::number(m_newProgram.size() + 10))
                                                       << updater << signature << notVerified << "cut short";
        QTest::newRow("longer than version.dat says") << QByteArray(good).replace(
            "size=" + QByteArray::number(m_newProgram.size()), "size=" + QByteArray::number(m_newProgram.size() - 10))
                                                      << updater << signature << notVerified << "larger than version.dat says";
        QTest::newRow("version.dat without size and SHA-256")
            << QByteArray("71\r\n") << updater << signature << notVerified << "does not give the updater's size and SHA-256";
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
        serveRelease("71");
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
        serveRelease("71");
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

    void download_buildWithoutKey_fetchesNothingAndPointsToTheWebSite()
    {
        serveRelease("71");
        setUpdateSite({ m_server.url(), kWebSite, QByteArray() });
        QPointer<frmVersionCheck> window = offered();
        window->cmdDownload()->click();
        QTRY_VERIFY(window.isNull());
        QCOMPARE(m_boxes.size(), 1);
        QVERIFY(m_boxes.first().text.startsWith(QStringLiteral("This copy of the software was built without the key")));
        QVERIFY(m_boxes.first().text.endsWith(QStringLiteral("You can download new updates from our web site at: ") + kWebSite));
        QCOMPARE(m_server.requests(), QStringList { QStringLiteral("/version.dat") });
        QCOMPARE(readFile(m_program), kOldProgram);
    }

    void download_slow_windowKeepsAnsweringTheUser()
    {
        serveRelease("71", 8 * 1024, 15); // about 0.6 s
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
        serveRelease("71", 8 * 1024, 20);
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
        serveRelease("71");
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
        serveRelease("71");
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

    // A window showing the offer of version 71, ready for a button.
    QPointer<frmVersionCheck> offered()
    {
        QPointer<frmVersionCheck> window = startCheck();
        if (window)
            (void)QTest::qWaitFor([&] { return window.isNull() || window->cmdDownload()->isEnabled(); }, 5000);
        if (!window || !window->cmdDownload()->isEnabled())
            qFatal("no update was offered");
        return window;
    }

    void serveRelease(const QByteArray &version, int trickleBytes = 0, int trickleIntervalMs = 0)
    {
        m_server.serve(QStringLiteral("/version.dat"), ServedFile { tv::test::versionDat(version, m_newProgram) });
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
