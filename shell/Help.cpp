#include "Help.h"

#include "HelpWindow.h"
#include "Launcher.h"
#include "MessageBox.h"
#include "ProgramFolders.h"

#include <QFileInfo>
#include <QKeyEvent>
#include <QWidget>

namespace tv::shell {

QString helpFilePath()
{
    const QString folder = runtimeFolder(QStringLiteral("TapeVantrel-Help.html"));
    return folder + (folder.endsWith(QLatin1Char('/')) ? QString() : QStringLiteral("/")) + QStringLiteral("TapeVantrel-Help.html");
}

void showHelp(QWidget *parent)
{
    const QString path = helpFilePath();
    if (!QFileInfo::exists(path)) {
        msgBox(parent, QStringLiteral("The help file \"%1\" is missing.").arg(path), Msg::Exclamation);
        return;
    }
    // The desktop's browser where one opens it, else our own window.
    openDocument(path, [path] { frmHelp::showGuide(path); });
}

bool HelpKeyFilter::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_F1 && !static_cast<QKeyEvent *>(event)->isAutoRepeat()) {
        if (auto *widget = qobject_cast<QWidget *>(watched)) {
            showHelp(widget->window());
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace tv::shell
