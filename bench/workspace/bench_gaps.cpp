// Records a playlist through the workspace with a song delay and measures,
// from what the deck heard, each gap between songs against the intended
// song delay (the silence the side's read-out counts). Arguments: the delay
// in seconds, then the song files.
#include "Deck.h"
#include "MediumProfile.h"
#include "MessageBox.h"
#include "Workspace.h"
#include "probe/Measure.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QElapsedTimer>
#include <cstdio>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 4) {
        std::fprintf(stderr, "usage: bench_gaps DELAY SONG SONG...\n");
        return 2;
    }
    const int delay = QString::fromLocal8Bit(argv[1]).toInt();
    bool done = false;
    tv::shell::setMsgBoxAnswerer([&done](const tv::shell::MsgBoxCall &call) {
        if (call.style & tv::shell::Msg::MessageWindow)
            done = true;
        return int(tv::shell::Msg::Ok);
    });
    tv::workspace::Workspace workspace(tv::workspace::MediumProfile::miniDisc());
    workspace.show();
    workspace.findChild<QRadioButton *>(QStringLiteral("opt148"))->click();
    workspace.findChild<QLineEdit *>(QStringLiteral("txtOneSecondDelay"))->setText(QString::number(delay));
    for (int i = 2; i < argc; ++i)
        workspace.subAddSong(QString::fromLocal8Bit(argv[i]));

    QTemporaryDir dir;
    const QString capture = dir.filePath(QStringLiteral("deck.wav"));
    tv::test::Deck deck;
    if (!deck.start(capture)) {
        std::fprintf(stderr, "bench_gaps: parec could not record the null sink\n");
        return 1;
    }
    workspace.findChild<QPushButton *>(QStringLiteral("cmdRecordSideA"))->click();
    while (!done)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    QElapsedTimer tail; // let the last song's end reach the deck
    tail.start();
    while (tail.elapsed() < 300)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    deck.stop();

    const auto spans = tv::test::Deck::soundSpans(capture, 100);
    const double planned = 1000.0 * delay;
    std::printf("%lld songs heard (of %d)\n", qlonglong(spans.size()), argc - 2);
    double worst = 0;
    for (int i = 1; i < spans.size(); ++i) {
        const double gap = spans[i].startMs - spans[i - 1].endMs;
        worst = std::max(worst, std::abs(gap - planned));
        std::printf("gap %2d: planned %8.2f ms   heard %8.2f ms   error %+6.2f ms\n", i, planned, gap, gap - planned);
    }
    std::printf("largest gap error: %.2f ms\n", worst);
    // Each song whole, from its first frame to its last: a fade-in or a
    // clipped start shortens it, a cycle of silence added at its end or
    // inside it lengthens it.
    double worstLength = 0;
    for (int i = 0; i < spans.size() && i + 2 < argc; ++i) {
        const tv::media::Duration d = tv::media::measureFile(QString::fromLocal8Bit(argv[i + 2]));
        const double length = 1000.0 * d.seconds.value_or(0.0);
        const double error = spans[i].lengthMs() - length;
        worstLength = std::max(worstLength, std::abs(error));
        std::printf("song %2d: planned %8.2f ms   heard %8.2f ms   error %+6.2f ms\n", i + 1, length, spans[i].lengthMs(), error);
    }
    std::printf("largest song length error: %.2f ms\n", worstLength);
    // Silence inside a song is a dropout: runs of at least 3 ms.
    const auto pieces = tv::test::Deck::soundSpans(capture, 3);
    double lost = 0;
    int dropouts = 0;
    for (int i = 1; i < pieces.size(); ++i) {
        const double gap = pieces[i].startMs - pieces[i - 1].endMs;
        if (gap < 100) {
            ++dropouts;
            lost += gap;
            std::printf("dropout inside a song at %.2f ms: %.2f ms\n", pieces[i - 1].endMs, gap);
        }
    }
    std::printf("dropouts inside songs: %d, %.2f ms in all\n", dropouts, lost);
    return spans.size() == argc - 2 ? 0 : 1;
}
