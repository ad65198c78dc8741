// tvrender PLAYLIST.tpl --side A|B [--match [--target LUFS]] [--lead-in SECONDS] OUT.wav|OUT.flac:
// writes what the deck would hear when the side is recorded (the lead-in when
// asked, every song, the silences between them, level matching when asked)
// to a WAV or FLAC file.
#include "AudioFormat.h"
#include "LevelMatching.h"
#include "LevelsCache.h"
#include "MeasureSong.h"
#include "PlaylistFile.h"
#include "SideRenderer.h"
#include "SongEntry.h"
#include "TimeText.h"
#include "LocaleNumber.h"

#include "ExactFiles.h"
#include "NameBytes.h"

#include <QCoreApplication>
#include <QFile>
#include <QLocale>
#include <cstdio>

namespace {
int usage()
{
    std::fprintf(stderr, "usage: tvrender PLAYLIST.tpl --side A|B [--match [--target LUFS]] [--lead-in SECONDS] OUT.wav|OUT.flac\n");
    return 2;
}

int fail(const QString &why)
{
    std::fprintf(stderr, "tvrender: %s\n", why.toLocal8Bit().constData());
    return 1;
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = tv::core::argumentNames(argc, argv).mid(1); // each name's own bytes
    QString side, playlist, output;
    bool match = false;
    std::optional<double> target;
    qint64 leadInSeconds = 0;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &a = args.at(i);
        if (a == QLatin1String("--side") && i + 1 < args.size()) {
            side = args.at(++i).toUpper();
        } else if (a == QLatin1String("--match")) {
            match = true;
        } else if (a == QLatin1String("--target") && i + 1 < args.size()) {
            bool ok = false;
            target = args.at(++i).toDouble(&ok);
            if (!ok)
                return usage();
        } else if (a == QLatin1String("--lead-in") && i + 1 < args.size()) {
            bool ok = false;
            leadInSeconds = args.at(++i).toLongLong(&ok);
            if (!ok || leadInSeconds < 0 || leadInSeconds > 60)
                return usage();
        } else if (playlist.isEmpty()) {
            playlist = a;
        } else if (output.isEmpty()) {
            output = a;
        } else {
            return usage();
        }
    }
    if ((side != QLatin1String("A") && side != QLatin1String("B")) || playlist.isEmpty() || output.isEmpty())
        return usage();

    QByteArray bytes;
    QString why;
    if (!tv::core::readExact(playlist, 64 * 1024 * 1024, bytes, why))
        return fail(QStringLiteral("%1 cannot be read (%2).").arg(tv::core::readableFileName(playlist), why));
    const tv::core::PlaylistRead read = tv::core::readPlaylist(bytes, true);
    if (read.outcome == tv::core::PlaylistRead::Outcome::Error)
        return fail(QStringLiteral("%1 is not a playlist file (%2).").arg(playlist, read.errorDescription));
    const tv::core::PlaylistSection &section = side == QLatin1String("A") ? read.content.sideA : read.content.sideB;
    QStringList paths;
    QList<qint64> entrySeconds; // 0 where an entry gives no length
    for (const QString &line : section.entries) {
        tv::core::SongEntry entry;
        const bool parsed = tv::core::SongEntry::parse(line, entry);
        paths << (parsed ? entry.path : line);
        entrySeconds << (parsed ? entry.seconds : 0);
    }
    if (paths.isEmpty())
        return fail(QStringLiteral("side %1 of %2 has no songs.").arg(side, playlist));

    // The song delay as the workspace reads it from the file: whole seconds.
    const double delaySeconds = tv::core::readNumber(read.content.delay, QLocale::c()).value_or(0);
    const qint64 delayMs = std::max<qint64>(0, tv::core::roundHalfEven(delaySeconds)) * 1000;

    QList<double> gains;
    if (match) {
        QList<std::optional<tv::levels::SongLevels>> levels;
        for (const QString &path : std::as_const(paths)) {
            auto known = tv::levels::LevelsCache::shared().find(path);
            if (!known) {
                QString error;
                known = tv::levels::measureSong(path, error);
                if (!known)
                    return fail(error);
                tv::levels::LevelsCache::shared().store(path, *known);
            }
            levels.append(known);
        }
        gains = tv::levels::matchingGains(levels, target);
    }

    const tv::levels::RenderOutcome outcome = tv::levels::renderSide(tv::levels::planSide(paths, delayMs, gains, leadInSeconds * 1000), output);
    if (outcome.result != tv::levels::RenderOutcome::Result::Written)
        return fail(outcome.error);
    std::printf("%s\t%lld frames\t%.3f s\n", output.toLocal8Bit().constData(), static_cast<long long>(outcome.frames),
                double(outcome.frames) / 44100.0);
    // Written as they play, but the side is shorter than its playlist says.
    for (const tv::levels::EarlyEnd &e : tv::levels::songsEndingEarly(entrySeconds, outcome))
        std::fprintf(stderr, "tvrender: song #%lld, %s, ended after %s of the %s its entry gives (damaged or changed file?)\n",
                     static_cast<long long>(e.index + 1), paths.at(e.index).toLocal8Bit().constData(),
                     tv::core::fnFormatTime(e.frames / tv::media::kSampleRate).toLocal8Bit().constData(),
                     tv::core::fnFormatTime(e.entrySeconds).toLocal8Bit().constData());
    return 0;
}
