// bench_loudness FILE...: measures every file's loudness, true peak and
// loudest window as adding a song does (without the cache) and prints the
// rate in files per second and in times real time.
#include "AudioFormat.h"
#include "MeasureSong.h"
#include "probe/Measure.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList files = app.arguments().mid(1);
    QElapsedTimer clock;
    clock.start();
    int failed = 0;
    double audioSeconds = 0;
    for (const QString &path : files) {
        QString error;
        if (!tv::levels::measureSong(path, error)) {
            ++failed;
            std::fprintf(stderr, "%s\n", qPrintable(error));
        }
    }
    const double wall = double(clock.nsecsElapsed()) / 1e9;
    for (const QString &path : files)
        audioSeconds += tv::media::measureFile(path).seconds.value_or(0);
    std::printf("%d files in %.2f s: %.1f files/s, %.0fx real time, %d failed\n", int(files.size()), wall, double(files.size()) / wall,
                audioSeconds / wall, failed);
    return failed ? 1 : 0;
}
