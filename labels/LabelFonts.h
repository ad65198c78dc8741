#pragma once

#include "LabelProfile.h"

#include <QFont>

namespace tv::labels {

// The font for a typeface of the layout: Liberation Sans for Arial and MS Sans
// Serif, Liberation Serif for MS Serif (metric-compatible, so the texts fill
// their boxes as drawn), then other fonts of the same metrics, then the
// system's sans serif or serif.
QFont labelFont(const LabelFontDesign &design);

} // namespace tv::labels
