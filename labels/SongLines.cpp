#include "SongLines.h"

namespace tv::labels {

QString songLineText(const QString &entry, bool withTime)
{
    if (entry.isEmpty())
        return {};
    // The path ends at the last " (": a path that holds " (" itself stays whole.
    const qsizetype opener = entry.lastIndexOf(QStringLiteral(" ("));
    const QString path = opener < 0 ? entry : entry.left(opener);
    QString time;
    if (opener >= 0) {
        time = entry.mid(opener + 2);
        if (time.endsWith(QLatin1Char(')')))
            time.chop(1);
    }

    QString name = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot >= 0)
        name.truncate(dot);
    if (withTime && opener >= 0)
        name += QStringLiteral(" (") + time + QLatin1Char(')');
    return name;
}

} // namespace tv::labels
