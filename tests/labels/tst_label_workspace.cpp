// The workspaces' print buttons: each opens its label modally over the
// workspace, reading the workspace's playlists; the focus returns to the
// workspace's focus sink, and nothing of a closed label comes back.
#include "Forms.h"
#include "LabelWindow.h"
#include "MediumProfile.h"
#include "MessageBox.h"
#include "PlayListBox.h"
#include "Settings.h"
#include "Workspace.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <functional>

using tv::labels::LabelWindow;
using tv::workspace::MediumProfile;
using tv::workspace::Workspace;

class LabelWorkspaceTest : public QObject
{
    Q_OBJECT
    QPointer<Workspace> m_ws;

    void open(const MediumProfile &profile)
    {
        delete m_ws.data();
        m_ws = new Workspace(profile);
        m_ws->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_ws.data()));
    }
    tv::controls::PlayListBox *list(const char *name) { return m_ws->findChild<tv::controls::PlayListBox *>(QLatin1String(name)); }

    // Presses the workspace's print button; while the label is open, runs
    // `inside` on it and then closes it with its Exit button.
    void printWith(const std::function<void(LabelWindow *)> &inside)
    {
        bool ran = false;
        QTimer::singleShot(0, this, [&] {
            auto *label = qobject_cast<LabelWindow *>(QApplication::activeModalWidget());
            if (!label)
                return;
            ran = true;
            inside(label);
            label->findChild<QPushButton *>(QStringLiteral("cmdExit"))->click();
        });
        m_ws->findChild<QPushButton *>(QStringLiteral("cmdPrint_0"))->click();
        QVERIFY2(ran, "the print button opened no modal label");
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        tv::shell::Forms::registerForm(QStringLiteral("frmMenu"), [] { return new QWidget; });
        tv::shell::setMsgBoxAnswerer([](const tv::shell::MsgBoxCall &) { return int(tv::shell::Msg::Ok); });
    }
    void cleanup() { delete m_ws.data(); }
    void cleanupTestCase() { tv::shell::Forms::destroyAll(); }

    void cmdPrint_opensTheMediumsLabel_data()
    {
        QTest::addColumn<bool>("cassette");
        QTest::addColumn<QString>("window");
        QTest::newRow("cassette workspace") << true << "frmTapeLabel";
        QTest::newRow("MiniDisc workspace") << false << "frmMiniDiscLabel";
    }
    void cmdPrint_opensTheMediumsLabel()
    {
        QFETCH(bool, cassette);
        QFETCH(QString, window);
        open(cassette ? MediumProfile::cassette() : MediumProfile::miniDisc());
        list("lstPlayListA")->addItem(QStringLiteral("/home/ann/Music/Song.mp3 (03:45)"));
        if (cassette)
            list("lstPlayListB")->addItem(QStringLiteral("/Track.wav (00:59)"));
        QString name;
        QStringList lines;
        printWith([&](LabelWindow *label) {
            name = label->objectName();
            QVERIFY(label->parentWidget() == m_ws);
            label->findChild<QCheckBox *>(QStringLiteral("chkSongTime"))->click();
            lines << label->findChild<QLineEdit *>(QStringLiteral("txtTitle_0"))->text();
            if (cassette)
                lines << label->findChild<QLineEdit *>(QStringLiteral("txtTitle_14"))->text();
        });
        QCOMPARE(name, window);
        const QStringList expected = cassette ? QStringList { "Song (03:45)", "Track (00:59)" } : QStringList { "Song (03:45)" };
        QCOMPARE(lines, expected);
        QCOMPARE(m_ws->focusWidget(), m_ws->findChild<QWidget *>(QStringLiteral("cmdDummyFocus")));
        QVERIFY(!m_ws->findChild<LabelWindow *>()); // the label is gone
    }

    void cmdPrint_miniDiscLabelShowsAModeOtherThanSP_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("appName");
        QTest::newRow("SP: the label as it always was") << "SP" << "The Cassette Tape Vantrel";
        QTest::newRow("LP2") << "LP2" << "The Cassette Tape Vantrel \u2013 LP2";
        QTest::newRow("LP4") << "LP4" << "The Cassette Tape Vantrel \u2013 LP4";
    }
    void cmdPrint_miniDiscLabelShowsAModeOtherThanSP()
    {
        QFETCH(QString, mode);
        QFETCH(QString, appName);
        // The mode chosen last is the one a new MiniDisc window opens in.
        tv::shell::saveSetting(QStringLiteral("MiniDisc"), QStringLiteral("Mode"), mode);
        open(MediumProfile::miniDisc());
        QString shown;
        printWith([&](LabelWindow *label) { shown = label->findChild<QLabel *>(QStringLiteral("lblAppName"))->text(); });
        QCOMPARE(shown, appName);
        tv::shell::saveSetting(QStringLiteral("MiniDisc"), QStringLiteral("Mode"), QStringLiteral("SP"));
    }

    void cmdPrint_nothingOfAClosedLabelSurvives()
    {
        open(MediumProfile::cassette());
        list("lstPlayListA")->addItem(QStringLiteral("/home/ann/Music/Song.mp3 (03:45)"));
        printWith([](LabelWindow *label) {
            label->findChild<QLineEdit *>(QStringLiteral("txtTapeTitle"))->setText(QStringLiteral("Summer 1999"));
            label->findChild<QLineEdit *>(QStringLiteral("txtTitle_0"))->setText(QStringLiteral("my edit"));
            label->findChild<QCheckBox *>(QStringLiteral("chkSongTime"))->click();
        });
        QString title, line0;
        bool timed = true;
        printWith([&](LabelWindow *label) {
            title = label->titleText();
            line0 = label->findChild<QLineEdit *>(QStringLiteral("txtTitle_0"))->text();
            timed = label->findChild<QCheckBox *>(QStringLiteral("chkSongTime"))->isChecked();
        });
        QCOMPARE(title, QStringLiteral("Enter Cassette Tape Title Here"));
        QCOMPARE(line0, QStringLiteral("Song"));
        QVERIFY(!timed);
    }
};

QTEST_MAIN(LabelWorkspaceTest)
#include "tst_label_workspace.moc"
