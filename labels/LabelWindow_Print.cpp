// Printing the label and setting up the printer.
#include "LabelWindow.h"

#include "CommonDialogs.h"
#include "LabelPrinting.h"
#include "MessageBox.h"

#include <QApplication>
#include <QPrinter>

namespace tv::labels {

QPrinter *LabelWindow::printer()
{
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return m_printer.get();
}

void LabelWindow::setPrintControlsVisible(bool visible)
{
    for (QWidget *control : m_printControls)
        control->setVisible(visible);
}

void LabelWindow::cmdPrintSetup_Click()
{
    tv::shell::askPrinter(this, { tv::shell::PrinterDialogKind::PageSetup, m_profile.dialogTitle, printer() });
}

void LabelWindow::cmdPrint_Click()
{
    using namespace tv::shell;
    if (!askPrinter(this, { PrinterDialogKind::Print, m_profile.dialogTitle, printer() }))
        return; // the user cancelled: nothing printed

    // The window prints itself without its buttons, and shows them again
    // however the printing went.
    setPrintControlsVisible(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QString error;
    const bool printed = printCard(*printer(), cardPicture(), m_profile.documentName, error);
    QApplication::restoreOverrideCursor();
    QCoreApplication::processEvents();
    setPrintControlsVisible(true);
    if (!printed)
        msgBox(this, QStringLiteral("The label could not be printed.\r\n") + error, Msg::Exclamation, m_profile.messageTitle);
}

} // namespace tv::labels
