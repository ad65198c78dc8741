// bench_update_download [KIB] [PIECE_BYTES] [INTERVAL_MS]: downloads a signed
// update of KIB kibibytes that a local HTTPS server trickles out in pieces,
// through the real update window, and prints the longest time the UI thread
// went without running its event loop, beside the same figure for an idle
// event loop and curl's time for the same download: once for a download the
// user cancels halfway, once for a download that installs.
#include "Fetch.h"
#include "Forms.h"
#include "HttpsServer.h"
#include "MessageBox.h"
#include "ProgramFile.h"
#include "UpdateFixtures.h"
#include "UpdateSite.h"
#include "frmVersionCheck.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QTimer>

#include <cstdio>

namespace {

// Ticks every 2 ms and keeps the longest gap between two ticks.
class StallMeter
{
public:
    StallMeter()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { m_longestMs = qMax(m_longestMs, m_clock.restart()); });
    }
    void start()
    {
        m_longestMs = 0;
        m_clock.start();
        m_timer.start(2);
    }
    qint64 stop()
    {
        m_timer.stop();
        return qMax(m_longestMs, m_clock.elapsed());
    }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_longestMs = 0;
};

void runFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

bool runUntil(const std::function<bool()> &done, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < timeoutMs)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    return done();
}

} // namespace

int main(int argc, char **argv)
{
    tv::test::PrivateFolders folders;
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int kib = args.value(1, QStringLiteral("1024")).toInt();
    const int piece = args.value(2, QStringLiteral("4096")).toInt();
    const int intervalMs = args.value(3, QStringLiteral("10")).toInt();

    tv::test::HttpsServer server;
    QString error;
    if (!server.start(&error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    tv::test::ReleaseSigner signer;
    QByteArray updater;
    for (int i = 0; updater.size() < kib * 1024; ++i)
        updater += "#!/bin/sh\necho new version " + QByteArray::number(i) + "\n";
    updater.truncate(kib * 1024);
    server.serve(QStringLiteral("/version.dat"), { signer.signedVersionDat(tv::test::ReleaseLines {}, updater) });
    server.serve(QStringLiteral("/TapeVantrelUpdate.sig"), { signer.sign(updater) });
    server.serve(QStringLiteral("/TapeVantrelUpdate"), { updater, 200, -1, false, piece, intervalMs });

    const QString program = folders.path() + QStringLiteral("/TapeVantrel");
    QFile old(program);
    if (!old.open(QIODevice::WriteOnly) || old.write("#!/bin/sh\necho old\n") < 0)
        return 1;
    old.close();
    tv::update::setProgramFile(program);
    tv::update::setExtraCaCertificates({ server.certificate() });
    tv::update::setUpdateSite({ server.url(), QStringLiteral("https://tapevantrel.example.org/"), signer.publicKey() });
    QString message;
    tv::shell::setMsgBoxAnswerer([&message](const tv::shell::MsgBoxCall &call) {
        message = call.text;
        return int(tv::shell::Msg::Ok);
    });
    tv::update::registerVersionCheckForm();

    StallMeter meter;
    meter.start();
    runFor(1000);
    const qint64 idleMs = meter.stop();

    const auto offered = [] {
        tv::update::startVersionCheck();
        QPointer<tv::update::frmVersionCheck> window
            = tv::shell::Forms::find<tv::update::frmVersionCheck>(QStringLiteral("frmVersionCheck"));
        if (!runUntil([&] { return window && window->isVisible(); }, 10000))
            window = nullptr;
        return window;
    };
    const auto readProgram = [&program] {
        QFile file(program);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    const QByteArray oldBytes = readProgram();

    // Cancelled halfway: the stall through the click and the clean-up.
    QPointer<tv::update::frmVersionCheck> window = offered();
    if (!window) {
        std::fprintf(stderr, "no update was offered\n");
        return 1;
    }
    QElapsedTimer total;
    total.start();
    meter.start();
    window->cmdDownload()->click();
    runUntil([&] { return window.isNull() || window->statusText().endsWith(QStringLiteral(": 50 %")); }, 600000);
    if (window)
        window->cmdCancel()->click();
    runUntil([&] { return window.isNull(); }, 600000);
    const qint64 cancelStallMs = meter.stop();
    const qint64 cancelTotalMs = total.elapsed();
    const bool leftAsItWas = readProgram() == oldBytes
        && QDir(folders.path()).entryList({ QStringLiteral(".TapeVantrel.update-*") }, QDir::Files | QDir::Hidden).isEmpty();

    window = offered();
    if (!window) {
        std::fprintf(stderr, "no update was offered the second time\n");
        return 1;
    }
    total.start();
    meter.start();
    window->cmdDownload()->click();
    runUntil([&] { return window.isNull(); }, 600000);
    const qint64 ourStallMs = meter.stop();
    const qint64 ourTotalMs = total.elapsed();
    if (readProgram() != updater) {
        std::fprintf(stderr, "the program was not replaced: %s\n", qPrintable(message));
        return 1;
    }

    // curl, in a process of its own, fetches the same trickle.
    const QString certificate = folders.path() + QStringLiteral("/server.pem");
    QFile pem(certificate);
    if (pem.open(QIODevice::WriteOnly))
        pem.write(server.certificate().toPem());
    pem.close();
    QProcess curl;
    QElapsedTimer curlClock;
    curlClock.start();
    curl.start(QStringLiteral("curl"),
        { QStringLiteral("-sS"), QStringLiteral("--cacert"), certificate, QStringLiteral("-o"), QStringLiteral("/dev/null"),
            server.url().resolved(QUrl(QStringLiteral("TapeVantrelUpdate"))).toString() });
    const bool curlRan
        = curl.waitForStarted() && runUntil([&] { return curl.state() == QProcess::NotRunning; }, 600000) && curl.exitCode() == 0;
    const qint64 curlMs = curlClock.elapsed();

    std::printf("trickled download of %d KiB, %d bytes every %d ms, over HTTPS from 127.0.0.1\n", kib, piece, intervalMs);
    std::printf("%-36s %22s %12s\n", "", "longest UI-thread stall", "total time");
    std::printf("%-36s %19lld ms %12s\n", "idle event loop (baseline)", idleMs, "-");
    std::printf("%-36s %19lld ms %9lld ms  %s\n", "frmVersionCheck, Cancel at 50 %", cancelStallMs, cancelTotalMs,
        leftAsItWas ? "program untouched, no partial file" : "LEFT SOMETHING BEHIND");
    std::printf("%-36s %19lld ms %9lld ms\n", "frmVersionCheck, download + verify", ourStallMs, ourTotalMs);
    if (curlRan)
        std::printf("%-36s %22s %9lld ms\n", "curl (reference, same download)", "-", curlMs);
    else
        std::printf("%-36s %22s %12s\n", "curl (reference, same download)", "-", "not run");
    std::printf("target: longest stall at most 50 ms\n");
    tv::shell::Forms::destroyAll();
    return 0;
}
