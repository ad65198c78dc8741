// tvplay [-v] FILE...: plays each file to its end through the program's own
// media player, one after the other; a file that cannot be played is
// reported on standard error and the exit status is 1 at the end. With -v it
// also says what scheduling the sound output's thread was given.
#include "ExactFiles.h"
#include "MediaPlayer.h"
#include "output/Realtime.h"

#include <QCoreApplication>
#include <QStringList>
#include <QTimer>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList files = tv::core::argumentNames(argc, argv).mid(1); // each name's own bytes
    const bool verbose = !files.isEmpty() && files.first() == QLatin1String("-v");
    if (verbose)
        files.removeFirst();
    if (files.isEmpty()) {
        std::fprintf(stderr, "usage: tvplay FILE...\n");
        return 2;
    }
    tv::media::MediaPlayer player;
    int next = 0;
    int status = 0;
    auto playNext = [&] {
        if (next >= files.size()) {
            app.exit(status);
            return;
        }
        player.setFileName(files.at(next++));
    };
    QObject::connect(&player, &tv::media::MediaPlayer::playStateChanged, &app, [&](int from, int to) {
        if (from == tv::media::MediaPlayer::Playing && to == tv::media::MediaPlayer::Stopped)
            playNext();
    });
    QObject::connect(&player, &tv::media::MediaPlayer::error, &app, [&] {
        std::fprintf(stderr, "tvplay: %s\n", player.errorDescription().toLocal8Bit().constData());
        status = 1;
        playNext();
    });
    playNext();
    if (verbose) {
        QTimer::singleShot(500, &app, [] {
            std::fprintf(stderr, "tvplay: sound output thread: %s\n", tv::media::audioThreadPriority().toLocal8Bit().constData());
        });
    }
    return app.exec();
}
