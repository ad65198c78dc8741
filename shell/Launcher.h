#pragma once

#include <QString>
#include <QStringList>
#include <functional>

namespace tv::shell {

// Starting other programs (the volume mixer, the system-information program)
// and opening documents (the help). Tests replace the starter to see what
// would have been started.
struct LaunchRequest
{
    QString program;    // a program to start, or empty
    QStringList arguments;
    QString document;   // a document to open with the desktop's viewer, or empty
};
using Starter = std::function<bool(const LaunchRequest &)>;

// The first of the candidate programs found on the PATH, or an empty text.
QString findProgram(const QStringList &candidates);
// Starts the program without waiting for it; false when it could not be started.
bool startProgram(const QString &program, const QStringList &arguments = {});
// Opens the document with the desktop's viewer (xdg-open) without waiting
// for it. When that cannot be done (no launcher, or the launcher ends with a
// failure such as "no method available"), failed runs, later, on this
// thread; judged by the launcher's exit status, not by its having started.
void openDocument(const QString &path, std::function<void()> failed);
void setStarter(Starter starter); // an empty one restores the real starter

} // namespace tv::shell
