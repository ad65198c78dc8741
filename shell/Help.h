#pragma once

#include <QObject>
#include <QString>

namespace tv::shell {

// The program's help: an HTML guide among the run-time files
// (ProgramFolders.h), opened by F1 anywhere in the program and by the About box.
QString helpFilePath();
// Opens the help in the desktop's browser, or in the program's own help
// window where no browser can be started; where it is missing, says so.
void showHelp(QWidget *parent);

// Installed on the application: F1 in any window opens the help.
class HelpKeyFilter : public QObject
{
public:
    using QObject::QObject;
protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

} // namespace tv::shell
