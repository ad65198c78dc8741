#pragma once

#include <QString>

namespace tv::shell {

// The per-user settings store: application "TapeVantrel", a section and a
// key naming a text. A missing value reads as empty text.
QString getSetting(const QString &section, const QString &key);
void saveSetting(const QString &section, const QString &key, const QString &value);

} // namespace tv::shell
