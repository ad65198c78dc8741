#include "FileDialogs.h"

#include <QFileDialog>

namespace tv::shell {

namespace {
FileDialogAnswerer &answerer()
{
    static FileDialogAnswerer a;
    return a;
}
} // namespace

void setFileDialogAnswerer(FileDialogAnswerer a)
{
    answerer() = std::move(a);
}

QString askFileName(QWidget *parent, const FileDialogCall &call)
{
    if (answerer())
        return answerer()(call);
    if (call.save)
        return QFileDialog::getSaveFileName(parent, call.title, call.folder, call.filter);
    return QFileDialog::getOpenFileName(parent, call.title, call.folder, call.filter);
}

} // namespace tv::shell
