#pragma once

#include <QString>

class QWidget;

namespace tv::deckui {

// Writes a report beside the file it replaces and renames it over it once
// whole, so a failed save leaves an older report as it was.
bool writeReport(const QString &path, const QString &text, QString *error);

// Asks where to save a report (suggestedName in the dialog) and saves it
// there; a failure is told in a message over parent.
void askAndSaveReport(QWidget *parent, const QString &suggestedName, const QString &text);

} // namespace tv::deckui
