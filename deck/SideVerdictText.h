#pragma once

#include "SideVerify.h"

#include <QDateTime>
#include <QString>

namespace tv::deck {

// A verify's findings as words, as its window shows them.
QString songFoundText(const SongCheck &song);
QString dropoutsText(const SongCheck &song);
QString driftText(const SideVerdict &verdict);
QString gainText(const SideVerdict &verdict);
QString loudestText(const SideVerdict &verdict, double calibrationDbfs);

// The whole verify as a text file.
QString sideVerdictText(const SideVerdict &verdict, const QString &side, const QString &input, double calibrationDbfs,
                        const QDateTime &when);

} // namespace tv::deck
