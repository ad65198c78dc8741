// Saving and loading a playlist file with 10,000 entries on each side,
// through the workspace as the menu does it.
#include "FileDialogs.h"
#include "MediumProfile.h"
#include "MessageBox.h"
#include "PlayListBox.h"
#include "Workspace.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("big.tpl"));
    tv::shell::setMsgBoxAnswerer([](const tv::shell::MsgBoxCall &) { return int(tv::shell::Msg::Yes); });
    tv::shell::setFileDialogAnswerer([&file](const tv::shell::FileDialogCall &) { return file; });

    tv::workspace::Workspace tape(tv::workspace::MediumProfile::cassette());
    for (const char *name : {"lstPlayListA", "lstPlayListB"}) {
        auto *list = tape.findChild<tv::controls::PlayListBox *>(QLatin1String(name));
        QStringList entries;
        for (int i = 0; i < 10000; ++i)
            entries << QStringLiteral("/home/user/Music/Artist %1/Album/%2 - A Song Title.mp3 (03:%3)").arg(i % 97).arg(i).arg(i % 60, 2, 10, QLatin1Char('0'));
        list->addItems(entries);
    }
    QElapsedTimer clock;
    clock.start();
    tape.mnuPlayListSave_Click();
    const double saveMs = clock.nsecsElapsed() / 1e6;

    tv::workspace::Workspace fresh(tv::workspace::MediumProfile::cassette());
    clock.restart();
    fresh.subLoadPlayList(file);
    const double loadMs = clock.nsecsElapsed() / 1e6;
    const int loaded = fresh.findChild<tv::controls::PlayListBox *>(QStringLiteral("lstPlayListA"))->count()
                       + fresh.findChild<tv::controls::PlayListBox *>(QStringLiteral("lstPlayListB"))->count();
    std::printf("playlist file of 2 x 10,000 entries (%.1f MB): save %.1f ms, load %.1f ms (%d entries back; target: each under 100 ms)\n",
                QFileInfo(file).size() / 1e6, saveMs, loadMs, loaded);
    return loaded == 20000 ? 0 : 1;
}
