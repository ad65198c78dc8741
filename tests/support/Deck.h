#pragma once

#include <QProcess>
#include <QString>
#include <QVector>

namespace tv::test {

// "The deck": records what the private sound server's null sink plays, by
// running parec on its monitor, so tests can hear what the program played.
class Deck
{
public:
    ~Deck();
    bool start(const QString &wavPath);
    void stop();

    // The stretches where the recording is not silent, in ms from its start.
    struct Span
    {
        double startMs = 0;
        double endMs = 0;
        double lengthMs() const { return endMs - startMs; }
    };
    static QVector<Span> soundSpans(const QString &wavPath, double minGapMs = 50);

private:
    QProcess m_parec;
};

} // namespace tv::test
