#include "SongLines.h"

namespace tv::labels {

QString songPathOf(const QString &entry)
{
    // The path ends at the last " (": a path that holds " (" itself stays whole.
    const qsizetype opener = entry.lastIndexOf(QStringLiteral(" ("));
    return opener < 0 ? entry : entry.left(opener);
}

QString songLineText(const QString &entry, bool withTime, const QString &tagLine)
{
    if (entry.isEmpty())
        return {};
    const qsizetype opener = entry.lastIndexOf(QStringLiteral(" ("));
    const QString path = songPathOf(entry);
    QString time;
    if (opener >= 0) {
        time = entry.mid(opener + 2);
        if (time.endsWith(QLatin1Char(')')))
            time.chop(1);
    }

    QString name = tagLine;
    if (name.isEmpty()) {
        name = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
        const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
        if (dot >= 0)
            name.truncate(dot);
    }
    if (withTime && opener >= 0)
        name += QStringLiteral(" (") + time + QLatin1Char(')');
    return name;
}

} // namespace tv::labels
