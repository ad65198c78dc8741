// Reads what the deck recorded (a WAV file captured from the null sink's
// monitor) and prints the dropouts inside the sound: every run of silence of
// at least 3 ms between the first and the last sound of the recording.
// Arguments: the WAV file, optionally the shortest run counted in ms.
#include "Deck.h"

#include <QString>
#include <cstdio>

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_dropouts CAPTURE.wav [MIN_MS]\n");
        return 2;
    }
    const double minMs = argc > 2 ? QString::fromLocal8Bit(argv[2]).toDouble() : 3.0;
    const auto spans = tv::test::Deck::soundSpans(QString::fromLocal8Bit(argv[1]), minMs);
    if (spans.isEmpty()) {
        std::printf("no sound in the capture\n");
        return 1;
    }
    double total = 0;
    for (int i = 1; i < spans.size(); ++i) {
        const double gap = spans[i].startMs - spans[i - 1].endMs;
        total += gap;
        std::printf("dropout at %9.2f ms: %7.2f ms\n", spans[i - 1].endMs, gap);
    }
    std::printf("sound heard for %.2f s; dropouts (>= %.0f ms of silence): %lld, %.2f ms in all\n",
                (spans.last().endMs - spans.first().startMs) / 1000.0, minMs, qlonglong(spans.size() - 1), total);
    return 0;
}
