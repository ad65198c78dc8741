// Adding songs to a workspace: the time per song through subAddSong over
// 1,000 files of mixed formats, and at 10,000 entries the time of one more
// add and of the side's recomputation alone. Arguments: a folder of sound
// files (tests/fixtures/make-media.sh makes one).
#include "MediumProfile.h"
#include "Workspace.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QRadioButton>
#include <cstdio>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_add_songs FOLDER\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    QStringList files;
    for (const QString &name : folder.entryList({"*.wav", "*.mp3", "*.aiff", "*.au", "*.flac", "*.ogg", "*.m4a"}, QDir::Files))
        files << folder.filePath(name);
    if (files.isEmpty()) {
        std::fprintf(stderr, "no sound files in %s\n", argv[1]);
        return 2;
    }

    tv::workspace::Workspace workspace(tv::workspace::MediumProfile::cassette());
    workspace.show();
    workspace.findChild<QRadioButton *>(QStringLiteral("opt120"))->click();

    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < 1000; ++i)
        workspace.subAddSong(files.at(i % files.size()));
    const double perSong = clock.nsecsElapsed() / 1e6 / 1000.0;
    std::printf("subAddSong, 1,000 files of %lld kinds:   %.3f ms per song\n", qlonglong(files.size()), perSong);

    // Short files only from here, so 10,000 entries stay within the 16-bit total.
    QString shortest = files.first();
    for (const QString &f : files) {
        if (f.endsWith(QLatin1String("tone1.wav")))
            shortest = f;
    }
    tv::workspace::Workspace big(tv::workspace::MediumProfile::miniDisc());
    for (int i = 0; i < 9999; ++i)
        big.subAddSong(shortest);
    clock.restart();
    big.subAddSong(shortest);
    const double oneMore = clock.nsecsElapsed() / 1e6;
    clock.restart();
    constexpr int kRounds = 100;
    for (int i = 0; i < kRounds; ++i)
        big.subTapeA_TimeCalc();
    const double recompute = clock.nsecsElapsed() / 1e6 / kRounds;
    std::printf("at 10,000 entries: one more add %.3f ms, recompute alone %.3f ms (a frame is 16 ms)\n", oneMore, recompute);
    return 0;
}
