#include "Launcher.h"

#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace tv::shell {

namespace {
Starter &starter()
{
    static Starter s;
    return s;
}
} // namespace

void setStarter(Starter s)
{
    starter() = std::move(s);
}

QString findProgram(const QStringList &candidates)
{
    for (const QString &name : candidates) {
        const QString found = QStandardPaths::findExecutable(name);
        if (!found.isEmpty())
            return found;
    }
    return {};
}

bool startProgram(const QString &program, const QStringList &arguments)
{
    if (starter())
        return starter()({program, arguments, {}});
    return QProcess::startDetached(program, arguments);
}

bool openDocument(const QString &path)
{
    if (starter())
        return starter()({{}, {}, path});
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

} // namespace tv::shell
