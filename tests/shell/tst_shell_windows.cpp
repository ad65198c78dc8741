// The splash, the start menu, the message window, the About box and help.
#include "Forms.h"
#include "Help.h"
#include "HelpWindow.h"
#include "Launcher.h"
#include "MediaPlayer.h"
#include "MessageBox.h"
#include "WorkspaceForms.h"
#include "frmAbout.h"
#include "frmMenu.h"
#include "frmMsgBox.h"
#include "frmSplash.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTextBrowser>
#include <QUrl>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using namespace tv::shell;

class ShellWindowsTest : public QObject
{
    Q_OBJECT
    QList<MsgBoxCall> m_boxes;
    QList<LaunchRequest> m_launches;
    bool m_browserFound = true;

private slots:
    void initTestCase()
    {
        tv::workspace::registerWorkspaceForms();
        Forms::registerForm(QStringLiteral("frmMenu"), [] { return new frmMenu; });
        setMsgBoxAnswerer([this](const MsgBoxCall &call) {
            m_boxes.append(call);
            return int(Msg::Ok);
        });
        installStarter();
    }
    void installStarter()
    {
        setStarter([this](const LaunchRequest &r) {
            m_launches.append(r);
            return m_browserFound;
        });
    }
    void init()
    {
        m_boxes.clear();
        m_launches.clear();
        m_browserFound = true;
    }
    void cleanupTestCase() { Forms::destroyAll(); }

    void splash_soundPath_hasOneSeparator()
    {
        QCOMPARE(frmSplash::soundPath(QStringLiteral("/")), QStringLiteral("/Splash.dll"));
        QCOMPARE(frmSplash::soundPath(QStringLiteral("/a")), QStringLiteral("/a/Splash.dll"));
    }

    void splash_loadShowsVersion_andFindsTheSoundDevice()
    {
        auto *splash = new frmSplash;
        QVERIFY(splash->Form_Load());
        QCOMPARE(splash->findChild<QLabel *>(QStringLiteral("lblVersion"))->text(), QStringLiteral("Version 7.0.0"));
        QVERIFY(m_boxes.isEmpty());
        delete splash;
    }

    void splash_keyDuringTheSound_closesOnceAndShowsTheMenu()
    {
        QPointer<frmSplash> splash = new frmSplash;
        QVERIFY(splash->Form_Load());
        QSignalSpy closed(splash.data(), &frmSplash::closed);
        splash->show();
        QTRY_COMPARE(splash->MPlayerSplash()->playState(), int(tv::media::MediaPlayer::Playing));
        QCOMPARE(splash->MPlayerSplash()->fileName(), QStringLiteral(TV_PROGRAM_DIR "/Splash.dll"));
        QTest::keyClick(splash.data(), Qt::Key_Space);
        QCOMPARE(closed.size(), 1);
        QTRY_VERIFY(splash.isNull()); // the window is gone, and its sound with it
        QVERIFY(Forms::find(QStringLiteral("frmMenu"))->isVisible());
        Forms::find(QStringLiteral("frmMenu"))->hide();
    }

    void splash_endOfSound_closesIt_pauseDoesNot()
    {
        QPointer<frmSplash> splash = new frmSplash;
        QVERIFY(splash->Form_Load());
        QSignalSpy closed(splash.data(), &frmSplash::closed);
        splash->show();
        QTRY_COMPARE(splash->MPlayerSplash()->playState(), int(tv::media::MediaPlayer::Playing));
        splash->MPlayerSplash()->pause(); // 2 -> 1 is not the end
        QTest::qWait(100);
        QCOMPARE(closed.size(), 0);
        splash->MPlayerSplash()->play();
        QTRY_COMPARE_WITH_TIMEOUT(closed.size(), 1, 5000); // the jingle is 1.7 s
        QTRY_VERIFY(splash.isNull());
        Forms::find(QStringLiteral("frmMenu"))->hide();
    }

    void splash_clickOnThePicture_closesIt()
    {
        QPointer<frmSplash> splash = new frmSplash;
        QVERIFY(splash->Form_Load());
        QSignalSpy closed(splash.data(), &frmSplash::closed);
        splash->show();
        QTest::mouseClick(splash->findChild<QLabel *>(QStringLiteral("animation1")), Qt::LeftButton);
        QTest::mouseClick(splash->findChild<QLabel *>(QStringLiteral("animation1")), Qt::LeftButton);
        QCOMPARE(closed.size(), 1);
        QTRY_VERIFY(splash.isNull());
        Forms::find(QStringLiteral("frmMenu"))->hide();
    }

    void program_withoutASoundDevice_saysSoAndEnds()
    {
        QTemporaryDir runtime;
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("PULSE_SERVER"), QStringLiteral("unix:") + runtime.filePath(QStringLiteral("no-server")));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        env.insert(QStringLiteral("TV_MSGBOX_TO_STDERR"), QStringLiteral("1"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        program.setProcessEnvironment(env);
        program.start(QStringLiteral(TV_PROGRAM_DIR "/TapeVantrel"), {});
        QVERIFY(program.waitForFinished(20000));
        QCOMPARE(program.exitCode(), 1);
        const QString err = QString::fromLocal8Bit(program.readAllStandardError());
        QVERIFY2(err.contains(QStringLiteral("The Tape Vantrel: An Enabled Sound Device Was Not Found!\nThe Tape Vantrel Requires a Sound Card.")),
                 qPrintable(err));
    }

    void menu_buttonsOpenTheWorkspaces()
    {
        auto *menu = Forms::get<frmMenu>(QStringLiteral("frmMenu"));
        QCOMPARE(menu->windowTitle(), QStringLiteral("Cassette & Mini-Disc Vantrel"));
        QCOMPARE(menu->findChild<QLabel *>(QStringLiteral("Label1"))->text(), QStringLiteral("S E L E C T"));
        QCOMPARE(menu->findChild<QToolButton *>(QStringLiteral("cmdTapeVantrel"))->toolTip(), QStringLiteral("Start The Cassette Tape Vantrel"));
        QCOMPARE(menu->findChild<QToolButton *>(QStringLiteral("cmdMiniDiscVantrel"))->toolTip(), QStringLiteral("Start The Mini-Disc Vantrel"));
        QCOMPARE(menu->findChild<QToolButton *>(QStringLiteral("cmdMiniPlayer"))->toolTip(), QStringLiteral("Launch Mini-Player"));
        menu->show();
        menu->findChild<QToolButton *>(QStringLiteral("cmdTapeVantrel"))->click();
        QVERIFY(menu->isHidden());
        QWidget *tape = Forms::find(QStringLiteral("MP3DragDrop"));
        QVERIFY(tape && tape->isVisible());
        QVERIFY(tape->close()); // closing a workspace shows the menu again
        QVERIFY(menu->isVisible());
        QTRY_VERIFY(!Forms::find(QStringLiteral("MP3DragDrop")));
        menu->findChild<QToolButton *>(QStringLiteral("cmdMiniDiscVantrel"))->click();
        QWidget *disc = Forms::find(QStringLiteral("MP3MiniDisc"));
        QVERIFY(disc && disc->isVisible());
        QCOMPARE(disc->windowTitle(), QStringLiteral("The Mini-Disc Vantrel"));
        disc->close();
        QTRY_VERIFY(!Forms::find(QStringLiteral("MP3MiniDisc")));
    }

    void menu_miniPlayer_loadsTheTapeWorkspaceUnseen()
    {
        auto *menu = Forms::get<frmMenu>(QStringLiteral("frmMenu"));
        menu->show();
        menu->findChild<QToolButton *>(QStringLiteral("cmdMiniPlayer"))->click();
        QWidget *tape = Forms::find(QStringLiteral("MP3DragDrop"));
        QVERIFY(tape);
        QVERIFY(!tape->isVisible());
        delete tape;
    }

    void msgBoxWindow_showsTitleAndMessage_okCloses()
    {
        QPointer<frmMsgBox> box = new frmMsgBox;
        box->setWindowTitle(QStringLiteral("Tape Side A Recording Complete"));
        box->lblMsgBox()->setText(QStringLiteral("Done."));
        QTimer::singleShot(0, box.data(), [box] { box->findChild<QPushButton *>(QStringLiteral("cmdOK"))->click(); });
        QCOMPARE(box->exec(), int(QDialog::Accepted));
        QTRY_VERIFY(box.isNull());
    }

    void about_showsItsTexts()
    {
        frmAbout about;
        QCOMPARE(about.findChild<QLabel *>(QStringLiteral("lblTitle"))->text(), QStringLiteral("The Tape Vantrel"));
        QCOMPARE(about.findChild<QLabel *>(QStringLiteral("lblVersion"))->text(), QStringLiteral("Version 7.0.0"));
        const QString text = frmAbout::descriptionText();
        QVERIFY(text.startsWith(QStringLiteral("Welcome to The Cassette Tape and Mini-Disc Vantrel.\n\rThis software is designed")));
        QVERIFY(text.contains(QStringLiteral("Mini-Disc Length.\n\r\n\rTo begin using The Tape Vantrel simply:\n\r1.)Select")));
        QVERIFY(text.endsWith(QStringLiteral("5.)Click on the TapeSide A/B or Mini-Disc Record button and follow the prompts.")));
        // Shown with one line break for each "\n\r".
        QVERIFY(!about.findChild<QLabel *>(QStringLiteral("lblDescription"))->text().contains(QLatin1Char('\r')));
        for (const char *name : {"cmdOK", "cmdSysInfo", "cmdHelp"})
            QVERIFY(about.findChild<QPushButton *>(QLatin1String(name)));
    }

    void about_sysInfo_startsTheFirstProgramFound()
    {
        QTemporaryDir bin;
        const QByteArray oldPath = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(bin.path()));
        frmAbout about;
        about.StartSysInfo();
        QCOMPARE(m_boxes.size(), 1);
        QCOMPARE(m_boxes.first().text, QStringLiteral("System Information Is Unavailable At This Time"));
        QCOMPARE(m_boxes.first().title, kApplicationTitle);
        QFile fake(bin.filePath(QStringLiteral("kinfocenter")));
        QVERIFY(fake.open(QIODevice::WriteOnly));
        fake.write("#!/bin/sh\n");
        fake.close();
        fake.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        about.StartSysInfo();
        qputenv("PATH", oldPath);
        QCOMPARE(m_launches.size(), 1);
        QCOMPARE(m_launches.first().program, fake.fileName());
        QCOMPARE(m_boxes.size(), 1);
    }

    void help_f1OpensTheGuide()
    {
        QVERIFY(QFile::exists(helpFilePath()));
        QWidget window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTest::keyClick(&window, Qt::Key_F1);
        QCOMPARE(m_launches.size(), 1);
        QCOMPARE(m_launches.first().document, helpFilePath());
        frmAbout about;
        about.findChild<QPushButton *>(QStringLiteral("cmdHelp"))->click();
        QCOMPARE(m_launches.size(), 2);
    }

    // The desktop's real launcher decides by how it ends: a desktop without
    // a browser answers "no method available" with a failure, and the guide
    // then opens in the program's own window.
    void help_throughTheLauncher_judgedByItsExitStatus_data()
    {
        QTest::addColumn<QString>("launcher"); // the script's body; empty: none on the PATH
        QTest::addColumn<bool>("ownWindow");
        QTest::newRow("no method available") << "echo 'xdg-open: no method available for opening' >&2; exit 3" << true;
        QTest::newRow("the browser has it") << "exit 0" << false;
        QTest::newRow("killed") << "kill -9 $$" << true;
        QTest::newRow("no launcher at all") << "" << true;
    }
    void help_throughTheLauncher_judgedByItsExitStatus()
    {
        QFETCH(QString, launcher);
        QFETCH(bool, ownWindow);
        QTemporaryDir bin;
        const QString called = bin.filePath(QStringLiteral("called"));
        if (!launcher.isEmpty()) {
            QFile script(bin.filePath(QStringLiteral("xdg-open")));
            QVERIFY(script.open(QIODevice::WriteOnly));
            script.write(QStringLiteral("#!/bin/sh\necho \"$1\" > '%1'\n%2\n").arg(called, launcher).toUtf8());
            script.close();
            QVERIFY(script.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
        }
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(bin.path()) + ":/usr/bin/nonexistent");
        setStarter({});
        QWidget window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTest::keyClick(&window, Qt::Key_F1);
        qputenv("PATH", path);
        installStarter();
        if (ownWindow) {
            QTRY_VERIFY(Forms::find<frmHelp>(QStringLiteral("frmHelp")));
        } else {
            QTRY_VERIFY(QFile::exists(called));
            QTest::qWait(300);
            QVERIFY(!Forms::find<frmHelp>(QStringLiteral("frmHelp")));
        }
        if (!launcher.isEmpty()) {
            QFile seen(called);
            QVERIFY(seen.open(QIODevice::ReadOnly));
            QCOMPARE(seen.readAll().trimmed(), QUrl::fromLocalFile(helpFilePath()).toString().toUtf8());
        }
        QVERIFY(m_boxes.isEmpty());
        delete Forms::find<frmHelp>(QStringLiteral("frmHelp"));
    }

    // No browser can be started: the guide opens in the program's own help
    // window, whose links, Back and search work; F1 again brings the same one.
    void help_withoutABrowser_showsTheBuiltInWindow()
    {
        m_browserFound = false;
        QWidget window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTest::keyClick(&window, Qt::Key_F1);
        QCOMPARE(m_launches.size(), 1); // the browser was tried first
        QVERIFY(m_boxes.isEmpty());
        auto *help = Forms::find<frmHelp>(QStringLiteral("frmHelp"));
        QVERIFY(help);
        QVERIFY(QTest::qWaitForWindowExposed(help));
        QCOMPARE(help->windowTitle(), QStringLiteral("The Tape Vantrel Help"));
        QTextBrowser *guide = help->browser();
        QVERIFY(guide->toPlainText().contains(QLatin1String("Choosing the length")));

        // A link of the contents goes to its section; Back returns.
        const int top = guide->verticalScrollBar()->value();
        QVERIFY(guide->toHtml().contains(QLatin1String("#recording")));
        guide->setSource(QUrl(QStringLiteral("#recording")));
        QTRY_VERIFY(guide->verticalScrollBar()->value() > top);
        auto *back = help->findChild<QToolButton *>(QStringLiteral("cmdBack"));
        QVERIFY(back->isEnabled());
        back->click();
        QTRY_COMPARE(guide->verticalScrollBar()->value(), top);

        // Search: found, found again further on, and not found.
        QVERIFY(help->findNext(QStringLiteral("playlist")));
        const int first = guide->textCursor().position();
        QVERIFY(help->findNext(QStringLiteral("playlist")));
        QVERIFY(guide->textCursor().position() > first);
        auto *search = help->findChild<QLineEdit *>(QStringLiteral("txtSearch"));
        search->setText(QStringLiteral("no such words anywhere"));
        QTest::keyClick(search, Qt::Key_Return);
        QCOMPARE(help->findChild<QLabel *>(QStringLiteral("lblNotFound"))->text(), QStringLiteral("Not found"));

        // From the modal About box: the same window, modal so that it takes input.
        frmAbout about;
        about.setAttribute(Qt::WA_DeleteOnClose, false);
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        QTimer::singleShot(0, &about, [&about] { about.findChild<QPushButton *>(QStringLiteral("cmdHelp"))->click(); });
        QTimer::singleShot(200, &about, [&about] { about.accept(); });
        about.exec();
        QCOMPARE(Forms::find<frmHelp>(QStringLiteral("frmHelp")), help);
        QCOMPARE(help->windowModality(), Qt::ApplicationModal);
        help->close();
        QTRY_VERIFY(!Forms::find(QStringLiteral("frmHelp")));
    }
};

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    app.installEventFilter(new HelpKeyFilter(&app));
    ShellWindowsTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_shell_windows.moc"
