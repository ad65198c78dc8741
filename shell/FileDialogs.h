#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace tv::shell {

// The common file dialogs. Tests install an answerer that returns the name a
// user would have chosen (an empty text: the user cancelled).
struct FileDialogCall
{
    bool save = false;
    QString title;
    QString folder;
    QString filter;
};
using FileDialogAnswerer = std::function<QString(const FileDialogCall &)>;

QString askFileName(QWidget *parent, const FileDialogCall &call);
void setFileDialogAnswerer(FileDialogAnswerer answerer);

} // namespace tv::shell
