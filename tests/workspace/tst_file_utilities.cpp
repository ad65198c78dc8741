// The file list's File Utilities: copy, paste and delete song files, on
// real folders. The program's home, data and cache folders are private to
// this test, so the trash it fills is its own.
#include "FileListBox.h"
#include "FolderListBox.h"
#include "MediumProfile.h"
#include "MessageBox.h"
#include "NameBytes.h"
#include "Workspace.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <dirent.h>
#include <unistd.h>
#include <memory>

#include <csignal>
#include <sys/resource.h>

using tv::workspace::MediumProfile;
using tv::workspace::Workspace;

namespace {

// Set before the application starts: every folder the program could write
// to lies inside one private temporary folder.
QTemporaryDir *privateHome()
{
    static QTemporaryDir home;
    return &home;
}

// A file-size limit for this process, lifted again at the end of the scope:
// a write past it fails with "File too large", as a full disk fails a write.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN); // the write fails instead of ending the process
        getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit limited = m_old;
        limited.rlim_cur = bytes;
        m_ok = setrlimit(RLIMIT_FSIZE, &limited) == 0;
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &m_old); }
    bool ok() const { return m_ok; }

private:
    rlimit m_old{};
    bool m_ok = false;
};

} // namespace

class FileUtilitiesTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<Workspace> m_ws;
    std::unique_ptr<QTemporaryDir> m_root;
    QList<tv::shell::MsgBoxCall> m_boxes;
    QList<bool> m_busyAtBox; // whether the busy pointer showed when each box came
    QList<int> m_answers;    // answers to the Yes/No questions, in order

    template <typename T> T *child(const char *name) { return m_ws->findChild<T *>(QLatin1String(name)); }
    tv::controls::FileListBox *files() { return child<tv::controls::FileListBox>("File1"); }
    // An item of the file list's popup, as a right click leaves it enabled.
    QAction *action(const char *name)
    {
        m_ws->File1_MouseDown(Qt::RightButton, QPoint(10, 10));
        child<QMenu>("mnuPlayFile")->hide();
        return child<QAction>(name);
    }
    QString folder(const QString &name)
    {
        const QString path = m_root->filePath(name);
        QDir().mkpath(path);
        return path;
    }
    static void write(const QString &path, const QByteArray &bytes)
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(bytes), bytes.size());
    }
    static QByteArray read(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    void browse(const QString &path)
    {
        QString error;
        QVERIFY2(child<tv::controls::FolderListBox>("Dir1")->setPath(path, error), qPrintable(error));
    }
    // Selects the files as Ctrl-clicks do: the last one clicked is current.
    void select(const QStringList &names)
    {
        files()->clearSelection();
        for (const QString &name : names) {
            const auto found = files()->findItems(name, Qt::MatchExactly);
            QVERIFY2(!found.isEmpty(), qPrintable(name));
            files()->setCurrentItem(found.first(), QItemSelectionModel::Select);
        }
    }
    // A current file, but none selected (a Ctrl-click took the selection off).
    void selectNothing()
    {
        files()->setCurrentRow(0, QItemSelectionModel::NoUpdate);
        files()->clearSelection();
    }
    QStringList listed()
    {
        QStringList names;
        for (int i = 0; i < files()->count(); ++i)
            names << files()->item(i)->text();
        return names;
    }
    static QStringList entries(const QString &path) { return QDir(path).entryList(QDir::Files | QDir::Hidden, QDir::Name); }
    // a.mp3, b.mp3, c.mp3, d.mp3 in folder "from", each with its own bytes.
    QString songs()
    {
        const QString from = folder(QStringLiteral("from"));
        for (const char *name : {"a.mp3", "b.mp3", "c.mp3", "d.mp3"})
            write(from + QLatin1Char('/') + QLatin1String(name), QByteArray("song ") + name);
        return from;
    }

private slots:
    void initTestCase()
    {
        tv::shell::setMsgBoxAnswerer([this](const tv::shell::MsgBoxCall &call) {
            m_boxes.append(call);
            m_busyAtBox.append(QGuiApplication::overrideCursor() != nullptr);
            if ((call.style & 0x0F) == tv::shell::Msg::YesNo)
                return m_answers.isEmpty() ? int(tv::shell::Msg::No) : m_answers.takeFirst();
            return int(tv::shell::Msg::Ok);
        });
    }
    void init()
    {
        m_boxes.clear();
        m_busyAtBox.clear();
        m_answers.clear();
        m_root = std::make_unique<QTemporaryDir>(privateHome()->filePath(QStringLiteral("music-XXXXXX")));
        m_ws = std::make_unique<Workspace>(MediumProfile::cassette());
    }
    void cleanup()
    {
        m_ws.reset();
        m_root.reset();
    }

    void menu_pasteAndDelete_startDisabled()
    {
        QVERIFY(!child<QAction>("mnuPasteFile")->isEnabled());
        QVERIFY(!child<QAction>("mnuDelete")->isEnabled());
        QCOMPARE(action("mnuCopyFile")->text(), QStringLiteral("Copy File"));
        QCOMPARE(action("mnuPasteFile")->text(), QStringLiteral("Paste File"));
        QCOMPARE(action("mnuDelete")->text(), QStringLiteral("Delete File"));
    }

    void copyThree_pasteElsewhere_threeFilesAppear()
    {
        const QString from = songs();
        browse(from);
        select({QStringLiteral("a.mp3"), QStringLiteral("b.mp3"), QStringLiteral("d.mp3")});
        action("mnuCopyFile")->trigger();
        QVERIFY(action("mnuPasteFile")->isEnabled());
        const QString to = folder(QStringLiteral("to"));
        browse(to);
        QVERIFY(listed().isEmpty());
        action("mnuPasteFile")->trigger();
        QVERIFY(m_boxes.isEmpty());
        QCOMPARE(entries(to), (QStringList{"a.mp3", "b.mp3", "d.mp3"}));
        for (const char *name : {"a.mp3", "b.mp3", "d.mp3"})
            QCOMPARE(read(to + QLatin1Char('/') + QLatin1String(name)), QByteArray("song ") + name);
        QCOMPARE(listed(), (QStringList{"a.mp3", "b.mp3", "d.mp3"})); // the list shows them
        QVERIFY(!action("mnuPasteFile")->isEnabled());
        QVERIFY(!QGuiApplication::overrideCursor());
        QCOMPARE(entries(from).size(), 4); // a copy: the originals stay
    }

    void copyNothingSelected_enablesPaste_pasteCopiesNothing()
    {
        browse(songs());
        selectNothing();
        action("mnuCopyFile")->trigger();
        QVERIFY(action("mnuPasteFile")->isEnabled());
        const QString to = folder(QStringLiteral("to"));
        browse(to);
        action("mnuPasteFile")->trigger();
        QVERIFY(entries(to).isEmpty());
        QVERIFY(!action("mnuPasteFile")->isEnabled());
        QVERIFY(m_boxes.isEmpty());
    }

    void pasteIntoTheSameFolder_oneErrorPerFile_nothingChanges()
    {
        const QString from = songs();
        browse(from);
        select({QStringLiteral("b.mp3"), QStringLiteral("c.mp3")});
        action("mnuCopyFile")->trigger();
        action("mnuPasteFile")->trigger();
        QCOMPARE(m_boxes.size(), 2);
        for (const auto &box : m_boxes) {
            QVERIFY2(box.text.startsWith(QLatin1String("File Copy Error:")) && box.text.size() > 16 && box.text.at(16) != QLatin1Char(' '),
                     qPrintable(box.text));
            QCOMPARE(box.style, int(tv::shell::Msg::Exclamation));
            QCOMPARE(box.title, QStringLiteral("The Tape Vantrel"));
        }
        QCOMPARE(entries(from), (QStringList{"a.mp3", "b.mp3", "c.mp3", "d.mp3"}));
        QCOMPARE(read(from + QStringLiteral("/b.mp3")), QByteArray("song b.mp3"));
        QCOMPARE(m_busyAtBox, (QList<bool>{false, false})); // the normal pointer shows from the first error on
        QVERIFY(!QGuiApplication::overrideCursor());
    }

    void paste_replacesAnExistingFile_withoutAQuestion()
    {
        const QString from = songs();
        const QString to = folder(QStringLiteral("to"));
        write(to + QStringLiteral("/a.mp3"), "an older a");
        browse(from);
        select({QStringLiteral("a.mp3")});
        action("mnuCopyFile")->trigger();
        browse(to);
        action("mnuPasteFile")->trigger();
        QVERIFY(m_boxes.isEmpty());
        QCOMPARE(read(to + QStringLiteral("/a.mp3")), QByteArray("song a.mp3"));
        QCOMPARE(entries(to), QStringList{"a.mp3"}); // no temporary file left beside it
    }

    void paste_aVanishedSource_oneError_theRestCopied()
    {
        const QString from = songs();
        browse(from);
        select({QStringLiteral("a.mp3"), QStringLiteral("b.mp3"), QStringLiteral("c.mp3")});
        action("mnuCopyFile")->trigger();
        QVERIFY(QFile::remove(from + QStringLiteral("/b.mp3")));
        const QString to = folder(QStringLiteral("to"));
        browse(to);
        action("mnuPasteFile")->trigger();
        QCOMPARE(m_boxes.size(), 1);
        QCOMPARE(m_boxes.first().text, QStringLiteral("File Copy Error:No such file or directory"));
        QCOMPARE(entries(to), (QStringList{"a.mp3", "c.mp3"}));
        QVERIFY(!action("mnuPasteFile")->isEnabled());
    }

    void paste_ontoAFullFileSystem_leavesTheOldTargetIntact()
    {
        const QString from = folder(QStringLiteral("from"));
        const QByteArray big(3 << 20, 'x');
        write(from + QStringLiteral("/big.wav"), big);
        write(from + QStringLiteral("/small.mp3"), "a small song");
        const QString to = folder(QStringLiteral("to"));
        write(to + QStringLiteral("/big.wav"), "the old big.wav, still wanted");
        browse(from);
        select({QStringLiteral("big.wav"), QStringLiteral("small.mp3")});
        action("mnuCopyFile")->trigger();
        browse(to);
        {
            FileSizeLimit limit(1 << 20); // no file of this process grows past 1 MiB
            QVERIFY(limit.ok());
            action("mnuPasteFile")->trigger();
        }
        QCOMPARE(m_boxes.size(), 1);
        QCOMPARE(m_boxes.first().text, QStringLiteral("File Copy Error:File too large"));
        QCOMPARE(read(to + QStringLiteral("/big.wav")), QByteArray("the old big.wav, still wanted"));
        QCOMPARE(read(to + QStringLiteral("/small.mp3")), QByteArray("a small song")); // the rest still copied
        QCOMPARE(entries(to), (QStringList{"big.wav", "small.mp3"}));                 // no half-written file
        QCOMPARE(m_busyAtBox, QList<bool>{false});
    }

    void delete_noThenYes_onlyTheSecondGoesToTheTrash_data()
    {
        QTest::addColumn<bool>("miniDisc");
        QTest::addColumn<QString>("title");
        QTest::newRow("cassette") << false << "The Tape Vantrel";
        QTest::newRow("minidisc") << true << "The MiniDisc Vantrel";
    }
    void delete_noThenYes_onlyTheSecondGoesToTheTrash()
    {
        QFETCH(bool, miniDisc);
        QFETCH(QString, title);
        if (miniDisc)
            m_ws = std::make_unique<Workspace>(MediumProfile::miniDisc());
        const QString from = songs();
        browse(from);
        select({QStringLiteral("b.mp3"), QStringLiteral("c.mp3")});
        m_answers = {tv::shell::Msg::No, tv::shell::Msg::Yes};
        action("mnuDelete")->trigger();
        QCOMPARE(m_boxes.size(), 2);
        QCOMPARE(m_boxes[0].text, QStringLiteral("Delete: b.mp3 ?"));
        QCOMPARE(m_boxes[1].text, QStringLiteral("Delete: c.mp3 ?"));
        for (const auto &box : m_boxes) {
            QCOMPARE(box.style, int(tv::shell::Msg::YesNo)); // no icon
            QCOMPARE(box.title, title);
        }
        QCOMPARE(entries(from), (QStringList{"a.mp3", "b.mp3", "d.mp3"}));
        QCOMPARE(listed(), (QStringList{"a.mp3", "b.mp3", "d.mp3"}));
        // In the trash, where a file manager can put it back.
        const QString trash = qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/Trash");
        QCOMPARE(read(trash + QStringLiteral("/files/c.mp3")), QByteArray("song c.mp3"));
        const QByteArray info = read(trash + QStringLiteral("/info/c.mp3.trashinfo"));
        QVERIFY2(info.contains("Path=" + QFile::encodeName(from + QStringLiteral("/c.mp3"))), info.constData());
        QFile::remove(trash + QStringLiteral("/files/c.mp3"));
        QFile::remove(trash + QStringLiteral("/info/c.mp3.trashinfo"));
    }

    // A name that is not UTF-8 (an old Latin-1 rip) is copied, pasted and
    // deleted as exactly that file; a neighbour whose name has "?" in its
    // place, which Qt's own spelling of the name would reach, stays as it was.
    void fileUtilities_aLatin1Name_actOnExactlyThatFile()
    {
        const QString from = folder(QStringLiteral("from"));
        const QString to = folder(QStringLiteral("to"));
        const QByteArray latin1 = QFile::encodeName(from) + "/caf\xe9.mp3";
        const QByteArray neighbour = QFile::encodeName(from) + "/caf?.mp3";
        const auto writeBytes = [](const QByteArray &path, const QByteArray &bytes) {
            FILE *f = std::fopen(path.constData(), "wb");
            QVERIFY(f);
            std::fwrite(bytes.constData(), 1, size_t(bytes.size()), f);
            std::fclose(f);
        };
        const auto readBytes = [](const QByteArray &path) {
            QByteArray bytes;
            if (FILE *f = std::fopen(path.constData(), "rb")) {
                char buffer[256];
                for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;)
                    bytes.append(buffer, qsizetype(n));
                std::fclose(f);
            } else {
                bytes = "<missing>";
            }
            return bytes;
        };
        writeBytes(latin1, "the Latin-1 song");
        writeBytes(neighbour, "the neighbour");
        browse(from);
        const QString name = tv::core::fileNameFromBytes("caf\xe9.mp3");
        select({name});
        action("mnuCopyFile")->trigger();
        browse(to);
        action("mnuPasteFile")->trigger();
        QVERIFY2(m_boxes.isEmpty(), m_boxes.isEmpty() ? "" : qPrintable(m_boxes.first().text));
        QCOMPARE(readBytes(QFile::encodeName(to) + "/caf\xe9.mp3"), QByteArray("the Latin-1 song"));
        QCOMPARE(readBytes(QFile::encodeName(to) + "/caf?.mp3"), QByteArray("<missing>"));
        // Pasted again over the copy: replaced in place, nothing beside it.
        browse(from);
        select({name});
        action("mnuCopyFile")->trigger();
        browse(to);
        action("mnuPasteFile")->trigger();
        QVERIFY2(m_boxes.isEmpty(), m_boxes.isEmpty() ? "" : qPrintable(m_boxes.first().text));
        int inTo = 0; // counted by the system's own listing: Qt's drops a name it cannot spell
        if (DIR *d = ::opendir(QFile::encodeName(to).constData())) {
            while (const dirent *e = ::readdir(d))
                inTo += e->d_name[0] != '.';
            ::closedir(d);
        }
        QCOMPARE(inTo, 1);
        QCOMPARE(readBytes(QFile::encodeName(to) + "/caf\xe9.mp3"), QByteArray("the Latin-1 song"));

        browse(from);
        select({name});
        m_answers = {tv::shell::Msg::Yes};
        action("mnuDelete")->trigger();
        QCOMPARE(m_boxes.size(), 1); // the question, and no error
        QCOMPARE(readBytes(latin1), QByteArray("<missing>"));
        QCOMPARE(readBytes(neighbour), QByteArray("the neighbour"));
        // In the trash by its bytes, with the record that puts it back.
        const QByteArray trash = QFile::encodeName(qEnvironmentVariable("XDG_DATA_HOME")) + "/Trash";
        QCOMPARE(readBytes(trash + "/files/caf\xe9.mp3"), QByteArray("the Latin-1 song"));
        const QByteArray info = readBytes(trash + "/info/caf\xe9.mp3.trashinfo");
        QVERIFY2(info.contains("Path=" + QFile::encodeName(from).toPercentEncoding("/") + "/caf%E9.mp3"), info.constData());
        ::unlink((trash + "/files/caf\xe9.mp3").constData());
        ::unlink((trash + "/info/caf\xe9.mp3.trashinfo").constData());
    }

    void delete_whereThereIsNoTrash_deletesTheFile()
    {
        // A data folder that cannot exist (its parent is a file): no trash.
        const QString from = songs();
        const QByteArray dataHome = qgetenv("XDG_DATA_HOME");
        write(m_root->filePath(QStringLiteral("plain-file")), "x");
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_root->filePath(QStringLiteral("plain-file/share"))));
        browse(from);
        select({QStringLiteral("a.mp3")});
        m_answers = {tv::shell::Msg::Yes};
        action("mnuDelete")->trigger();
        qputenv("XDG_DATA_HOME", dataHome);
        QCOMPARE(m_boxes.size(), 1); // the question only
        QCOMPARE(entries(from), (QStringList{"b.mp3", "c.mp3", "d.mp3"}));
        // Deleted, not moved somewhere else (Qt 6.4 would move it into the
        // working folder's "files").
        QVERIFY(!QFileInfo::exists(QDir::currentPath() + QStringLiteral("/files/a.mp3")));
    }

    void delete_aVanishedFile_reportsIt_andGoesOn()
    {
        const QString from = songs();
        browse(from);
        select({QStringLiteral("a.mp3"), QStringLiteral("b.mp3")});
        QVERIFY(QFile::remove(from + QStringLiteral("/a.mp3")));
        m_answers = {tv::shell::Msg::Yes, tv::shell::Msg::Yes};
        action("mnuDelete")->trigger();
        QCOMPARE(m_boxes.size(), 3);
        QCOMPARE(m_boxes[1].text, QStringLiteral("File Delete Error:No such file or directory"));
        QCOMPARE(m_boxes[1].style, int(tv::shell::Msg::Exclamation));
        QCOMPARE(m_boxes[2].text, QStringLiteral("Delete: b.mp3 ?"));
        QCOMPARE(entries(from), (QStringList{"c.mp3", "d.mp3"}));
    }

    void copyList_survivesAFolderChange_andAFailedPasteNeedsANewCopy()
    {
        const QString from = songs();
        browse(from);
        select({QStringLiteral("a.mp3")});
        action("mnuCopyFile")->trigger();
        const QString to = folder(QStringLiteral("to"));
        browse(to);
        action("mnuPasteFile")->trigger();
        QVERIFY(!action("mnuPasteFile")->isEnabled()); // the list is held, but a paste needs a new copy
        browse(from);
        selectNothing();
        action("mnuCopyFile")->trigger();
        const QString other = folder(QStringLiteral("other"));
        browse(other);
        action("mnuPasteFile")->trigger();
        QVERIFY(entries(other).isEmpty()); // the new, empty copy list replaced the old one
    }
};

int main(int argc, char **argv)
{
    // Private folders for everything the program or Qt could write, the
    // trash included, before anything reads them.
    QTemporaryDir *home = privateHome();
    if (!home->isValid())
        return 1;
    qputenv("HOME", QFile::encodeName(home->path()));
    qputenv("XDG_DATA_HOME", QFile::encodeName(home->filePath(QStringLiteral("share"))));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home->filePath(QStringLiteral("config"))));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(home->filePath(QStringLiteral("cache"))));
    QApplication app(argc, argv);
    FileUtilitiesTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_file_utilities.moc"
