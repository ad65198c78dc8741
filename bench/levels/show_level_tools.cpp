// show_level_tools NAME FOLDER: shows one of the cassette workspace's level
// tools as a user sees it, for bench/screenshots-levels.sh. The workspace's
// Side A holds the sound files of FOLDER (in name order). NAME is
//   menu     the playlist popup menu, opened by a right click on an entry
//   tooltip  an entry's loudness tool tip (tool tips turned on, the entry hovered)
//   tone     the calibration tone's window
//   check    the level check's window
//   render   the progress window of Render Side to File (to side.flac beside FOLDER)
// Prints "ready" on standard output once what is to be photographed is on
// screen, then runs until it is ended.
#include "FileDialogs.h"
#include "Forms.h"
#include "PlayListBox.h"
#include "Workspace.h"
#include "WorkspaceForms.h"
#include "WorkspaceLevels.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QRadioButton>
#include <QTimer>
#include <cstdio>
#include <functional>

namespace {

void ready()
{
    std::printf("ready\n");
    std::fflush(stdout);
}

// Calls done once test() holds, looking every 50 ms.
void when(QObject *context, std::function<bool()> test, std::function<void()> done)
{
    auto *poll = new QTimer(context);
    poll->setInterval(50);
    QObject::connect(poll, &QTimer::timeout, context, [poll, test = std::move(test), done = std::move(done)] {
        if (!test())
            return;
        poll->stop();
        poll->deleteLater();
        done();
    });
    poll->start();
}

// The centre of the entry's line in the list's viewport.
QPoint entryCentre(tv::controls::PlayListBox *list, int row)
{
    return list->visualItemRect(list->item(row)).center();
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("TapeVantrel"));
    QApplication::setOrganizationName(QStringLiteral("TapeVantrel"));
    if (argc < 3) {
        std::fprintf(stderr, "usage: show_level_tools menu|tooltip|tone|check|render FOLDER\n");
        return 2;
    }
    const QString name = QString::fromLocal8Bit(argv[1]);
    const QDir folder(QString::fromLocal8Bit(argv[2]));
    tv::workspace::registerWorkspaceForms();
    auto *ws = tv::shell::Forms::get<tv::workspace::Workspace>(QStringLiteral("MP3DragDrop"));
    ws->show();
    ws->findChild<QRadioButton *>(QStringLiteral("opt120"))->click(); // 60 minutes a side
    const QStringList songs = folder.entryList({QStringLiteral("*.flac"), QStringLiteral("*.mp3"), QStringLiteral("*.wav")}, QDir::Files,
                                               QDir::Name);
    for (const QString &song : songs)
        ws->subAddSong(folder.filePath(song));
    auto *list = ws->findChild<tv::controls::PlayListBox *>(QStringLiteral("lstPlayListA"));
    const auto action = [ws](const char *objectName) { return ws->findChild<QAction *>(QLatin1String(objectName)); };
    if (!list || list->count() == 0) {
        std::fprintf(stderr, "no songs in %s\n", argv[2]);
        return 1;
    }
    const int row = std::min(1, list->count() - 1);

    // After the window is up and placed by the window manager.
    QTimer::singleShot(800, ws, [&] {
        if (name == QLatin1String("menu")) {
            action("mnuLoudnessToolTips")->setChecked(true); // a check item as a user who turned it on sees it
            list->setCurrentRow(row);
            const QPoint at = entryCentre(list, row);
            QMouseEvent press(QEvent::MouseButtonPress, at, list->viewport()->mapToGlobal(at), Qt::RightButton, Qt::RightButton,
                              Qt::NoModifier);
            QApplication::sendEvent(list->viewport(), &press);
            QTimer::singleShot(300, ws, ready);
        } else if (name == QLatin1String("tooltip")) {
            action("mnuLoudnessToolTips")->setChecked(true);
            when(ws, [&] { return !list->item(row)->toolTip().isEmpty(); },
                 [&] {
                     const QPoint at = entryCentre(list, row);
                     QHelpEvent hover(QEvent::ToolTip, at, list->viewport()->mapToGlobal(at));
                     QApplication::sendEvent(list->viewport(), &hover);
                     QTimer::singleShot(300, ws, ready);
                 });
        } else if (name == QLatin1String("tone") || name == QLatin1String("check")) {
            QTimer::singleShot(500, ws, ready); // the window shows while its tool starts
            if (name == QLatin1String("tone"))
                ws->levels()->mnuCalibrationTone_Click();
            else
                ws->levels()->mnuLevelCheck_Click();
        } else if (name == QLatin1String("render")) {
            const QString file = QFileInfo(folder.absolutePath()).dir().filePath(QStringLiteral("side.flac"));
            tv::shell::setFileDialogAnswerer([file](const tv::shell::FileDialogCall &) { return file; });
            when(ws,
                 [] {
                     const QWidget *progress = nullptr;
                     for (QWidget *w : QApplication::topLevelWidgets()) {
                         if (w->objectName() == QLatin1String("frmLevelProgress") && w->isVisible())
                             progress = w;
                     }
                     return progress != nullptr;
                 },
                 [ws] { QTimer::singleShot(300, ws, ready); });
            ws->levels()->mnuRenderSide_Click(); // runs its own loop until the side is written
        } else {
            std::fprintf(stderr, "unknown tool %s\n", qPrintable(name));
            QApplication::exit(2);
        }
    });
    const int status = app.exec();
    tv::shell::Forms::destroyAll();
    return status;
}
