#include "SongEntry.h"

#include "TimeText.h"

namespace tv::core {

QString SongEntry::text() const
{
    return path + QStringLiteral(" (") + fnFormatTime(seconds) + QLatin1Char(')');
}

bool SongEntry::parse(const QString &line, SongEntry &entry)
{
    const qsizetype opener = line.lastIndexOf(QStringLiteral(" ("));
    if (opener < 0 || !line.endsWith(QLatin1Char(')')))
        return false;
    qint64 seconds = 0;
    if (!parseTimeText(line.mid(opener + 2, line.size() - opener - 3), seconds))
        return false;
    entry.path = line.left(opener);
    entry.seconds = seconds;
    return true;
}

} // namespace tv::core
