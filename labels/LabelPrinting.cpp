#include "LabelPrinting.h"

#include "PaperTwips.h"

#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QPrinter>

namespace tv::labels {

namespace {

bool isPdf(const QPrinter &printer)
{
    return printer.outputFormat() == QPrinter::PdfFormat;
}

void makeRoomForCutMarks(QPrinter &printer)
{
    QMarginsF margins = printer.pageLayout().margins(QPageLayout::Millimeter);
    const double least = cutMarkMarginMm();
    if (margins.left() >= least && margins.top() >= least)
        return;
    margins.setLeft(qMax(margins.left(), least));
    margins.setTop(qMax(margins.top(), least));
    printer.setPageMargins(margins, QPageLayout::Millimeter);
}

QString cannotOpen(const QPrinter &printer)
{
    if (isPdf(printer)) {
        QFile probe(printer.outputFileName());
        const QString reason = probe.open(QIODevice::WriteOnly) ? QString() : probe.errorString();
        return QStringLiteral("The PDF file \"%1\" cannot be written%2.")
            .arg(printer.outputFileName(), reason.isEmpty() ? QString() : QStringLiteral(": ") + reason);
    }
    return QStringLiteral("The printer \"%1\" is not available: it may be off line or not installed.").arg(printer.printerName());
}

// QPdfWriter does not report failed writes (a full disk): a whole PDF file
// ends with its end-of-file marker.
bool pdfIsComplete(const QString &path)
{
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly) || file.size() < 16)
        return false;
    file.seek(file.size() - 16);
    return file.read(16).contains("%%EOF");
}

} // namespace

double cutMarkMarginMm()
{
    return (kCutMarkGapTwips + kCutMarkLengthTwips) / kTwipsPerMm + 1.0;
}

bool printCard(QPrinter &printer, const CardPicture &card, const QString &documentName, QString &error)
{
    if ((isPdf(printer) && printer.outputFileName().isEmpty()) || (!isPdf(printer) && printer.printerName().isEmpty())) {
        error = QStringLiteral("No printer is set up. Choose a printer, or printing to a PDF file, in the print dialog.");
        return false;
    }
    printer.setDocName(documentName);
    makeRoomForCutMarks(printer);

    QPainter painter;
    if (!painter.begin(&printer)) {
        error = cannotOpen(printer);
        return false;
    }
    painter.setRenderHint(QPainter::Antialiasing);
    const double dpi = printer.logicalDpiX();
    // A printer that makes its own copies gets one page; otherwise each copy is a page.
    const int copies = printer.supportsMultipleCopies() ? 1 : qMax(1, printer.copyCount());
    for (int copy = 0; copy < copies; ++copy) {
        if (copy > 0 && !printer.newPage())
            break;
        paintCard(painter, card, dpi);
        paintCutMarks(painter, card.sizeTwips, dpi);
    }
    const bool ended = painter.end();
    if (!ended || printer.printerState() == QPrinter::Error) {
        error = QStringLiteral("The printer reported an error while printing.");
        return false;
    }
    if (isPdf(printer) && !pdfIsComplete(printer.outputFileName())) {
        error = QStringLiteral("The PDF file \"%1\" could not be written whole; the disk may be full.").arg(printer.outputFileName());
        return false;
    }
    return true;
}

} // namespace tv::labels
