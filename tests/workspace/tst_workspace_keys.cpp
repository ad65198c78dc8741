// The workspace without a mouse: Enter, the context-menu key, Shift+F10 and
// Delete on the file list and the playlists, Tab to the record controls and
// their accessible names; and how adding reports an unmeasurable file (the
// critical icon, the focus to the focus sink, the busy pointer over the window).
#include "FileListBox.h"
#include "Fixtures.h"
#include "FolderListBox.h"
#include "MediaControlBar.h"
#include "MediaPlayer.h"
#include "MediumProfile.h"
#include "MessageBox.h"
#include "PlayListBox.h"
#include "Workspace.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using tv::test::MediaFixtures;
using tv::workspace::MediumProfile;
using tv::workspace::Workspace;

class WorkspaceKeysTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<Workspace> m_ws;
    QList<tv::shell::MsgBoxCall> m_boxes;
    std::function<void()> m_duringBox;

    template <typename T> T *child(const char *name) { return m_ws->findChild<T *>(QLatin1String(name)); }
    tv::controls::PlayListBox *playlist() { return child<tv::controls::PlayListBox>("lstPlayListA"); }
    tv::controls::FileListBox *files() { return child<tv::controls::FileListBox>("File1"); }
    void browse(const QString &folder)
    {
        QString error;
        QVERIFY2(child<tv::controls::FolderListBox>("Dir1")->setPath(folder, error), qPrintable(error));
    }
    void selectFile(const QString &name)
    {
        const auto found = files()->findItems(name, Qt::MatchExactly);
        QVERIFY2(!found.isEmpty(), qPrintable(name));
        files()->setCurrentItem(found.first());
        files()->setFocus();
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(MediaFixtures::instance().ok(), qPrintable(MediaFixtures::instance().error()));
    }
    void init()
    {
        m_boxes.clear();
        m_duringBox = {};
        tv::shell::setMsgBoxAnswerer([this](const tv::shell::MsgBoxCall &call) {
            m_boxes.append(call);
            if (m_duringBox)
                m_duringBox();
            return int(tv::shell::Msg::Ok);
        });
        m_ws = std::make_unique<Workspace>(MediumProfile::cassette());
        m_ws->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_ws.get()));
        m_ws->activateWindow();
        child<QPushButton>("cmdDriveList")->click();
        browse(MediaFixtures::instance().path(QString()));
    }
    void cleanup()
    {
        if (m_ws)
            m_ws->MPlayer()->player()->stop();
        m_ws.reset();
    }

    void enterInTheFileList_addsTheSelectedFile()
    {
        selectFile(QStringLiteral("tone3.wav"));
        QTest::keyClick(files(), Qt::Key_Return);
        QTRY_COMPARE(playlist()->count(), 1);
        QCOMPARE(playlist()->item(0)->text(), MediaFixtures::instance().path(QStringLiteral("tone3.wav")) + QStringLiteral(" (00:03)"));
        QTest::keyClick(files(), Qt::Key_Enter); // the keypad's Enter alike
        QTRY_COMPARE(playlist()->count(), 2);
        QCOMPARE(m_ws->intTimeA(), 6);
    }

    void enterOnAPlaylistEntry_previewsIt()
    {
        m_ws->subAddSong(MediaFixtures::instance().path(QStringLiteral("tone3.wav")));
        QCOMPARE(playlist()->count(), 1);
        playlist()->setCurrentRow(0);
        playlist()->setFocus();
        QTest::keyClick(playlist(), Qt::Key_Return);
        QCOMPARE(m_ws->Label1()->text(), playlist()->item(0)->text());
        QTRY_COMPARE(m_ws->MPlayer()->player()->playState(), int(tv::media::MediaPlayer::Playing));
    }

    void popupKeys_openTheListsPopupMenus_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("menu");
        QTest::addColumn<bool>("menuKey"); // else Shift+F10
        QTest::newRow("file list, context-menu key") << "File1" << "mnuPlayFile" << true;
        QTest::newRow("file list, Shift+F10") << "File1" << "mnuPlayFile" << false;
        QTest::newRow("playlist, context-menu key") << "lstPlayListA" << "mnuPlayList" << true;
        QTest::newRow("playlist, Shift+F10") << "lstPlayListA" << "mnuPlayList" << false;
    }
    void popupKeys_openTheListsPopupMenus()
    {
        QFETCH(QString, list);
        QFETCH(QString, menu);
        QFETCH(bool, menuKey);
        m_ws->subAddSong(MediaFixtures::instance().path(QStringLiteral("tone1.wav")));
        playlist()->setCurrentRow(0);
        selectFile(QStringLiteral("tone3.wav"));
        auto *target = m_ws->findChild<QWidget *>(list);
        auto *popup = m_ws->findChild<QMenu *>(menu);
        QVERIFY(!popup->isVisible());
        target->setFocus();
        if (menuKey) {
            // What the platform sends for the context-menu key.
            QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(2, 2), target->mapToGlobal(QPoint(2, 2)));
            QCoreApplication::sendEvent(target, &event);
        } else {
            QTest::keyClick(target, Qt::Key_F10, Qt::ShiftModifier);
        }
        QTRY_VERIFY(popup->isVisible());
        // Set up as for a right click: an entry is selected, so Play is offered.
        const char *play = menu == QLatin1String("mnuPlayFile") ? "mnuPlay" : "mnuPlayListPlay";
        QVERIFY(m_ws->findChild<QAction *>(QLatin1String(play))->isEnabled());
        popup->close();
    }

    void deleteInAPlaylist_deletesTheSelected_butNotWhileRecording()
    {
        m_ws->subAddSong(MediaFixtures::instance().path(QStringLiteral("tone1.wav")));
        m_ws->subAddSong(MediaFixtures::instance().path(QStringLiteral("tone3.wav")));
        QCOMPARE(m_ws->intTimeA(), 4);
        playlist()->setCurrentRow(1);
        playlist()->setFocus();
        m_ws->subSetControls(QStringLiteral("record"));
        QTest::keyClick(playlist(), Qt::Key_Delete);
        QCOMPARE(playlist()->count(), 2);
        m_ws->subSetControls(QStringLiteral("stopped"));
        playlist()->setFocus();
        QTest::keyClick(playlist(), Qt::Key_Delete);
        QCOMPARE(playlist()->count(), 1);
        QCOMPARE(m_ws->intTimeA(), 1);
        QVERIFY(child<QLabel>("lblInfoA")->text().startsWith(QStringLiteral("[ Time Used: 00:01 ]")));
    }

    void recordControls_reachedByTabOnceInView_andNamed()
    {
        const QStringList record = {QStringLiteral("cmdRecordSideA"), QStringLiteral("cmdRecordSideB"), QStringLiteral("cmdPause"),
                                    QStringLiteral("cmdStop")};
        const auto tabVisits = [this](int presses) {
            QStringList seen;
            child<QPushButton>("cmdPrevRec")->setFocus();
            for (int i = 0; i < presses; ++i) {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                seen << QApplication::focusWidget()->objectName();
            }
            return seen;
        };
        // The strip that slides the panels is itself reached by Tab and says what it does.
        auto *strip = child<QPushButton>("cmdPrevRec");
        QVERIFY(strip->focusPolicy() & Qt::TabFocus);
        QVERIFY(!strip->accessibleName().isEmpty());
        for (const QString &name : record)
            QVERIFY2(!tabVisits(40).contains(name), qPrintable(name + QStringLiteral(" reached while parked")));
        strip->setFocus();
        QTest::keyClick(strip, Qt::Key_Space);
        const QStringList seen = tabVisits(40);
        for (const QString &name : record) {
            QVERIFY2(seen.contains(name), qPrintable(name));
            auto *button = m_ws->findChild<QPushButton *>(name);
            QVERIFY2(!button->accessibleName().isEmpty() || !button->text().isEmpty(), qPrintable(name));
        }
        for (const char *pictured : {"cmdUpA", "cmdDownA", "cmdTapeSide", "cmdHelp"})
            QVERIFY2(!child<QWidget>(pictured)->accessibleName().isEmpty(), pictured);
    }

    // A file that cannot be measured is not added; it is reported with the
    // critical icon, the focus goes to the focus sink, and meanwhile the
    // arrow with the hourglass is over the workspace window only.
    void unmeasurableFile_isReportedCriticalAndTheFocusMoves()
    {
        QTemporaryDir folder;
        QFile bad(folder.filePath(QStringLiteral("noise.mp3")));
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write(QByteArray(4000, 'x'));
        bad.close();
        Qt::CursorShape during = Qt::ArrowCursor;
        bool applicationWide = true;
        m_duringBox = [&] {
            during = m_ws->cursor().shape();
            applicationWide = QGuiApplication::overrideCursor() != nullptr;
        };
        files()->setFocus();
        m_ws->subAddSong(bad.fileName());
        QCOMPARE(m_boxes.size(), 1);
        QCOMPARE(m_boxes.first().style & 0x70, int(tv::shell::Msg::Critical));
        QCOMPARE(m_boxes.first().title, QStringLiteral("The Tape Vantrel"));
        QCOMPARE(playlist()->count(), 0);
        QCOMPARE(QApplication::focusWidget(), child<QWidget>("cmdDummyFocus"));
        QCOMPARE(during, Qt::BusyCursor);
        QVERIFY(!applicationWide);
        QCOMPARE(m_ws->cursor().shape(), Qt::ArrowCursor); // the default pointer again
    }
};

QTEST_MAIN(WorkspaceKeysTest)
#include "tst_workspace_keys.moc"
