#pragma once

#include "DeckAnalysis.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <memory>
#include <vector>

namespace tv::media {
class AudioCapture;
class AudioOutput;
} // namespace tv::media

namespace tv::deck {

// One deck check, from the first sample sent to the report: the test signal
// is played to the deck while the chosen input listens. A three-head deck
// is heard off the tape while it records; a two-head deck's output only
// echoes its input while it records, so then the check waits, after
// sending, for the user to rewind and play the tape back.
class DeckCheckRun : public QObject
{
    Q_OBJECT
public:
    enum class Heads { Three, Two };
    enum class Step { Idle, Connecting, Sending, WaitingForPlayback, Analysing };

    explicit DeckCheckRun(QObject *parent = nullptr);
    ~DeckCheckRun() override;

    // What is sent instead of the test signal (mono at the program's rate):
    // a deck made up by a test. Empty: the test signal.
    void setSignal(std::vector<float> mono);
    // How long the check waits for the signal to come back after sending
    // (for a two-head deck: the user's rewind and play).
    void setWaitLimitMs(int threeHeads, int twoHeads);

    void start(const QByteArray &input, Heads heads);
    void stop();
    Step step() const { return m_step; }

signals:
    void stepChanged(tv::deck::DeckCheckRun::Step step);
    // The samples about to be measured: the signal as heard from the deck.
    void heard(const std::vector<float> &samples);
    void finished(const tv::deck::DeckReport &report);
    void failed(const QString &why);

private:
    void setStep(Step step);
    void send();
    void sent();
    void listen();
    void fail(const QString &why);
    void analyse(std::vector<float> samples);

    std::vector<float> m_signal;
    Heads m_heads = Heads::Three;
    Step m_step = Step::Idle;
    std::unique_ptr<tv::media::AudioCapture> m_capture;
    std::unique_ptr<tv::media::AudioOutput> m_output;
    quint64 m_serial = 0;
    qint64 m_listenFrom = 0; // the first sample that may hold the signal
    QTimer m_listening;
    QTimer m_waitLimit;
    int m_waitThreeMs = 10000;
    int m_waitTwoMs = 5 * 60 * 1000;
    quint64 m_generation = 0; // a run's analysis reports only to that run
};

} // namespace tv::deck

Q_DECLARE_METATYPE(tv::deck::DeckReport)
