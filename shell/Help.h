#pragma once

#include <QObject>
#include <QString>

namespace tv::shell {

// The program's help: an HTML guide among the run-time files (ProgramFolders.h), opened with the
// desktop's viewer by F1 anywhere in the program and by the About box.
QString helpFilePath();
// Opens the help; where it is missing, says so in a message box.
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
