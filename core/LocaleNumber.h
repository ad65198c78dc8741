#pragma once

#include <QLocale>
#include <QString>
#include <optional>

namespace tv::core {

// The whole text read as a decimal number in the given locale (the user's by
// default); nothing for an empty text or one that is not a number.
std::optional<double> readNumber(const QString &text, const QLocale &locale = QLocale());

} // namespace tv::core
