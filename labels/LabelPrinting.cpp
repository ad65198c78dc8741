#include "LabelPrinting.h"

#include "PaperTwips.h"

#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryFile>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <memory>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

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

// Why a file cannot be written, found without opening it: opening it for
// writing would empty a file the user has.
QString whyNotWritable(const QString &path)
{
    const QFileInfo file(path);
    const QFileInfo folder(file.absolutePath());
    if (!folder.isDir())
        return QStringLiteral("the folder \"%1\" does not exist").arg(folder.absoluteFilePath());
    const QByteArray probe = QFile::encodeName(file.exists() ? file.absoluteFilePath() : folder.absoluteFilePath());
    if (::access(probe.constData(), W_OK) != 0)
        return QString::fromLocal8Bit(std::strerror(errno));
    return {};
}

QString cannotOpen(const QPrinter &printer, const QString &pdfPath)
{
    if (isPdf(printer)) {
        const QString reason = whyNotWritable(pdfPath);
        return QStringLiteral("The PDF file \"%1\" cannot be written%2.")
            .arg(pdfPath, reason.isEmpty() ? QString() : QStringLiteral(": ") + reason);
    }
    return QStringLiteral("The printer \"%1\" is not available: it may be off line or not installed.").arg(printer.printerName());
}

// A PDF is written beside the file it replaces and renamed over it once
// whole, so a failure (a full disk) leaves the user's file as it was. A
// device or a file in a folder the program may not write to is written
// directly.
class PdfTarget
{
public:
    PdfTarget(QPrinter &printer)
        : m_printer(printer)
        , m_target(printer.outputFileName())
    {
        const QFileInfo target(m_target);
        if (target.exists() && !target.isFile())
            return;
        m_temporary = std::make_unique<QTemporaryFile>(target.absolutePath() + QStringLiteral("/.") + target.fileName()
                                                       + QStringLiteral("-XXXXXX.pdf"));
        if (!m_temporary->open()) {
            m_temporary.reset();
            return;
        }
        m_temporary->close();
        m_printer.setOutputFileName(m_temporary->fileName());
    }
    ~PdfTarget() { m_printer.setOutputFileName(m_target); } // the user's choice stays the printer's
    QString writtenPath() const { return m_temporary ? m_temporary->fileName() : m_target; }
    // Puts a whole file in place of the target; false with the reason.
    bool commit(QString &error)
    {
        if (!m_temporary)
            return true;
        const QFileInfo target(m_target);
        // The new file gets the old one's permissions, else a new file's.
        QFileDevice::Permissions permissions = target.exists() ? target.permissions() : QFileDevice::Permissions {};
        if (!target.exists()) {
            const mode_t mask = ::umask(0);
            ::umask(mask);
            permissions = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
            if (!(mask & S_IRGRP))
                permissions |= QFileDevice::ReadGroup;
            if (!(mask & S_IROTH))
                permissions |= QFileDevice::ReadOther;
        }
        m_temporary->setPermissions(permissions);
        if (::rename(QFile::encodeName(m_temporary->fileName()).constData(), QFile::encodeName(m_target).constData()) != 0) {
            error = QStringLiteral("The PDF file \"%1\" cannot be written: %2.").arg(m_target, QString::fromLocal8Bit(std::strerror(errno)));
            return false;
        }
        m_temporary->setAutoRemove(false);
        return true;
    }

private:
    QPrinter &m_printer;
    QString m_target;
    std::unique_ptr<QTemporaryFile> m_temporary;
};

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

bool cardFitsPage(QPrinter &printer, const CardPicture &card, QString &error)
{
    makeRoomForCutMarks(printer);
    // The card sits at the printable area's top left; its right and bottom
    // cut marks reach beyond it.
    const double marksMm = (kCutMarkGapTwips + kCutMarkLengthTwips) / kTwipsPerMm;
    const QSizeF needed(card.sizeTwips.width() / kTwipsPerMm + marksMm, card.sizeTwips.height() / kTwipsPerMm + marksMm);
    const QRectF printable = printer.pageLayout().paintRect(QPageLayout::Millimeter);
    if (needed.width() <= printable.width() + 0.05 && needed.height() <= printable.height() + 0.05)
        return true;
    const QMarginsF margins = printer.pageLayout().margins(QPageLayout::Millimeter);
    const QSizeF paper(needed.width() + margins.left() + margins.right(), needed.height() + margins.top() + margins.bottom());
    error = QStringLiteral("The label does not fit on the chosen paper (%1, %2 × %3 mm to print on): with its cut marks it needs "
                           "%4 × %5 mm, paper of at least %6 × %7 mm with these margins. Choose a larger paper, such as A4 or "
                           "Letter, in the page setup.")
                .arg(printer.pageLayout().pageSize().name())
                .arg(printable.width(), 0, 'f', 0)
                .arg(printable.height(), 0, 'f', 0)
                .arg(needed.width(), 0, 'f', 0)
                .arg(needed.height(), 0, 'f', 0)
                .arg(std::ceil(paper.width()), 0, 'f', 0)
                .arg(std::ceil(paper.height()), 0, 'f', 0);
    return false;
}

bool printCard(QPrinter &printer, const CardPicture &card, const QString &documentName, QString &error)
{
    if ((isPdf(printer) && printer.outputFileName().isEmpty()) || (!isPdf(printer) && printer.printerName().isEmpty())) {
        error = QStringLiteral("No printer is set up. Choose a printer, or printing to a PDF file, in the print dialog.");
        return false;
    }
    printer.setDocName(documentName);
    if (!cardFitsPage(printer, card, error))
        return false; // a card printed cut is no card

    const QString pdfPath = printer.outputFileName();
    std::optional<PdfTarget> pdf;
    if (isPdf(printer))
        pdf.emplace(printer);
    QPainter painter;
    if (!painter.begin(&printer)) {
        error = cannotOpen(printer, pdfPath);
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
    if (pdf && !pdfIsComplete(pdf->writtenPath())) {
        error = QStringLiteral("The PDF file \"%1\" could not be written whole; the disk may be full.").arg(pdfPath);
        return false;
    }
    return !pdf || pdf->commit(error);
}

} // namespace tv::labels
