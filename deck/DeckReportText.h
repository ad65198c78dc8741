#pragma once

#include "DeckAnalysis.h"

#include <QDateTime>
#include <QString>

namespace tv::deck {

// The figures as words, one to a line, as the window shows them.
QString speedText(const DeckReport &report);
QString weightedFlutterText(const DeckReport &report);
QString unweightedFlutterText(const DeckReport &report);
QString levelText(const DeckReport &report);
QString noiseFloorText(const DeckReport &report);

// The whole report as a text file: when, which input, every figure and
// the response at each tone.
QString deckReportText(const DeckReport &report, const QString &input, const QDateTime &when);

} // namespace tv::deck
