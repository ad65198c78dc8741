// The titles a window manager shows: both programs run on a real X server
// (Xvfb) and their windows' titles are read back from the server.
#include <QProcess>
#include <QScopeGuard>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

class WindowTitlesTest : public QObject
{
    Q_OBJECT
    QProcess m_server;
    QString m_display;

    // The names of the server's windows, as xwininfo lists them.
    QStringList windowNames()
    {
        QProcess info;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), m_display);
        info.setProcessEnvironment(env);
        info.start(QStringLiteral("xwininfo"), {QStringLiteral("-root"), QStringLiteral("-tree")});
        if (!info.waitForFinished(5000))
            return {};
        QStringList names;
        static const QRegularExpression quoted(QStringLiteral("0x[0-9a-f]+ \"([^\"]*)\""));
        for (auto it = quoted.globalMatch(QString::fromUtf8(info.readAllStandardOutput())); it.hasNext();)
            names << it.next().captured(1);
        return names;
    }
    void startProgram(QProcess &program, const QString &path)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), m_display);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        program.setProcessEnvironment(env);
        program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        program.start(path, {});
        QVERIFY2(program.waitForStarted(5000), qPrintable(path));
    }

private slots:
    void initTestCase()
    {
        // -displayfd: the server picks a free display and tells its number.
        // -noreset: a desktop's X server lives on when a program closes; by
        // default Xvfb resets when its last client goes, and a program
        // connecting meanwhile is refused.
        m_server.start(QStringLiteral("Xvfb"), {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-noreset"), QStringLiteral("-nolisten"),
                                                QStringLiteral("tcp"), QStringLiteral("-screen"), QStringLiteral("0"),
                                                QStringLiteral("1366x768x24")});
        QVERIFY2(m_server.waitForStarted(5000), "Xvfb cannot be started");
        QTRY_VERIFY_WITH_TIMEOUT(m_server.canReadLine(), 10000);
        m_display = QLatin1Char(':') + QString::fromLatin1(m_server.readLine()).trimmed();
    }
    void cleanupTestCase()
    {
        m_server.terminate();
        m_server.waitForFinished(5000);
    }

    // Regression: an application display name made the platform append
    // " — Cassette/MiniDisc Vantrel" to every title.
    void titles_readExactlyAsGiven_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("title");
        QTest::newRow("start menu") << QStringLiteral(TV_PROGRAM_DIR "/TapeVantrel") << QStringLiteral("Cassette & Mini-Disc Vantrel");
        QTest::newRow("puzzle") << QStringLiteral(TV_PROGRAM_DIR "/TesteQuorvane") << QStringLiteral("Teste de Quorvane");
    }
    void titles_readExactlyAsGiven()
    {
        QFETCH(QString, program);
        QFETCH(QString, title);
        QProcess running;
        const auto stop = qScopeGuard([&running] {
            running.kill();
            running.waitForFinished(5000);
        });
        startProgram(running, program);
        // The start menu follows the splash once its sound has ended.
        QTRY_VERIFY_WITH_TIMEOUT(windowNames().contains(title), 15000);
        for (const QString &name : windowNames())
            QVERIFY2(!name.contains(QStringLiteral(" — ")), qPrintable(name));
    }
};

QTEST_GUILESS_MAIN(WindowTitlesTest)
#include "tst_window_titles.moc"
