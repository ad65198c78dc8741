#include "ReportFile.h"

#include "ExactFiles.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QWidget>

namespace tv::deckui {

bool writeReport(const QString &path, const QString &text, QString *error)
{
    tv::core::ReplacingFile file(path);
    if (!file.open() || file.file().write(text.toUtf8()) < 0 || !file.commit()) {
        if (error)
            *error = file.errorString().isEmpty() ? file.file().errorString() : file.errorString();
        file.discard();
        return false;
    }
    return true;
}

void askAndSaveReport(QWidget *parent, const QString &suggestedName, const QString &text)
{
    const QString path = QFileDialog::getSaveFileName(parent, QStringLiteral("Save Report"), suggestedName, QStringLiteral("Text files (*.txt)"));
    if (path.isEmpty())
        return;
    QString error;
    if (!writeReport(path, text, &error))
        QMessageBox::warning(parent, parent->windowTitle(), QStringLiteral("The report could not be saved: %1").arg(error));
}

} // namespace tv::deckui
