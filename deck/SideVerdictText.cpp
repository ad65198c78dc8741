#include "SideVerdictText.h"

#include "FigureText.h"

#include <QLocale>
#include <QStringList>

#include <cmath>

namespace tv::deck {

namespace {

// "01:23.4": minutes and seconds to a tenth; to a thousandth for a dropout.
QString clockText(double seconds, int decimals = 1)
{
    seconds = std::max(0.0, seconds);
    const int minutes = static_cast<int>(seconds / 60.0);
    const double rest = seconds - 60.0 * minutes;
    return QStringLiteral("%1:%2").arg(minutes, 2, 10, QLatin1Char('0')).arg(rest, decimals + 3, 'f', decimals, QLatin1Char('0'));
}

} // namespace

QString songFoundText(const SongCheck &song)
{
    switch (song.found) {
    case SongCheck::Found::Whole:
        return QStringLiteral("whole, heard at %1").arg(clockText(song.heardAtSeconds));
    case SongCheck::Found::CutShort:
        return QStringLiteral("cut short at %1 of %2").arg(clockText(song.cutAtSeconds), clockText(song.seconds));
    case SongCheck::Found::Missing:
        return QStringLiteral("missing");
    }
    return {};
}

QString dropoutsText(const SongCheck &song)
{
    if (song.found == SongCheck::Found::Missing)
        return {};
    if (song.dropouts.isEmpty())
        return QStringLiteral("none");
    QStringList each;
    for (const Dropout &d : song.dropouts)
        each << QStringLiteral("%1 (%2 ms, %3 dB)").arg(clockText(d.atSeconds, 3)).arg(std::lround(d.seconds * 1000.0)).arg(signedNumber(d.depthDb, 0));
    return each.join(QStringLiteral(", "));
}

QString driftText(const SideVerdict &verdict)
{
    const double d = verdict.driftPercent;
    const QString how = std::abs(d) < 0.005 ? QStringLiteral("the tape plays at the speed it was recorded")
                                            : (d > 0 ? QStringLiteral("the tape plays fast") : QStringLiteral("the tape plays slow"));
    return QStringLiteral("%1 % (%2)").arg(signedNumber(d, 2), how);
}

QString gainText(const SideVerdict &verdict)
{
    return QStringLiteral("%1 dB against the level sent").arg(signedNumber(verdict.gainDb, 1));
}

QString loudestText(const SideVerdict &verdict, double calibrationDbfs)
{
    if (verdict.loudestSong < 0)
        return QStringLiteral("\u2013");
    const double over = verdict.loudestDbfs - calibrationDbfs;
    return QStringLiteral("%1 dBFS in song #%2 at %3, %4 dB %5 the %6 dBFS calibration level")
        .arg(signedNumber(verdict.loudestDbfs, 1))
        .arg(verdict.loudestSong + 1)
        .arg(clockText(verdict.loudestAtSeconds))
        .arg(QString::number(std::abs(over), 'f', 1), over >= 0 ? QStringLiteral("over") : QStringLiteral("under"),
             signedNumber(calibrationDbfs, 1));
}

QString sideVerdictText(const SideVerdict &verdict, const QString &side, const QString &input, double calibrationDbfs,
                        const QDateTime &when)
{
    QStringList lines;
    lines << QStringLiteral("Verify of %1, %2").arg(side, QLocale::c().toString(when, QStringLiteral("yyyy-MM-dd HH:mm")))
          << QStringLiteral("Input: %1").arg(input) << QString();
    for (qsizetype k = 0; k < verdict.songs.size(); ++k) {
        const SongCheck &song = verdict.songs.at(k);
        lines << QStringLiteral("Song #%1, %2: %3").arg(k + 1).arg(song.name, songFoundText(song));
        if (song.found != SongCheck::Found::Missing)
            lines << QStringLiteral("  Dropouts: %1").arg(dropoutsText(song));
    }
    lines << QString() << QStringLiteral("Time drift: %1").arg(driftText(verdict)) << QStringLiteral("Level: %1").arg(gainText(verdict))
          << QStringLiteral("Loudest stretch: %1").arg(loudestText(verdict, calibrationDbfs));
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

} // namespace tv::deck
