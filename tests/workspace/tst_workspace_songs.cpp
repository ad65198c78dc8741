// Adding songs to the workspaces: by subAddSong, by double click with
// several files selected, by a drop; CD tracks; the shown side; and the
// drive browser's popup and fall-back.
#include "DriveListBox.h"
#include "FileListBox.h"
#include "Fixtures.h"
#include "FolderListBox.h"
#include "MediumProfile.h"
#include "MessageBox.h"
#include "PlayListBox.h"
#include "Workspace.h"
#include "cd/CdTrackFolder.h"

#include <QAction>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <QtEndian>
#include <memory>

using tv::test::MediaFixtures;
using tv::workspace::MediumProfile;
using tv::workspace::Side;
using tv::workspace::Workspace;

class WorkspaceSongsTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<Workspace> m_ws;
    QList<tv::shell::MsgBoxCall> m_boxes;

    template <typename T> T *child(const char *name) { return m_ws->findChild<T *>(QLatin1String(name)); }
    QString fx(const char *name) { return MediaFixtures::instance().path(QLatin1String(name)); }
    QStringList entries(const char *list)
    {
        QStringList lines;
        auto *box = child<tv::controls::PlayListBox>(list);
        for (int i = 0; i < box->count(); ++i)
            lines << box->item(i)->text();
        return lines;
    }
    void open(const MediumProfile &profile)
    {
        m_ws = std::make_unique<Workspace>(profile);
        m_ws->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_ws.get()));
    }
    void browse(const QString &folder)
    {
        QString error;
        QVERIFY2(child<tv::controls::FolderListBox>("Dir1")->setPath(folder, error), qPrintable(error));
    }
    QRect fileRect(const QString &name)
    {
        auto *files = child<tv::controls::FileListBox>("File1");
        const auto found = files->findItems(name, Qt::MatchExactly);
        return found.isEmpty() ? QRect() : files->visualItemRect(found.first());
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(MediaFixtures::instance().ok(), qPrintable(MediaFixtures::instance().error()));
    }
    void init()
    {
        m_boxes.clear();
        tv::shell::setMsgBoxAnswerer([this](const tv::shell::MsgBoxCall &call) {
            m_boxes.append(call);
            return int(tv::shell::Msg::Ok);
        });
        open(MediumProfile::cassette());
        QTest::mouseClick(child<QRadioButton>("opt90"), Qt::LeftButton);
    }
    void cleanup()
    {
        m_ws.reset();
        tv::shell::setMsgBoxAnswerer({});
    }

    void subAddSong_path_appendsEntryAndTotal()
    {
        m_ws->subAddSong(fx("tone3.wav"));
        m_ws->subAddSong(fx("cbr-info.mp3"));
        QCOMPARE(entries("lstPlayListA"), (QStringList{fx("tone3.wav") + " (00:03)", fx("cbr-info.mp3") + " (00:10)"}));
        QCOMPARE(m_ws->intTimeA(), 13);
        QCOMPARE(child<QLabel>("lblInfoA")->text(), QStringLiteral("[ Time Used: 00:13 ][ Available: 44:47 ]"));
        QVERIFY(m_boxes.isEmpty());
    }

    void subAddSong_sameSongTwice_countsTwice()
    {
        m_ws->subAddSong(fx("tone1.wav"));
        m_ws->subAddSong(fx("tone1.wav"));
        QCOMPARE(entries("lstPlayListA").size(), 2);
        QCOMPARE(entries("lstPlayListA").at(0), entries("lstPlayListA").at(1));
        QCOMPARE(m_ws->intTimeA(), 2);
    }

    void doubleClick_withSeveralSelected_addsThemInListOrder()
    {
        browse(MediaFixtures::instance().path(QString()));
        auto *files = child<tv::controls::FileListBox>("File1");
        QVERIFY(files->count() > 5);
        // Ctrl-click three files, the last of them by a double click.
        QTest::mouseClick(files->viewport(), Qt::LeftButton, Qt::ControlModifier, fileRect(QStringLiteral("tone3.wav")).center());
        QTest::mouseClick(files->viewport(), Qt::LeftButton, Qt::ControlModifier, fileRect(QStringLiteral("tone1.wav")).center());
        QTest::mouseClick(files->viewport(), Qt::LeftButton, Qt::ControlModifier, fileRect(QStringLiteral("tone3.au")).center());
        QCOMPARE(files->selectedItems().size(), 3);
        QTest::mouseDClick(files->viewport(), Qt::LeftButton, Qt::ControlModifier, fileRect(QStringLiteral("tone3.au")).center());
        const QStringList added = entries("lstPlayListA");
        QCOMPARE(added, (QStringList{fx("tone1.wav") + " (00:01)", fx("tone3.au") + " (00:03)", fx("tone3.wav") + " (00:03)"}));
        QCOMPARE(m_ws->intTimeA(), 7);
    }

    void doubleClick_nothingSelected_addsNothing()
    {
        browse(MediaFixtures::instance().path(QString()));
        child<tv::controls::FileListBox>("File1")->clearSelection();
        m_ws->File1_DblClick();
        QVERIFY(entries("lstPlayListA").isEmpty());
    }

    void drop_files_areAddedWithBackslashesFolded()
    {
        auto *list = child<tv::controls::PlayListBox>("lstPlayListA");
        auto *data = new QMimeData;
        data->setUrls({QUrl::fromLocalFile(fx("tone1.wav")), QUrl::fromLocalFile(fx("tone3.aiff"))});
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(list->viewport(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(list->viewport(), &drop);
        QCOMPARE(entries("lstPlayListA"), (QStringList{fx("tone1.wav") + " (00:01)", fx("tone3.aiff") + " (00:03)"}));

        // A name holding a doubled backslash is folded to one before it is measured.
        const QString odd = MediaFixtures::instance().path(QStringLiteral("a\\b.wav"));
        QVERIFY(QFile::copy(fx("tone1.wav"), odd));
        m_ws->lstPlayList_OLEDragDrop({MediaFixtures::instance().path(QStringLiteral("a\\\\b.wav"))});
        QCOMPARE(entries("lstPlayListA").last(), odd + " (00:01)");
        delete data;
    }

    void drop_withoutFiles_doesNothing()
    {
        auto *list = child<tv::controls::PlayListBox>("lstPlayListA");
        QMimeData text;
        text.setText(QStringLiteral("just words"));
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(list->viewport(), &drop);
        QVERIFY(entries("lstPlayListA").isEmpty());
        QVERIFY(m_boxes.isEmpty());
    }

    void shownSide_decidesTheTarget()
    {
        auto *sideA = child<QGroupBox>("frmTapeSideA");
        auto *sideB = child<QGroupBox>("frmTapeSideB");
        QCOMPARE(m_ws->shownSide(), Side::A);
        // Side B in view at left 300, Side A parked at 6500.
        const QPoint a = sideA->pos(), b = sideB->pos();
        sideA->move(b);
        sideB->move(a);
        sideA->hide();
        sideB->show();
        QCOMPARE(m_ws->shownSide(), Side::B);
        m_ws->subAddSong(fx("tone1.wav"));
        QCOMPARE(entries("lstPlayListB").size(), 1);
        QCOMPARE(m_ws->intTimeB(), 1);
        // Both playlists hidden: the side last on display still takes the song.
        sideB->hide();
        QCOMPARE(m_ws->shownSide(), Side::B);
        m_ws->subAddSong(fx("tone1.wav"));
        QCOMPARE(entries("lstPlayListB").size(), 2);
        QCOMPARE(entries("lstPlayListA").size(), 0);
    }

    void cdTrack_isMeasuredThroughTheCdDevice()
    {
        QString error;
        const QString folder = tv::media::CdTrackFolder::materialise(fx("disc.cue"), error);
        QVERIFY2(!folder.isEmpty(), qPrintable(error));
        m_ws->subAddSong(folder + QStringLiteral("/Track02.cda"));
        QCOMPARE(entries("lstPlayListA"), QStringList{folder + QStringLiteral("/Track02.cda (00:03)")});
        QVERIFY(m_boxes.isEmpty());
    }

    void cdTrack_thatCannotBeMeasured_isAddedWithZero()
    {
        QString error;
        const QString folder = tv::media::CdTrackFolder::materialise(fx("disc.cue"), error);
        m_ws->subAddSong(folder + QStringLiteral("/Track09.cda")); // no such track on the disc
        QCOMPARE(m_boxes.size(), 1);
        QCOMPARE(m_boxes.first().title, QStringLiteral("The Tape Vantrel"));
        QVERIFY2(m_boxes.first().text.contains(QLatin1String("Track 9")), qPrintable(m_boxes.first().text));
        QCOMPARE(entries("lstPlayListA"), QStringList{folder + QStringLiteral("/Track09.cda (00:00)")});
        QCOMPARE(m_ws->intTimeA(), 0);
    }

    void upperCaseCda_isMeasuredByTheMediaPlayer()
    {
        const QString path = MediaFixtures::instance().path(QStringLiteral("TRACK05.CDA"));
        QFile::remove(path);
        QVERIFY(QFile::copy(fx("tone3.wav"), path));
        m_ws->subAddSong(path);
        QCOMPARE(entries("lstPlayListA"), QStringList{path + QStringLiteral(" (00:03)")});
    }

    void overFullSide_stillTakesSongs()
    {
        QTest::mouseClick(child<QRadioButton>("OptUSR"), Qt::LeftButton); // custom 000: no room at all
        m_ws->subAddSong(fx("tone1.wav"));
        m_ws->subAddSong(fx("tone1.wav"));
        QCOMPARE(entries("lstPlayListA").size(), 2);
        QCOMPARE(child<QLabel>("lblRecordSideA")->text(), QStringLiteral("  WARNING: Tape Side A Time Exceeded!"));
        QCOMPARE(child<QLabel>("lblInfoA")->text(), QStringLiteral("[ Time Used: 00:02 ][ Available: -00:02 ]"));
    }

    void unmeasurableFile_isNotAdded_andSaysWhy()
    {
        const QString bad = MediaFixtures::instance().write(QStringLiteral("noise.mp3"), tv::test::noise(30000, 9));
        m_ws->subAddSong(bad);
        QVERIFY(entries("lstPlayListA").isEmpty());
        QCOMPARE(m_boxes.size(), 1);
        QVERIFY(m_boxes.first().text.contains(bad));
    }

    void totalBeyondTheLimit_isRefusedWithAMessage()
    {
        // A WAV of 8.9 hours (8-bit mono at 8 kHz), sparse on disk: one such
        // song fits, a second would pass 9:06:07.
        QByteArray header(44, '\0');
        const quint32 data = 8000u * 32000u;
        memcpy(header.data(), "RIFF", 4);
        qToLittleEndian(quint32(36 + data), header.data() + 4);
        memcpy(header.data() + 8, "WAVEfmt ", 8);
        qToLittleEndian(quint32(16), header.data() + 16);
        qToLittleEndian(quint16(1), header.data() + 20);
        qToLittleEndian(quint16(1), header.data() + 22);
        qToLittleEndian(quint32(8000), header.data() + 24);
        qToLittleEndian(quint32(8000), header.data() + 28);
        qToLittleEndian(quint16(1), header.data() + 32);
        qToLittleEndian(quint16(8), header.data() + 34);
        memcpy(header.data() + 36, "data", 4);
        qToLittleEndian(data, header.data() + 40);
        const QString path = MediaFixtures::instance().write(QStringLiteral("long.wav"), header);
        QFile file(path);
        QVERIFY(file.resize(44 + data));
        m_ws->subAddSong(fx("tone1.wav"));
        m_ws->subAddSong(path);
        QCOMPARE(m_ws->intTimeA(), 1 + 32000);
        QCOMPARE(entries("lstPlayListA").last(), path + QStringLiteral(" (8:53:20)"));
        m_ws->subAddSong(path);
        QCOMPARE(entries("lstPlayListA").size(), 2);
        QCOMPARE(m_boxes.size(), 1);
        QVERIFY(m_boxes.first().text.contains(QLatin1String("9:06:07")));
        QVERIFY(m_boxes.first().text.contains(path));
        file.remove();
    }

    void filePopup_onEmptyList_disablesItsItems()
    {
        QTemporaryDir empty;
        browse(empty.path());
        m_ws->File1_MouseDown(Qt::RightButton, QPoint(10, 10));
        auto *menu = m_ws->findChild<QMenu *>(QStringLiteral("mnuPlayFile"));
        QTRY_VERIFY(menu->isVisible());
        for (const char *name : {"mnuPlay", "mnuAdd", "mnuCopyFile", "mnuDelete", "mnuPasteFile"})
            QVERIFY2(!m_ws->findChild<QAction *>(QLatin1String(name))->isEnabled(), name);
        QVERIFY(m_ws->findChild<QAction *>(QStringLiteral("mnuRefresh"))->isEnabled());
        menu->close();

        browse(MediaFixtures::instance().path(QString()));
        child<tv::controls::FileListBox>("File1")->setCurrentRow(0);
        m_ws->File1_MouseDown(Qt::RightButton, QPoint(10, 10));
        QTRY_VERIFY(menu->isVisible());
        QVERIFY(m_ws->findChild<QAction *>(QStringLiteral("mnuAdd"))->isEnabled());
        QVERIFY(!m_ws->findChild<QAction *>(QStringLiteral("mnuPasteFile"))->isEnabled());
        menu->close();
    }

    void driveThatCannotBeOpened_fallsBackToThePreviousOne()
    {
        auto *drives = child<tv::controls::DriveListBox>("Drive1");
        auto *folders = child<tv::controls::FolderListBox>("Dir1");
        const QString before = drives->drive();
        const QString folderBefore = folders->path();
        drives->addDrive(QStringLiteral("Gone"), QStringLiteral("/no/such/drive"));
        drives->setCurrentIndex(drives->count() - 1);
        QCOMPARE(m_boxes.size(), 1);
        QVERIFY2(m_boxes.first().text.startsWith(QLatin1String("Error: ")), qPrintable(m_boxes.first().text));
        QCOMPARE(m_boxes.first().style, int(tv::shell::Msg::Exclamation));
        QCOMPARE(m_boxes.first().title, tv::shell::kApplicationTitle);
        QCOMPARE(drives->drive(), before);
        QCOMPARE(folders->path(), folderBefore);
    }

    void miniDisc_alwaysAddsToItsOnePlaylist()
    {
        open(MediumProfile::miniDisc());
        QVERIFY(!child<tv::controls::PlayListBox>("lstPlayListB"));
        m_ws->subAddSong(fx("tone3.flac"));
        QCOMPARE(entries("lstPlayListA"), QStringList{fx("tone3.flac") + " (00:03)"});
    }
};

QTEST_MAIN(WorkspaceSongsTest)
#include "tst_workspace_songs.moc"
