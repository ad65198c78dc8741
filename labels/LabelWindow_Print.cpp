// Printing the label and setting up the printer.
#include "LabelWindow.h"

#include "CommonDialogs.h"
#include "LabelPrinting.h"
#include "MessageBox.h"

#include <QApplication>
#include <QPageLayout>
#include <QPrinter>

namespace tv::labels {

namespace {
// The printer, paper and file the user last chose in either dialog, for
// every label window of this run of the program.
struct PrinterChoice
{
    bool made = false;
    QString printerName;
    QPrinter::OutputFormat format = QPrinter::NativeFormat;
    QString fileName;
    QPageLayout layout;
    QPrinter::ColorMode colorMode = QPrinter::Color;
};
PrinterChoice &lastChoice()
{
    static PrinterChoice choice;
    return choice;
}

void rememberChoice(const QPrinter &printer)
{
    PrinterChoice &choice = lastChoice();
    choice.made = true;
    choice.format = printer.outputFormat();
    choice.printerName = printer.printerName();
    choice.fileName = printer.outputFileName();
    choice.layout = printer.pageLayout();
    choice.colorMode = printer.colorMode();
}

void applyChoice(QPrinter &printer)
{
    const PrinterChoice &choice = lastChoice();
    if (!choice.made)
        return;
    printer.setOutputFormat(choice.format);
    if (choice.format == QPrinter::NativeFormat)
        printer.setPrinterName(choice.printerName);
    else
        printer.setOutputFileName(choice.fileName);
    printer.setPageLayout(choice.layout);
    printer.setColorMode(choice.colorMode);
}
} // namespace

void LabelWindow::forgetPrinterChoice()
{
    lastChoice() = {};
}

QPrinter *LabelWindow::printer()
{
    if (!m_printer) {
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        applyChoice(*m_printer);
    }
    return m_printer.get();
}

void LabelWindow::setPrintControlsVisible(bool visible)
{
    for (QWidget *control : m_printControls)
        control->setVisible(visible);
}

void LabelWindow::cmdPrintSetup_Click()
{
    if (tv::shell::askPrinter(this, { tv::shell::PrinterDialogKind::PageSetup, m_profile.dialogTitle, printer() }))
        rememberChoice(*printer());
}

void LabelWindow::cmdPrint_Click()
{
    using namespace tv::shell;
    if (!askPrinter(this, { PrinterDialogKind::Print, m_profile.dialogTitle, printer() }))
        return; // the user cancelled: nothing printed
    rememberChoice(*printer());

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
