#pragma once

#include <QString>

namespace tv::media::CueSheet {

// Checks a CUE sheet before libcdio reads it, which would only say that the
// image cannot be opened: every line must be a known command with valid
// arguments, every data file it names must exist and be long enough for the
// tracks that it places in it. Returns an empty text when the sheet is sound,
// otherwise one sentence naming the sheet, the line and what is wrong.
QString check(const QString &cuePath);

// The full path of the data file that a sound sheet names (empty when check()
// finds fault with the sheet).
QString dataFileOf(const QString &cuePath);

} // namespace tv::media::CueSheet
