#include "DeckCheckRun.h"

#include "AudioFormat.h"
#include "DeckSignal.h"
#include "OffThread.h"
#include "capture/AudioCapture.h"
#include "output/AudioOutput.h"


namespace tv::deck {

namespace {
constexpr int kListenEveryMs = 250;
// While waiting, only the last stretch can still become the whole signal
// (about 23 s, longer on a slow deck): older sound is let go, so each look
// costs the same however long the user takes.
constexpr double kHeldSeconds = 40.0;
constexpr double kLookedAtSeconds = 60.0;
constexpr double kRate = tv::media::kSampleRate;
} // namespace

DeckCheckRun::DeckCheckRun(QObject *parent) : QObject(parent)
{
    qRegisterMetaType<tv::deck::DeckReport>();
    m_listening.setInterval(kListenEveryMs);
    connect(&m_listening, &QTimer::timeout, this, &DeckCheckRun::listen);
    m_waitLimit.setSingleShot(true);
    connect(&m_waitLimit, &QTimer::timeout, this, [this] {
        fail(m_heads == Heads::Two ? QStringLiteral("The tape's playback was not heard. Rewind the tape to where the check began, "
                                                    "start the check again and press play on the deck when asked.")
                                   : QStringLiteral("The test signal did not come back from the deck. Check that the deck records "
                                                    "and that its output is wired to the chosen input."));
    });
}

DeckCheckRun::~DeckCheckRun()
{
    stop();
}

void DeckCheckRun::setSignal(std::vector<float> mono)
{
    m_signal = std::move(mono);
}

void DeckCheckRun::setWaitLimitMs(int threeHeads, int twoHeads)
{
    m_waitThreeMs = threeHeads;
    m_waitTwoMs = twoHeads;
}

void DeckCheckRun::setStep(Step step)
{
    if (m_step == step)
        return;
    m_step = step;
    emit stepChanged(step);
}

void DeckCheckRun::start(const QByteArray &input, Heads heads)
{
    stop();
    m_heads = heads;
    m_capture = std::make_unique<tv::media::AudioCapture>();
    connect(m_capture.get(), &tv::media::AudioCapture::started, this, &DeckCheckRun::send);
    connect(m_capture.get(), &tv::media::AudioCapture::failed, this, &DeckCheckRun::fail);
    setStep(Step::Connecting);
    m_capture->start(input);
}

void DeckCheckRun::send()
{
    m_output = std::make_unique<tv::media::AudioOutput>();
    connect(m_output.get(), &tv::media::AudioOutput::finished, this, [this](quint64 serial) {
        if (serial == m_serial)
            sent();
    });
    connect(m_output.get(), &tv::media::AudioOutput::failed, this, [this](quint64 serial, const QString &why) {
        if (serial == m_serial)
            fail(why);
    });
    connect(m_output.get(), &tv::media::AudioOutput::lost, this, &DeckCheckRun::fail);
    m_serial = tv::media::AudioOutput::newSerial();
    std::vector<float> signal = m_signal.empty() ? renderDeckSignal(kRate) : m_signal;
    // The opener may be called again (a seek opens an item afresh): each
    // call gets the whole signal.
    m_output->play(m_serial, [signal = std::move(signal)](QString &) { return std::make_unique<DeckSignalSource>(signal); });
    m_listenFrom = 0;
    setStep(Step::Sending);
    if (m_heads == Heads::Three)
        m_listening.start();
}

void DeckCheckRun::sent()
{
    if (m_heads == Heads::Two) {
        // What was heard while recording is the deck echoing its input.
        m_listenFrom = m_capture->sampleCount();
        setStep(Step::WaitingForPlayback);
        m_listening.start();
    }
    m_waitLimit.start(m_heads == Heads::Two ? m_waitTwoMs : m_waitThreeMs);
}

void DeckCheckRun::listen()
{
    std::vector<float> heard = m_capture->samples(m_listenFrom);
    switch (hearSignal(heard, kRate)) {
    case Hearing::NotYet:
        if (static_cast<double>(heard.size()) > kLookedAtSeconds * kRate)
            m_listenFrom += static_cast<qint64>(static_cast<double>(heard.size()) - kHeldSeconds * kRate);
        return;
    case Hearing::Broken:
        fail(QStringLiteral("The test signal was not heard whole: a part of it was cut short or missing."));
        return;
    case Hearing::Whole:
        analyse(std::move(heard));
        return;
    }
}

void DeckCheckRun::analyse(std::vector<float> samples)
{
    const quint64 generation = ++m_generation;
    m_listening.stop();
    m_waitLimit.stop();
    m_capture.reset();
    m_output.reset();
    setStep(Step::Analysing);
    emit heard(samples);
    // Following the tone and the spectra take a moment: off this thread.
    runOffThread(
        this, [heard = std::move(samples)] { return analyseDeckCapture(heard, kRate); },
        [this, generation](DeckReport report) {
            if (m_generation != generation || m_step != Step::Analysing)
                return;
            setStep(Step::Idle);
            if (report.error.isEmpty())
                emit finished(report);
            else
                emit failed(report.error);
        });
}

void DeckCheckRun::fail(const QString &why)
{
    if (m_step == Step::Idle)
        return;
    stop();
    emit failed(why);
}

void DeckCheckRun::stop()
{
    ++m_generation;
    m_listening.stop();
    m_waitLimit.stop();
    m_capture.reset();
    m_output.reset();
    setStep(Step::Idle);
}

} // namespace tv::deck
