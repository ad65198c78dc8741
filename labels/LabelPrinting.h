#pragma once

#include "CardPicture.h"

#include <QString>

class QPrinter;

namespace tv::labels {

// Prints the card as one job: at its physical size at the top left of the
// page's printable area, with cut marks around it, as vector shapes and text.
// The top and left page margins are widened where needed so that the cut
// marks beside the card stay on the sheet. False, with a sentence saying
// why, when no printer is set up, the card does not fit the paper, the
// printer or file cannot be opened, or the output could not be written
// whole; a PDF file that was there before is then left as it was.
bool printCard(QPrinter &printer, const CardPicture &card, const QString &documentName, QString &error);

// Whether the card with its cut marks fits the printable area (the margins
// made room for the marks first); when not, error names the size needed.
bool cardFitsPage(QPrinter &printer, const CardPicture &card, QString &error);

// The least top and left margin, in millimetres, that keeps the cut marks on paper.
double cutMarkMarginMm();

} // namespace tv::labels
