#include "Deck.h"

#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <QtEndian>
#include <cstdlib>

namespace tv::test {

Deck::~Deck()
{
    stop();
}

bool Deck::start(const QString &wavPath)
{
    QFile::remove(wavPath); // the wait below reads this file's growth
    // The deck listens at PipeWire's default cycle (1024 frames): a listener
    // asking for 10 ms pulls the graph down to 256 frames, which desktops do
    // not run at and where a busy two-core machine misses cycles in the
    // server itself. Below 50 ms, so that PulseAudio's null sink renders no
    // further ahead than a pause may take to be heard.
    m_parec.start(QStringLiteral("parec"), {QStringLiteral("-d"), QStringLiteral("deck.monitor"), QStringLiteral("--file-format=wav"),
                                           QStringLiteral("--rate=44100"), QStringLiteral("--channels=2"),
                                           QStringLiteral("--format=s16le"), QStringLiteral("--latency-msec=25"), wavPath});
    if (!m_parec.waitForStarted(5000))
        return false;
    // A deck records before the music starts: wait until the capture really
    // flows (the server may take a moment to start a new stream), so that
    // nothing played after this returns is missed.
    constexpr qint64 kFlowingBytes = 44 + 44100 * 4 / 10; // the header and 100 ms
    for (int i = 0; i < 500; ++i) {
        QFileInfo info(wavPath);
        info.refresh();
        if (info.size() >= kFlowingBytes)
            return true;
        if (m_parec.state() == QProcess::NotRunning)
            return false;
        QThread::msleep(10);
    }
    return false;
}

void Deck::stop()
{
    if (m_parec.state() == QProcess::NotRunning)
        return;
    // What the sink played just now is still on its way to the recording
    // (the server's cycle and the capture's own buffer): a deck is stopped
    // after the sound has reached it.
    QThread::msleep(200);
    m_parec.terminate(); // parec finishes its WAV header on SIGTERM
    if (!m_parec.waitForFinished(5000)) {
        m_parec.kill();
        m_parec.waitForFinished(2000);
    }
}

QVector<Deck::Span> Deck::soundSpans(const QString &wavPath, double minGapMs)
{
    QVector<Span> spans;
    QFile file(wavPath);
    if (!file.open(QIODevice::ReadOnly))
        return spans;
    const QByteArray bytes = file.readAll();
    const int dataAt = bytes.indexOf("data");
    if (dataAt < 0)
        return spans;
    const auto *samples = reinterpret_cast<const qint16 *>(bytes.constData() + dataAt + 8);
    const qint64 frames = (bytes.size() - dataAt - 8) / 4;
    const qint64 gapFrames = qint64(minGapMs * 44.1);
    constexpr int kThreshold = 300; // well above dither, far below a -6 dB tone
    qint64 start = -1, last = -1;
    for (qint64 i = 0; i < frames; ++i) {
        const int l = qFromLittleEndian(samples[2 * i]);
        const int r = qFromLittleEndian(samples[2 * i + 1]);
        if (std::abs(l) > kThreshold || std::abs(r) > kThreshold) {
            if (start >= 0 && i - last > gapFrames) {
                spans.push_back({start / 44.1, (last + 1) / 44.1});
                start = -1;
            }
            if (start < 0)
                start = i;
            last = i;
        }
    }
    if (start >= 0)
        spans.push_back({start / 44.1, (last + 1) / 44.1});
    return spans;
}

} // namespace tv::test
