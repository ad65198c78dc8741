#include "Settings.h"

#include <QSettings>

namespace tv::shell {

QString getSetting(const QString &section, const QString &key)
{
    QSettings s(QStringLiteral("TapeVantrel"), QStringLiteral("TapeVantrel"));
    return s.value(section + QLatin1Char('/') + key).toString();
}

void saveSetting(const QString &section, const QString &key, const QString &value)
{
    QSettings s(QStringLiteral("TapeVantrel"), QStringLiteral("TapeVantrel"));
    s.setValue(section + QLatin1Char('/') + key, value);
}

} // namespace tv::shell
