#include "CommonDialogs.h"

#include "FontColorDialog.h"

#include <QColorDialog>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>

namespace tv::shell {

namespace {

template <typename Answerer> Answerer &answerer()
{
    static Answerer instance;
    return instance;
}

} // namespace

void setColorDialogAnswerer(ColorDialogAnswerer a)
{
    answerer<ColorDialogAnswerer>() = std::move(a);
}

void setFontDialogAnswerer(FontDialogAnswerer a)
{
    answerer<FontDialogAnswerer>() = std::move(a);
}

void setPrinterDialogAnswerer(PrinterDialogAnswerer a)
{
    answerer<PrinterDialogAnswerer>() = std::move(a);
}

std::optional<QColor> askColor(QWidget *parent, const ColorDialogCall &call)
{
    if (const auto &a = answerer<ColorDialogAnswerer>())
        return a(call);
    const QColor chosen = QColorDialog::getColor(call.color, parent, call.title);
    if (!chosen.isValid())
        return std::nullopt;
    return chosen;
}

std::optional<FontChoice> askFont(QWidget *parent, const FontDialogCall &call)
{
    if (const auto &a = answerer<FontDialogAnswerer>())
        return a(call);
    FontColorDialog dialog(call.preset.font, call.preset.color, parent);
    dialog.setWindowTitle(call.title);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return FontChoice { dialog.selectedFont(), dialog.selectedColor() };
}

bool askPrinter(QWidget *parent, const PrinterDialogCall &call)
{
    if (!call.printer)
        return false;
    if (const auto &a = answerer<PrinterDialogAnswerer>())
        return a(call);
    if (call.kind == PrinterDialogKind::PageSetup) {
        QPageSetupDialog dialog(call.printer, parent);
        dialog.setWindowTitle(call.title);
        return dialog.exec() == QDialog::Accepted;
    }
    QPrintDialog dialog(call.printer, parent);
    dialog.setWindowTitle(call.title);
    // One card on one page: no page ranges, no selection.
    dialog.setOptions(QAbstractPrintDialog::PrintToFile);
    return dialog.exec() == QDialog::Accepted;
}

} // namespace tv::shell
