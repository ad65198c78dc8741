// Playlist editing and playlist files through the workspace's controls.
#include "FileDialogs.h"
#include "FolderListBox.h"
#include "Fixtures.h"
#include "MediumProfile.h"
#include "MessageBox.h"
#include "PlayListBox.h"
#include "Workspace.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <csignal>
#include <sys/resource.h>

using tv::test::MediaFixtures;
using tv::workspace::MediumProfile;
using tv::workspace::Workspace;

// While alive, the process obeys file permissions as an ordinary user
// does, also when it runs as root (its effective CAP_DAC_OVERRIDE is off).
class WithoutPermissionOverride
{
public:
    WithoutPermissionOverride()
    {
        m_header.version = _LINUX_CAPABILITY_VERSION_3;
        if (syscall(SYS_capget, &m_header, m_saved) != 0)
            return;
        __user_cap_data_struct reduced[2] = {m_saved[0], m_saved[1]};
        reduced[CAP_DAC_OVERRIDE / 32].effective &= ~(1u << (CAP_DAC_OVERRIDE % 32));
        m_changed = syscall(SYS_capset, &m_header, reduced) == 0;
    }
    ~WithoutPermissionOverride()
    {
        if (m_changed)
            syscall(SYS_capset, &m_header, m_saved);
    }

private:
    __user_cap_header_struct m_header{};
    __user_cap_data_struct m_saved[2]{};
    bool m_changed = false;
};

class PlaylistEditingTest : public QObject
{
    Q_OBJECT
    QPointer<Workspace> m_ws;
    QList<tv::shell::MsgBoxCall> m_boxes;
    int m_answer = tv::shell::Msg::Yes;
    int m_closeAnswer = tv::shell::Msg::Cancel;
    QString m_dialogAnswer;
    QList<tv::shell::FileDialogCall> m_dialogs;
    QTemporaryDir m_dir;

    template <typename T> T *child(const char *name) { return m_ws->findChild<T *>(QLatin1String(name)); }
    tv::controls::PlayListBox *list(int side) { return child<tv::controls::PlayListBox>(side == 0 ? "lstPlayListA" : "lstPlayListB"); }
    QStringList entries(int side)
    {
        QStringList lines;
        for (int i = 0; i < list(side)->count(); ++i)
            lines << list(side)->item(i)->text();
        return lines;
    }
    void open(const MediumProfile &profile)
    {
        delete m_ws.data();
        m_ws = new Workspace(profile);
        m_ws->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_ws.data()));
    }
    // Six entries of 10, 20, ... 60 seconds on side A, with the total kept.
    void fillSix()
    {
        for (int i = 1; i <= 6; ++i)
            list(0)->addItem(QStringLiteral("/m/%1.mp3 (00:%2)").arg(i).arg(i * 10));
        m_ws->setProperty("dummy", 0);
    }
    void select(int side, const QList<int> &rows, int current)
    {
        list(side)->clearSelection();
        list(side)->setCurrentRow(current, QItemSelectionModel::NoUpdate);
        for (int r : rows)
            list(side)->item(r)->setSelected(true);
    }
    QString saveAs(const QString &name)
    {
        m_dialogAnswer = name;
        m_ws->mnuPlayListSave_Click();
        return m_boxes.isEmpty() ? QString() : m_boxes.last().text;
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(MediaFixtures::instance().ok(), qPrintable(MediaFixtures::instance().error()));
        tv::shell::setMsgBoxAnswerer([this](const tv::shell::MsgBoxCall &call) {
            m_boxes.append(call);
            if ((call.style & 0x0F) == tv::shell::Msg::YesNoCancel)
                return m_closeAnswer;
            return (call.style & 0x0F) == tv::shell::Msg::YesNo ? m_answer : int(tv::shell::Msg::Ok);
        });
        tv::shell::setFileDialogAnswerer([this](const tv::shell::FileDialogCall &call) {
            m_dialogs.append(call);
            return m_dialogAnswer;
        });
    }
    void init()
    {
        m_boxes.clear();
        m_dialogs.clear();
        m_answer = tv::shell::Msg::Yes;
        m_closeAnswer = tv::shell::Msg::Cancel;
        // Each test starts as a first run does: no folder remembered.
        QSettings(QStringLiteral("TapeVantrel"), QStringLiteral("TapeVantrel")).remove(QStringLiteral("Folders"));
        open(MediumProfile::cassette());
    }
    void cleanup() { delete m_ws.data(); }

    void move_atTheEndsOrWithSeveralSelected_changesNothing()
    {
        fillSix();
        const QStringList before = entries(0);
        select(0, {0}, 0);
        m_ws->cmdUp_Click(0);
        select(0, {5}, 5);
        m_ws->cmdDown_Click(0);
        select(0, {2, 3}, 3);
        m_ws->cmdUp_Click(0);
        list(0)->clearSelection();
        m_ws->cmdDown_Click(0);
        QCOMPARE(entries(0), before);
        QVERIFY(child<QPushButton>("cmdDummyFocus")->hasFocus() || !m_ws->isActiveWindow());
    }

    void move_upOnEntry3Of5_swapsAndKeepsTheSongSelected()
    {
        for (int i = 1; i <= 5; ++i)
            m_ws->subAddSong(MediaFixtures::instance().path(QStringLiteral("song-a.wav")));
        list(0)->item(2)->setText(QStringLiteral("/third.wav (00:01)"));
        const qint64 total = m_ws->intTimeA();
        select(0, {2}, 2);
        child<QPushButton>("cmdUpA")->click();
        QCOMPARE(list(0)->item(1)->text(), QStringLiteral("/third.wav (00:01)"));
        QCOMPARE(list(0)->currentRow(), 1);
        QCOMPARE(list(0)->selectedItems().size(), 1);
        QVERIFY(list(0)->item(1)->isSelected());
        QCOMPARE(m_ws->intTimeA(), total);
        child<QPushButton>("cmdDownA")->click();
        QCOMPARE(list(0)->item(2)->text(), QStringLiteral("/third.wav (00:01)"));
    }

    void delete_entries2And5Of6_dropsBothLengths()
    {
        m_ws->subAddSong(MediaFixtures::instance().path(QStringLiteral("tone10.wav"))); // a real total of 10 s to start from
        list(0)->clear();
        fillSix();
        // The total as the six entries add up: 210 s.
        m_ws->findChild<QLineEdit *>(QStringLiteral("txtOneSecondDelay"))->setText(QStringLiteral("0"));
        const qint64 start = m_ws->intTimeA();
        select(0, {1, 4}, 4);
        child<QPushButton>("cmdDeleteA")->click();
        QCOMPARE(entries(0), (QStringList{"/m/1.mp3 (00:10)", "/m/3.mp3 (00:30)", "/m/4.mp3 (00:40)", "/m/6.mp3 (00:60)"}));
        QCOMPARE(m_ws->intTimeA(), start - 20 - 50);
        QCOMPARE(list(0)->selectedItems().size(), 1); // a neighbour stays selected
        QCOMPARE(list(0)->currentRow(), 0);
    }

    void delete_anHourLongEntry_lowersTheTotalBy3725()
    {
        m_ws->subAddSong(MediaFixtures::instance().path(QStringLiteral("tone1.wav")));
        list(0)->addItem(QStringLiteral("/long.wav (1:02:05)"));
        select(0, {1}, 1);
        m_ws->mnuPlayListDelete_Click();
        QCOMPARE(m_ws->intTimeA(), 1 - 3725);
        QCOMPARE(entries(0).size(), 1);
    }

    void clear_noThenYes()
    {
        m_ws->subAddSong(MediaFixtures::instance().path(QStringLiteral("tone1.wav")));
        m_answer = tv::shell::Msg::No;
        m_ws->mnuPlayListClear_Click();
        QCOMPARE(m_boxes.last().text, QStringLiteral("Clear Tape Side A Playlist?"));
        QCOMPARE(m_boxes.last().title, QStringLiteral("Tape Vantrel"));
        QCOMPARE(entries(0).size(), 1);
        QCOMPARE(m_ws->intTimeA(), 1);
        m_answer = tv::shell::Msg::Yes;
        child<QRadioButton>("opt60")->click();
        m_ws->mnuPlayListClear_Click();
        QVERIFY(entries(0).isEmpty());
        QCOMPARE(m_ws->intTimeA(), 0);
        QCOMPARE(child<QLabel>("lblInfoA")->text(), QStringLiteral("[ Time Used: 00:00 ][ Available: 30:00 ]"));
        open(MediumProfile::miniDisc());
        m_ws->mnuPlayListClear_Click();
        QCOMPARE(m_boxes.last().text, QStringLiteral("Clear MiniDisc Playlist?"));
        QCOMPARE(m_boxes.last().title, QStringLiteral("MiniDisc Vantrel"));
    }

    void popup_enablingFollowsTheListAndTheRecording()
    {
        auto *menu = m_ws->findChild<QMenu *>(QStringLiteral("mnuPlayList"));
        const auto enabled = [this](const char *name) { return m_ws->findChild<QAction *>(QLatin1String(name))->isEnabled(); };
        m_ws->lstPlayList_MouseDown(0, Qt::RightButton, QPoint(5, 5));
        QTRY_VERIFY(menu->isVisible());
        QVERIFY(!enabled("mnuPlayListPlay") && !enabled("mnuPlayListDelete") && !enabled("mnuPlayListClear") && !enabled("mnuPlayListSave"));
        QVERIFY(enabled("mnuPlayListLoad"));
        menu->close();

        list(0)->addItem(QStringLiteral("/a.wav (00:01)"));
        select(0, {0}, 0);
        m_ws->blnRecordingB = true; // the other side records
        m_ws->lstPlayList_MouseDown(0, Qt::RightButton, QPoint(5, 5));
        QVERIFY(!enabled("mnuPlayListPlay") && !enabled("mnuPlayListDelete") && !enabled("mnuPlayListClear") && !enabled("mnuPlayListLoad"));
        QVERIFY(enabled("mnuPlayListSave"));
        menu->close();
        m_ws->blnRecordingB = false;
        m_ws->lstPlayList_MouseDown(1, Qt::RightButton, QPoint(5, 5)); // empty side B while A holds songs
        QVERIFY(!enabled("mnuPlayListSave"));
        menu->close();
    }

    void save_theNameRules_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("written");
        QTest::newRow("mylist") << "mylist" << "mylist.tpl";
        QTest::newRow("list.txt") << "list.txt" << "list.txt.tpl";
        QTest::newRow("MyList.TPL") << "MyList.TPL" << "MyList.TPL";
        QTest::newRow("Tape Mix") << "Tape Mix" << "Tape Mix.tpl";
    }
    void save_theNameRules()
    {
        QFETCH(QString, typed);
        QFETCH(QString, written);
        QCOMPARE(saveAs(m_dir.filePath(typed)), QStringLiteral("Save Playlist Completed!"));
        QCOMPARE(m_boxes.last().title, QStringLiteral("Save Tapeside A & B Playlist"));
        QCOMPARE(m_boxes.last().style, int(tv::shell::Msg::Information));
        QVERIFY(QFile::exists(m_dir.filePath(written)));
        QCOMPARE(m_dialogs.last().filter, QStringLiteral("PlayList (*.tpl);;All (*.*)"));
        QCOMPARE(m_dialogs.last().folder, QCoreApplication::applicationDirPath());
        QVERIFY(m_dialogs.last().save);
        QCOMPARE(saveAs(QStringLiteral("   ")), QStringLiteral("Save Playlist Cancelled!"));
    }

    void save_andLoad_roundTripsBothSides()
    {
        child<QRadioButton>("opt90")->click();
        child<QLineEdit>("txtOneSecondDelay")->setText(QStringLiteral("2"));
        m_ws->subAddSong(MediaFixtures::instance().path(QStringLiteral("tone3.wav")));
        m_ws->cmdTapeSide_Click();
        m_ws->subAddSong(MediaFixtures::instance().path(QStringLiteral("tone1.wav")));
        const QString file = m_dir.filePath(QStringLiteral("both.tpl"));
        saveAs(file);
        QFile saved(file);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), QByteArray("90\r\n000\r\n2\r\nplaylista\r\n 3 \r\n") + MediaFixtures::instance().path(QStringLiteral("tone3.wav")).toUtf8()
                                      + " (00:03)\r\nplaylistb\r\n 1 \r\n" + MediaFixtures::instance().path(QStringLiteral("tone1.wav")).toUtf8()
                                      + " (00:01)\r\nplaylistend\r\n");

        open(MediumProfile::cassette());
        m_dialogAnswer = file;
        m_ws->mnuPlayListLoad_Click();
        QCOMPARE(m_dialogs.last().title, QStringLiteral("Load Tapeside A & B Playlist"));
        QCOMPARE(entries(0).size(), 1);
        QCOMPARE(entries(1).size(), 1);
        QCOMPARE(m_ws->intTimeA(), 3);
        QCOMPARE(m_ws->intTimeB(), 1);
        QVERIFY(child<QRadioButton>("opt90")->isChecked());
        QCOMPARE(m_ws->intSideLength(), 2700);
        QCOMPARE(child<QLineEdit>("txtOneSecondDelay")->text(), QStringLiteral("2"));
        QCOMPARE(child<QLabel>("lblInfoA")->text(), QStringLiteral("[ Time Used: 00:03 ][ Available: 44:57 ]"));

        // No to the clear question: the file's songs and totals come on top.
        m_answer = tv::shell::Msg::No;
        m_ws->mnuPlayListLoad_Click();
        QCOMPARE(m_boxes.last().text, QStringLiteral("Clear Current A & B Playlist Before Loading?"));
        QCOMPARE(entries(0).size(), 2);
        QCOMPARE(m_ws->intTimeA(), 6);
        // Yes, then the dialog cancelled: the lists stay cleared.
        m_answer = tv::shell::Msg::Yes;
        m_dialogAnswer.clear();
        m_ws->mnuPlayListLoad_Click();
        QVERIFY(entries(0).isEmpty() && entries(1).isEmpty());
        QCOMPARE(m_ws->intTimeA(), 0);
    }

    void load_crossReadingAndDamagedFiles_data()
    {
        QTest::addColumn<bool>("miniDisc");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("entriesA");
        QTest::addColumn<int>("sideLength"); // -1: unchanged
        // The MiniDisc keeps the first playlist and says what it left out.
        QTest::newRow("cassette 120 into the minidisc") << true << QByteArray("120\r\n000\r\n0\r\nplaylista\r\n 5 \r\n/a.wav (00:05)\r\nplaylistb\r\n 7 \r\n/b.wav (00:07)\r\nplaylistend\r\n")
                                                        << "Side B's 1 song was not loaded: the MiniDisc has one playlist." << 1 << -1;
        QTest::newRow("seven on side B into the minidisc")
            << true
            << QByteArray("90\r\n000\r\n0\r\nplaylista\r\n 5 \r\n/a.wav (00:05)\r\nplaylistb\r\n 7 \r\n/1.wav (00:01)\r\n/2.wav (00:01)\r\n/3.wav (00:01)\r\n"
                          "/4.wav (00:01)\r\n/5.wav (00:01)\r\n/6.wav (00:01)\r\n/7.wav (00:01)\r\nplaylistend\r\n")
            << "Side B's 7 songs were not loaded: the MiniDisc has one playlist." << 1 << -1;
        QTest::newRow("minidisc 148 into the cassette") << false << QByteArray("148\r\n000\r\n0\r\nplaylista\r\n 5 \r\n/a.wav (00:05)\r\nplaylistend\r\n")
                                                        << QString() << 1 << -1;
        QTest::newRow("only side B into the minidisc") << true << QByteArray("90\r\n000\r\n0\r\nplaylistb\r\n 7 \r\n/b.wav (00:07)\r\nplaylistend\r\n")
                                                       << "Invalid or Empty Playlist!" << 0 << -1;
        QTest::newRow("custom 090") << false << QByteArray("00\r\n090\r\n0\r\nplaylistend\r\n") << "Invalid or Empty Playlist!" << 0 << 2700;
        QTest::newRow("no playlistend") << false << QByteArray("60\r\n000\r\n0\r\nplaylista\r\n 5 \r\n/a.wav (00:05)\r\n")
                                        << "Error Loading Playlist!\r\n62\r\nInput past end of file" << 1 << 1800;
        QTest::newRow("total not a number") << false << QByteArray("60\r\n000\r\n0\r\nplaylista\r\nlots\r\n/a.wav (00:05)\r\nplaylistend\r\n")
                                            << "Error Loading Playlist!\r\n13\r\n" << 0 << 1800;
        QTest::newRow("empty file") << false << QByteArray() << "Error Loading Playlist!\r\n62\r\n" << 0 << -1;
    }
    void load_crossReadingAndDamagedFiles()
    {
        QFETCH(bool, miniDisc);
        QFETCH(QByteArray, file);
        QFETCH(QString, message);
        QFETCH(int, entriesA);
        QFETCH(int, sideLength);
        if (miniDisc)
            open(MediumProfile::miniDisc());
        child<QRadioButton>(miniDisc ? "opt74" : "opt74")->click();
        const int before = m_ws->intSideLength();
        const QString path = m_dir.filePath(QStringLiteral("case.tpl"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(file);
        f.close();
        m_boxes.clear();
        m_ws->subLoadPlayList(path);
        if (message.isEmpty()) {
            QVERIFY(m_boxes.isEmpty());
        } else {
            QCOMPARE(m_boxes.size(), 1);
            QVERIFY2(m_boxes.first().text.startsWith(message), qPrintable(m_boxes.first().text));
            const bool leftOut = message.startsWith(QLatin1String("Side B"));
            QCOMPARE(m_boxes.first().style, int(leftOut ? tv::shell::Msg::Information : tv::shell::Msg::Exclamation));
            QCOMPARE(m_boxes.first().title, miniDisc ? QStringLiteral("Load MiniDisc Playlist") : QStringLiteral("Load Tapeside A & B Playlist"));
        }
        QCOMPARE(entries(0).size(), entriesA);
        QCOMPARE(m_ws->intSideLength(), sideLength < 0 ? before : sideLength);
    }

    void save_failingWrite_leavesTheOldFileIntact()
    {
        const QString file = m_dir.filePath(QStringLiteral("keep.tpl"));
        for (int i = 0; i < 20; ++i)
            list(0)->addItem(QStringLiteral("/a/long/path/song number %1.mp3 (00:01)").arg(i));
        QCOMPARE(saveAs(file), QStringLiteral("Save Playlist Completed!"));
        QFile before(file);
        QVERIFY(before.open(QIODevice::ReadOnly));
        const QByteArray original = before.readAll();
        before.close();
        // A disk that fills up during the write: the file size limit stops it.
        list(0)->addItem(QStringLiteral("/one/more.mp3 (00:01)"));
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit old{};
        getrlimit(RLIMIT_FSIZE, &old);
        rlimit small = old;
        small.rlim_cur = 200;
        setrlimit(RLIMIT_FSIZE, &small);
        const QString answer = saveAs(file);
        setrlimit(RLIMIT_FSIZE, &old);
        QVERIFY2(answer.startsWith(QStringLiteral("Error Saving Playlist!\r\n")), qPrintable(answer));
        QCOMPARE(m_boxes.last().style, int(tv::shell::Msg::Exclamation));
        QFile after(file);
        QVERIFY(after.open(QIODevice::ReadOnly));
        QCOMPARE(after.readAll(), original);
        QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files).filter(QStringLiteral("keep")).size(), 1); // no half-written file left
    }

    // A writable playlist in a folder the program cannot write to (no room
    // for a file beside it) is replaced in place; a short write there is
    // still reported.
    void save_inAFolderThatCannotBeWritten_replacesTheWritableFile()
    {
        QTemporaryDir folder;
        const QString file = folder.filePath(QStringLiteral("locked.tpl"));
        list(0)->addItem(QStringLiteral("/a.wav (00:01)"));
        QCOMPARE(saveAs(file), QStringLiteral("Save Playlist Completed!"));
        list(0)->addItem(QStringLiteral("/b.wav (00:02)"));
        m_ws->subTapeA_TimeCalc();
        QVERIFY(QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::ExeOwner));
        {
            const WithoutPermissionOverride asUser; // as root, too, the folder's mode counts
            QVERIFY2(!QFile(folder.filePath(QStringLiteral("probe"))).open(QIODevice::WriteOnly), "the folder is still writable");
            QCOMPARE(saveAs(file), QStringLiteral("Save Playlist Completed!"));
            QFile saved(file);
            QVERIFY(saved.open(QIODevice::ReadOnly));
            QVERIFY2(saved.readAll().contains("/b.wav (00:02)\r\nplaylistend\r\n"), "the file was not replaced");
            QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList{QStringLiteral("locked.tpl")});

            // A disk that fills up during the write, in place.
            for (int i = 0; i < 20; ++i)
                list(0)->addItem(QStringLiteral("/a/long/path/song number %1.mp3 (00:01)").arg(i));
            std::signal(SIGXFSZ, SIG_IGN);
            rlimit old{};
            getrlimit(RLIMIT_FSIZE, &old);
            rlimit small = old;
            small.rlim_cur = 200;
            setrlimit(RLIMIT_FSIZE, &small);
            const QString answer = saveAs(file);
            setrlimit(RLIMIT_FSIZE, &old);
            QVERIFY2(answer.startsWith(QStringLiteral("Error Saving Playlist!\r\n")), qPrintable(answer));
        }
        QVERIFY(QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        // A folder that cannot be written and no file there yet: nothing to replace, an error.
        QVERIFY(QFile::remove(file));
        QVERIFY(QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::ExeOwner));
        {
            const WithoutPermissionOverride asUser;
            const QString answer = saveAs(file);
            QVERIFY2(answer.startsWith(QStringLiteral("Error Saving Playlist!\r\n75\r\n")), qPrintable(answer));
        }
        QVERIFY(QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    }

    // Closing asks only when songs would be lost; each answer does what it says.
    void close_withUnsavedPlaylists_asksFirst_data()
    {
        QTest::addColumn<QString>("before"); // what the user did before closing
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("fileName"); // the Save dialog's answer
        QTest::addColumn<bool>("asked");
        QTest::addColumn<bool>("closed");
        QTest::addColumn<bool>("written");
        using M = tv::shell::Msg::Answer;
        QTest::newRow("Yes saves, then closes") << "add" << int(M::Yes) << "kept.tpl" << true << true << true;
        QTest::newRow("Yes, Save dialog cancelled: stays") << "add" << int(M::Yes) << "" << true << false << false;
        QTest::newRow("No discards") << "add" << int(M::No) << "" << true << true << false;
        QTest::newRow("Cancel keeps the window") << "add" << int(M::Cancel) << "" << true << false << false;
        QTest::newRow("saved, nothing since") << "add save" << int(M::Cancel) << "" << false << true << false;
        QTest::newRow("saved, then moved a song") << "add save move" << int(M::Cancel) << "" << true << false << false;
        QTest::newRow("saved, then the delay changed") << "add save delay" << int(M::Cancel) << "" << true << false << false;
        QTest::newRow("loaded, nothing since") << "add save load" << int(M::Cancel) << "" << false << true << false;
        QTest::newRow("nothing added") << "" << int(M::Cancel) << "" << false << true << false;
        QTest::newRow("added, then cleared") << "add clear" << int(M::Cancel) << "" << false << true << false;
    }
    void close_withUnsavedPlaylists_asksFirst()
    {
        QFETCH(QString, before);
        QFETCH(int, answer);
        QFETCH(QString, fileName);
        QFETCH(bool, asked);
        QFETCH(bool, closed);
        QFETCH(bool, written);
        const QStringList steps = before.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        const QString early = m_dir.filePath(QStringLiteral("early.tpl"));
        QFile::remove(early);
        for (const QString &step : steps) {
            if (step == QLatin1String("add")) {
                m_ws->subAddSong(MediaFixtures::instance().path(QStringLiteral("tone3.wav")));
                m_ws->subAddSong(MediaFixtures::instance().path(QStringLiteral("tone1.wav")));
            } else if (step == QLatin1String("save")) {
                saveAs(early);
            } else if (step == QLatin1String("move")) {
                select(0, {1}, 1);
                m_ws->cmdUp_Click(0);
            } else if (step == QLatin1String("delay")) {
                child<QLineEdit>("txtOneSecondDelay")->setText(QStringLiteral("4"));
            } else if (step == QLatin1String("load")) {
                open(MediumProfile::cassette());
                m_ws->subLoadPlayList(early);
            } else if (step == QLatin1String("clear")) {
                m_answer = tv::shell::Msg::Yes;
                m_ws->mnuPlayListClear_Click();
            }
        }
        const QStringList listed = entries(0);
        const QString target = fileName.isEmpty() ? QString() : m_dir.filePath(fileName);
        if (!target.isEmpty())
            QFile::remove(target);
        m_dialogAnswer = target;
        m_boxes.clear();
        m_dialogs.clear();
        m_closeAnswer = answer;

        QCOMPARE(m_ws->close(), closed);
        const bool wasAsked = !m_boxes.isEmpty() && m_boxes.first().text == QLatin1String("Save the playlists?");
        QCOMPARE(wasAsked, asked);
        if (asked) {
            QCOMPARE(m_boxes.first().style, int(tv::shell::Msg::YesNoCancel | tv::shell::Msg::Question));
            QCOMPARE(m_boxes.first().title, m_ws->profile().messageTitle);
        }
        QCOMPARE(m_dialogs.size(), answer == tv::shell::Msg::Yes && asked ? 1 : 0);
        if (!target.isEmpty())
            QCOMPARE(QFile::exists(target), written);
        if (!closed)
            QCOMPARE(entries(0), listed); // nothing of the user's is gone
    }

    // The dialogs and the browser open where the user last was, also after
    // the program starts again; a folder that is gone falls back.
    void folders_rememberedAcrossStarts()
    {
        QTemporaryDir music;
        const QString saveFolder = QDir(music.path()).filePath(QStringLiteral("saved"));
        const QString loadFolder = QDir(music.path()).filePath(QStringLiteral("loaded"));
        const QString browsed = QDir(music.path()).filePath(QStringLiteral("albums"));
        for (const QString &folder : {saveFolder, loadFolder, browsed})
            QVERIFY(QDir().mkpath(folder));

        m_ws->subAddSong(MediaFixtures::instance().path(QStringLiteral("tone1.wav")));
        saveAs(saveFolder + QStringLiteral("/one.tpl"));
        m_answer = tv::shell::Msg::No;
        m_dialogAnswer = saveFolder + QStringLiteral("/one.tpl");
        QFile::copy(saveFolder + QStringLiteral("/one.tpl"), loadFolder + QStringLiteral("/two.tpl"));
        m_dialogAnswer = loadFolder + QStringLiteral("/two.tpl");
        m_ws->mnuPlayListLoad_Click();
        QString error;
        QVERIFY(m_ws->findChild<tv::controls::FolderListBox *>(QStringLiteral("Dir1"))->setPath(browsed, error));
        m_closeAnswer = tv::shell::Msg::No; // the songs loaded on top were never saved together
        QVERIFY(m_ws->close());
        QCOMPARE(m_boxes.last().text, QStringLiteral("Save the playlists?"));

        // The settings file holds them, as the next start reads it.
        QFile conf(qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/TapeVantrel/TapeVantrel.conf"));
        QVERIFY(conf.open(QIODevice::ReadOnly));
        const QByteArray stored = conf.readAll();
        QVERIFY2(stored.contains("[Folders]") && stored.contains(QFile::encodeName(browsed)), stored.constData());

        open(MediumProfile::miniDisc());
        QCOMPARE(m_ws->findChild<tv::controls::FolderListBox *>(QStringLiteral("Dir1"))->path(), browsed);
        m_dialogs.clear();
        m_dialogAnswer.clear();
        m_ws->mnuPlayListSave_Click();
        m_ws->mnuPlayListLoad_Click();
        QCOMPARE(m_dialogs.size(), 2);
        QCOMPARE(m_dialogs.at(0).folder, saveFolder);
        QCOMPARE(m_dialogs.at(1).folder, loadFolder);

        // Gone: back to the first-run places.
        QVERIFY(QDir(music.path()).removeRecursively());
        open(MediumProfile::cassette());
        QCOMPARE(m_ws->findChild<tv::controls::FolderListBox *>(QStringLiteral("Dir1"))->path(), QDir::currentPath());
        m_dialogs.clear();
        m_ws->mnuPlayListSave_Click();
        QVERIFY(m_dialogs.at(0).folder != saveFolder);
        QVERIFY(QFileInfo(m_dialogs.at(0).folder).isDir());
    }

    void commandLine_playlistFile_isLoaded()
    {
        const QString path = m_dir.filePath(QStringLiteral("cmd.tpl"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("110\r\n000\r\n1\r\nplaylista\r\n 5 \r\n/a.wav (00:05)\r\nplaylistend\r\n");
        f.close();
        delete m_ws.data();
        Workspace::setCommandLine(path);
        open(MediumProfile::cassette());
        QTRY_COMPARE(entries(0).size(), 1);
        QVERIFY(child<QRadioButton>("opt110")->isChecked());
        Workspace::setCommandLine(QString());
    }
};

QTEST_MAIN(PlaylistEditingTest)
#include "tst_playlist_editing.moc"
