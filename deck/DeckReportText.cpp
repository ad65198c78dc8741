#include "DeckReportText.h"

#include "DeckSignal.h"
#include "FigureText.h"

#include <QLocale>
#include <QStringList>

namespace tv::deck {

namespace {

QString frequencyText(double hz)
{
    return hz >= 1000.0 ? QStringLiteral("%1 kHz").arg(QString::number(hz / 1000.0, 'g', 3)) : QStringLiteral("%1 Hz").arg(QString::number(hz, 'g', 3));
}

} // namespace

QString speedText(const DeckReport &report)
{
    const double e = report.flutter.speedErrorPercent;
    const QString how = std::abs(e) < 0.005 ? QStringLiteral("exact") : (e > 0 ? QStringLiteral("fast") : QStringLiteral("slow"));
    return QStringLiteral("%1 % (%2)").arg(signedNumber(e, 2), how);
}

QString weightedFlutterText(const DeckReport &report)
{
    return QStringLiteral("%1 %").arg(QString::number(report.flutter.weightedPeakPercent, 'f', 3));
}

QString unweightedFlutterText(const DeckReport &report)
{
    return QStringLiteral("%1 %").arg(QString::number(report.flutter.unweightedRmsPercent, 'f', 3));
}

QString levelText(const DeckReport &report)
{
    return QStringLiteral("%1 dBFS (%2 dB against the %3 dBFS sent)")
        .arg(signedNumber(report.levelDbfs, 1), signedNumber(report.levelChangeDb, 1), signedNumber(kSentLevelDbfs, 1));
}

QString noiseFloorText(const DeckReport &report)
{
    // Digital silence has no floor worth a number.
    constexpr double kQuietestShownDbfs = -120.0;
    if (report.noiseFloorDbfs < kQuietestShownDbfs)
        return QStringLiteral("under %1 dBFS").arg(signedNumber(kQuietestShownDbfs, 0));
    return QStringLiteral("%1 dBFS").arg(signedNumber(report.noiseFloorDbfs, 1));
}

QString deckReportText(const DeckReport &report, const QString &input, const QDateTime &when)
{
    QStringList lines;
    lines << QStringLiteral("Deck check of %1").arg(QLocale::c().toString(when, QStringLiteral("yyyy-MM-dd HH:mm")))
          << QStringLiteral("Input: %1").arg(input) << QString()
          << QStringLiteral("Speed: %1").arg(speedText(report))
          << QStringLiteral("Wow and flutter, weighted peak (2 sigma): %1").arg(weightedFlutterText(report))
          << QStringLiteral("Wow and flutter, unweighted RMS: %1").arg(unweightedFlutterText(report))
          << QStringLiteral("Level of the %1 tone: %2").arg(frequencyText(kLevelToneHz), levelText(report))
          << QStringLiteral("Noise floor: %1").arg(noiseFloorText(report)) << QString()
          << QStringLiteral("Frequency response against 1 kHz:");
    for (const ResponsePoint &p : report.response)
        lines << QStringLiteral("  %1  %2 dB").arg(frequencyText(p.hz), 9).arg(signedNumber(p.db, 1), 6);
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

} // namespace tv::deck
