// Adding many songs: measured off the UI thread, in the order given, with a
// progress dialog and Cancel while the window keeps painting; names that
// are not UTF-8; and the one 9:06:07 policy for adding and for loading.
#include "AddingProgress.h"
#include "FileListBox.h"
#include "FileName.h"
#include "Fixtures.h"
#include "FolderListBox.h"
#include "MediumProfile.h"
#include "MessageBox.h"
#include "PlayListBox.h"
#include "Workspace.h"

#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <fcntl.h>
#include <unistd.h>

#include <memory>

using tv::test::MediaFixtures;
using tv::workspace::AddingProgress;
using tv::workspace::MediumProfile;
using tv::workspace::Workspace;

namespace {

// A WAV of `seconds` of 8 kHz 8-bit mono silence: small, and exact.
QByteArray smallWav(int seconds)
{
    const quint32 data = 8000u * quint32(seconds);
    QByteArray wav(44, '\0');
    memcpy(wav.data(), "RIFF", 4);
    qToLittleEndian(quint32(36 + data), wav.data() + 4);
    memcpy(wav.data() + 8, "WAVEfmt ", 8);
    qToLittleEndian(quint32(16), wav.data() + 16);
    qToLittleEndian(quint16(1), wav.data() + 20);
    qToLittleEndian(quint16(1), wav.data() + 22);
    qToLittleEndian(quint32(8000), wav.data() + 24);
    qToLittleEndian(quint32(8000), wav.data() + 28);
    qToLittleEndian(quint16(1), wav.data() + 32);
    qToLittleEndian(quint16(8), wav.data() + 34);
    memcpy(wav.data() + 36, "data", 4);
    qToLittleEndian(data, wav.data() + 40);
    return wav + QByteArray(int(data), char(0x80));
}

// Counts what happens to the window while songs are added.
class AddingWatcher : public QObject
{
public:
    AddingWatcher(tv::controls::PlayListBox *list) : m_list(list) {}
    int paintsWhileAdding = 0; // paints of the playlist with some songs in and more to come
    int dialogShows = 0;
    int expected = 0;
    bool cancelWhenShown = false;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && watched == m_list->viewport() && m_list->count() > 0 && m_list->count() < expected)
            ++paintsWhileAdding;
        if (event->type() == QEvent::Show && watched->objectName() == QLatin1String("AddingProgress")) {
            ++dialogShows;
            // Cancel is pressed as a user presses it, once the dialog is up.
            if (cancelWhenShown) {
                auto *button = watched->findChild<QPushButton *>();
                QTimer::singleShot(0, button, [button] { QTest::mouseClick(button, Qt::LeftButton); });
            }
        }
        return false;
    }

private:
    tv::controls::PlayListBox *m_list;
};

} // namespace

class AddingSongsTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<Workspace> m_ws;
    QList<tv::shell::MsgBoxCall> m_boxes;
    QTemporaryDir m_folder;

    template <typename T> T *child(const char *name) { return m_ws->findChild<T *>(QLatin1String(name)); }
    QStringList entries()
    {
        QStringList lines;
        auto *box = child<tv::controls::PlayListBox>("lstPlayListA");
        for (int i = 0; i < box->count(); ++i)
            lines << box->item(i)->text();
        return lines;
    }
    void browse(const QString &folder)
    {
        QString error;
        QVERIFY2(child<tv::controls::FolderListBox>("Dir1")->setPath(folder, error), qPrintable(error));
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY2(MediaFixtures::instance().ok(), qPrintable(MediaFixtures::instance().error()));
        // 200 songs of 1 to 3 s, named so that the list sorts them by number.
        for (int i = 0; i < 200; ++i) {
            QFile file(m_folder.filePath(QStringLiteral("song%1.wav").arg(i, 3, 10, QLatin1Char('0'))));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(smallWav(1 + i % 3));
        }
    }
    void init()
    {
        m_boxes.clear();
        tv::shell::setMsgBoxAnswerer([this](const tv::shell::MsgBoxCall &call) {
            m_boxes.append(call);
            return int(tv::shell::Msg::Ok);
        });
        m_ws = std::make_unique<Workspace>(MediumProfile::miniDisc());
        m_ws->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_ws.get()));
        QTest::mouseClick(child<QRadioButton>("opt148"), Qt::LeftButton);
    }
    void cleanup()
    {
        m_ws.reset();
        tv::shell::setMsgBoxAnswerer({});
        AddingProgress::setDialogDelayMs(500);
    }

    void twoHundredFiles_showProgress_andTheWindowRepaints()
    {
        // The dialog's half second, shortened so that it shows on any machine.
        AddingProgress::setDialogDelayMs(0);
        browse(m_folder.path());
        auto *files = child<tv::controls::FileListBox>("File1");
        QCOMPARE(files->count(), 200);
        files->selectAll();
        AddingWatcher watcher(child<tv::controls::PlayListBox>("lstPlayListA"));
        watcher.expected = 200;
        qApp->installEventFilter(&watcher);
        m_ws->File1_DblClick();
        qApp->removeEventFilter(&watcher);

        QCOMPARE(watcher.dialogShows, 1);
        QVERIFY2(watcher.paintsWhileAdding > 0, "the playlist never repainted while songs were being added");
        QVERIFY(!m_ws->findChild<QProgressDialog *>());
        const QStringList lines = entries();
        QCOMPARE(lines.size(), 200);
        qint64 total = 0;
        for (int i = 0; i < 200; ++i) {
            const int seconds = 1 + i % 3;
            QCOMPARE(lines.at(i), files->fullPath(QStringLiteral("song%1.wav").arg(i, 3, 10, QLatin1Char('0'))) + QStringLiteral(" (00:0%1)").arg(seconds));
            total += seconds;
        }
        QCOMPARE(m_ws->intTimeA(), total);
        QVERIFY(m_boxes.isEmpty());
    }

    void cancel_keepsTheSongsAddedSoFar()
    {
        AddingProgress::setDialogDelayMs(0);
        browse(m_folder.path());
        auto *files = child<tv::controls::FileListBox>("File1");
        files->selectAll();
        AddingWatcher watcher(child<tv::controls::PlayListBox>("lstPlayListA"));
        watcher.cancelWhenShown = true;
        qApp->installEventFilter(&watcher);
        m_ws->File1_DblClick();
        qApp->removeEventFilter(&watcher);

        QCOMPARE(watcher.dialogShows, 1);
        const QStringList lines = entries();
        QVERIFY2(lines.size() < 200, qPrintable(QString::number(lines.size())));
        qint64 total = 0;
        for (int i = 0; i < lines.size(); ++i) {
            QVERIFY(lines.at(i).startsWith(files->fullPath(QStringLiteral("song%1.wav").arg(i, 3, 10, QLatin1Char('0')))));
            total += 1 + i % 3;
        }
        QCOMPARE(m_ws->intTimeA(), total);
    }

    void oneSong_quickly_showsNoDialog()
    {
        AddingWatcher watcher(child<tv::controls::PlayListBox>("lstPlayListA"));
        qApp->installEventFilter(&watcher);
        m_ws->subAddSong(m_folder.filePath(QStringLiteral("song001.wav")));
        qApp->removeEventFilter(&watcher);
        QCOMPARE(watcher.dialogShows, 0);
        QCOMPARE(entries(), QStringList{m_folder.filePath(QStringLiteral("song001.wav")) + QStringLiteral(" (00:02)")});
    }

    void drop_keepsItsOrder_andSkipsWhatCannotBeMeasured()
    {
        const QString bad = MediaFixtures::instance().write(QStringLiteral("noise.mp3"), tv::test::noise(30000, 9));
        const QString a = m_folder.filePath(QStringLiteral("song002.wav"));
        const QString b = m_folder.filePath(QStringLiteral("song000.wav"));
        m_ws->lstPlayList_OLEDragDrop({a, bad, b, a});
        QCOMPARE(entries(), (QStringList{a + " (00:03)", b + " (00:01)", a + " (00:03)"}));
        QCOMPARE(m_ws->intTimeA(), 7);
        QCOMPARE(m_boxes.size(), 1);
        QVERIFY(m_boxes.first().text.contains(bad));
    }

    // A name of Latin-1 bytes, once "does not exist": listed, added and
    // measured by its bytes.
    void nonUtf8Name_isListedAndAdded()
    {
        QTemporaryDir folder;
        const QByteArray bytes = QFile::encodeName(folder.path()) + "/can\xE7\xE3o.wav";
        const QByteArray wav = smallWav(2);
        const int fd = ::open(bytes.constData(), O_CREAT | O_WRONLY, 0644);
        QVERIFY(fd >= 0);
        QCOMPARE(::write(fd, wav.constData(), size_t(wav.size())), ssize_t(wav.size()));
        ::close(fd);
        browse(folder.path());
        auto *files = child<tv::controls::FileListBox>("File1");
        QCOMPARE(files->count(), 1);
        files->item(0)->setSelected(true);
        m_ws->File1_DblClick();
        QVERIFY2(m_boxes.isEmpty(), qPrintable(m_boxes.isEmpty() ? QString() : m_boxes.first().text));
        QCOMPARE(entries().size(), 1);
        const QString path = entries().first().chopped(QStringLiteral(" (00:02)").size());
        QCOMPARE(tv::media::fileNameBytes(path), bytes);
        QCOMPARE(m_ws->intTimeA(), 2);
    }

    // Adding refuses a song that would take a total past 9:06:07; loading
    // refuses a section that would, as an overflow, keeping what came before.
    void playlistTotalsBeyondTheLimit_areRefusedAsWhenAdding_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<qint64>("totalBefore");
        QTest::addColumn<int>("entriesAfter");
        QTest::addColumn<qint64>("totalAfter");
        QTest::newRow("total of 40000") << QByteArray("148\r\n000\r\n0\r\nplaylista\r\n 40000 \r\n/a.mp3 (11:06:40)\r\nplaylistend\r\n") << qint64(0) << 0 << qint64(0);
        QTest::newRow("total near the 64-bit limit") << QByteArray("148\r\n000\r\n0\r\nplaylista\r\n 9223372036854775807 \r\n/a.mp3 (00:01)\r\nplaylistend\r\n")
                                                << qint64(2) << 1 << qint64(2);
        QTest::newRow("fits alone, not with the songs there") << QByteArray("148\r\n000\r\n0\r\nplaylista\r\n 32767 \r\n/a.mp3 (9:06:07)\r\nplaylistend\r\n")
                                                         << qint64(2) << 1 << qint64(2);
    }
    void playlistTotalsBeyondTheLimit_areRefusedAsWhenAdding()
    {
        QFETCH(QByteArray, file);
        QFETCH(qint64, totalBefore);
        QFETCH(int, entriesAfter);
        QFETCH(qint64, totalAfter);
        if (totalBefore > 0)
            m_ws->subAddSong(m_folder.filePath(QStringLiteral("song001.wav")));
        QCOMPARE(m_ws->intTimeA(), totalBefore);
        const QString path = MediaFixtures::instance().write(QStringLiteral("over.tpl"), file);
        QVERIFY(!m_ws->subLoadPlayList(path));
        QCOMPARE(entries().size(), entriesAfter);
        QCOMPARE(m_ws->intTimeA(), totalAfter);
        QCOMPARE(m_boxes.size(), 1);
        QVERIFY2(m_boxes.first().text.startsWith(QLatin1String("Error Loading Playlist!\r\n6\r\nOverflow")), qPrintable(m_boxes.first().text));
    }
};

QTEST_MAIN(AddingSongsTest)
#include "tst_adding_songs.moc"
