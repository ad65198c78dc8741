#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <functional>
#include <optional>

class QPrinter;
class QWidget;

namespace tv::shell {

// The colour, font and printer dialogs as the windows ask for them. Each
// returns what the user chose, or nothing when the user cancelled. Tests
// install an answerer per dialog that answers instead of a user.

struct ColorDialogCall
{
    QString title;
    QColor color; // the colour the dialog opens with
};
using ColorDialogAnswerer = std::function<std::optional<QColor>(const ColorDialogCall &)>;
std::optional<QColor> askColor(QWidget *parent, const ColorDialogCall &call);
void setColorDialogAnswerer(ColorDialogAnswerer answerer);

// A font with its text colour, as the font dialog with its effects part offers.
struct FontChoice
{
    QFont font;
    QColor color;
};
struct FontDialogCall
{
    QString title;
    FontChoice preset;
};
using FontDialogAnswerer = std::function<std::optional<FontChoice>(const FontDialogCall &)>;
std::optional<FontChoice> askFont(QWidget *parent, const FontDialogCall &call);
void setFontDialogAnswerer(FontDialogAnswerer answerer);

// The print dialog (choose a printer or a PDF file, then print) and the page
// setup dialog (paper, orientation, margins). Both change the printer they
// are given; true when the user accepted.
enum class PrinterDialogKind { Print, PageSetup };
struct PrinterDialogCall
{
    PrinterDialogKind kind = PrinterDialogKind::Print;
    QString title;
    QPrinter *printer = nullptr;
};
using PrinterDialogAnswerer = std::function<bool(const PrinterDialogCall &)>;
bool askPrinter(QWidget *parent, const PrinterDialogCall &call);
void setPrinterDialogAnswerer(PrinterDialogAnswerer answerer);

} // namespace tv::shell
