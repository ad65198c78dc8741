#include "Launcher.h"

#include <QCoreApplication>
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

void openDocument(const QString &path, std::function<void()> failed)
{
    if (starter()) {
        if (!starter()({{}, {}, path}))
            failed();
        return;
    }
    const QString launcher = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (launcher.isEmpty()) {
        failed();
        return;
    }
    // xdg-open ends once the viewer has the document (or at once when it
    // finds none); a viewer it keeps in the foreground just keeps it running.
    auto *process = new QProcess(QCoreApplication::instance());
    process->setProgram(launcher);
    process->setArguments({QUrl::fromLocalFile(path).toString()});
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    QObject::connect(process, &QProcess::finished, process, [process, failed](int code, QProcess::ExitStatus status) {
        if (status != QProcess::NormalExit || code != 0)
            failed();
        process->deleteLater();
    });
    QObject::connect(process, &QProcess::errorOccurred, process, [process, failed](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart)
            return; // a crash also ends in finished()
        failed();
        process->deleteLater();
    });
    process->start();
}

} // namespace tv::shell
