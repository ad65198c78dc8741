// makejingle OUT: writes the start-up jingle, a short rising arpeggio with a
// soft bell-like tone, as a 44.1 kHz stereo WAV file. The build runs it to
// make "Splash.dll" in the program folder.
#include <QFile>
#include <QtEndian>
#include <cmath>
#include <cstdio>
#include <vector>

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: makejingle OUT\n");
        return 2;
    }
    constexpr int kRate = 44100;
    constexpr double kPi = 3.14159265358979323846;
    // C5 E5 G5, then C6 held: each note's start and length in seconds.
    struct Note { double hz, start, length; };
    const Note notes[] = {{523.25, 0.00, 0.55}, {659.25, 0.16, 0.55}, {783.99, 0.32, 0.60}, {1046.50, 0.48, 1.10}};
    const double total = 1.7;
    std::vector<double> mix(std::size_t(total * kRate), 0.0);
    for (const Note &n : notes) {
        const auto first = std::size_t(n.start * kRate);
        const auto count = std::size_t(n.length * kRate);
        for (std::size_t i = 0; i < count && first + i < mix.size(); ++i) {
            const double t = double(i) / kRate;
            const double attack = std::min(1.0, t / 0.008);
            const double decay = std::exp(-3.2 * t / n.length);
            const double release = std::min(1.0, double(count - i) / (0.02 * kRate));
            const double tone = std::sin(2 * kPi * n.hz * t) + 0.35 * std::sin(4 * kPi * n.hz * t) + 0.12 * std::sin(6 * kPi * n.hz * t);
            mix[first + i] += 0.22 * attack * decay * release * tone;
        }
    }
    QByteArray pcm;
    pcm.reserve(int(mix.size() * 4));
    for (std::size_t i = 0; i < mix.size(); ++i) {
        const double fadeOut = std::min(1.0, double(mix.size() - i) / (0.05 * kRate));
        const auto s = qint16(std::lround(std::clamp(mix[i] * fadeOut, -1.0, 1.0) * 32767));
        char b[2];
        qToLittleEndian(s, b);
        pcm.append(b, 2).append(b, 2);
    }
    QByteArray wav("RIFF");
    const auto le32 = [&wav](quint32 v) { char b[4]; qToLittleEndian(v, b); wav.append(b, 4); };
    const auto le16 = [&wav](quint16 v) { char b[2]; qToLittleEndian(v, b); wav.append(b, 2); };
    le32(quint32(36 + pcm.size()));
    wav.append("WAVEfmt ");
    le32(16);
    le16(1);
    le16(2);
    le32(kRate);
    le32(kRate * 4);
    le16(4);
    le16(16);
    wav.append("data");
    le32(quint32(pcm.size()));
    wav.append(pcm);
    QFile out(QString::fromLocal8Bit(argv[1]));
    if (!out.open(QIODevice::WriteOnly) || out.write(wav) != wav.size()) {
        std::fprintf(stderr, "makejingle: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
