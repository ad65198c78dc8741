#include "SideVerifyRun.h"

#include "AudioFormat.h"
#include "SideRenderer.h"
#include "OffThread.h"
#include "capture/AudioCapture.h"


#include <cmath>

namespace tv::deck {

namespace {
constexpr int kListenEveryMs = 250;
constexpr double kFirstSoundDbfs = -50.0;
constexpr double kSlowestDeck = 0.95; // the side may take this much longer to play
constexpr double kAfterSideSeconds = 3.0;

} // namespace

SideVerifyRun::SideVerifyRun(QObject *parent) : QObject(parent)
{
    qRegisterMetaType<tv::deck::SideVerdict>();
    m_listening.setInterval(kListenEveryMs);
    connect(&m_listening, &QTimer::timeout, this, &SideVerifyRun::listen);
}

SideVerifyRun::~SideVerifyRun()
{
    stop();
}

void SideVerifyRun::setStep(Step step)
{
    if (m_step == step)
        return;
    m_step = step;
    emit stepChanged(step);
}

double SideVerifyRun::heardSeconds() const
{
    return double(m_heard.envelope().power.size()) * Envelope::kBlockSeconds;
}

void SideVerifyRun::start(const QByteArray &input, const QList<tv::levels::PlannedSong> &plan, const QStringList &names)
{
    stop();
    const quint64 generation = ++m_generation;
    m_heard.take();
    m_firstSoundBlock = -1;
    m_referenceReady = false;
    m_finishAsked = false;
    m_cancel = std::make_shared<std::atomic<bool>>(false);

    m_capture = std::make_unique<tv::media::AudioCapture>();
    connect(m_capture.get(), &tv::media::AudioCapture::failed, this, &SideVerifyRun::fail);
    m_capture->start(input);
    setStep(Step::Listening);
    m_listening.start();

    // The side as it was sent, rendered as the recording plays it.
    struct Rendered
    {
        SideReference reference;
        QString error;
    };
    const std::shared_ptr<std::atomic<bool>> cancel = m_cancel;
    runOffThread(
        this,
        [plan, names, cancel] {
            Rendered r;
            EnvelopeBuilder builder;
            const tv::levels::RenderOutcome outcome = tv::levels::renderSideTo(
                plan, [&builder](const qint16 *samples, qint64 frames, QString &) {
                    builder.addStereo(samples, frames);
                    return true;
                },
                {}, cancel.get());
            if (outcome.result != tv::levels::RenderOutcome::Result::Written) {
                r.error = outcome.error.isEmpty() ? QStringLiteral("The side could not be played to compare it with.") : outcome.error;
                return r;
            }
            r.reference.envelope = builder.take();
            for (qsizetype k = 0; k < outcome.songStarts.size(); ++k)
                r.reference.songs.append({k < names.size() ? names.at(k) : QStringLiteral("Song #%1").arg(k + 1),
                                          outcome.songStarts.at(k) / Envelope::kBlock, outcome.songFrames.at(k) / Envelope::kBlock});
            return r;
        },
        [this, generation](Rendered r) {
            if (generation == m_generation && m_step == Step::Listening)
                referenceReady(r.reference, r.error);
        });
}

void SideVerifyRun::referenceReady(const SideReference &reference, const QString &error)
{
    if (!error.isEmpty()) {
        fail(error);
        return;
    }
    m_reference = reference;
    m_referenceReady = true;
    listen();
}

void SideVerifyRun::listen()
{
    if (!m_capture)
        return;
    const std::vector<float> samples = m_capture->takeSamples();
    const std::size_t before = m_heard.envelope().power.size();
    m_heard.addMono(samples.data(), samples.size());
    const std::vector<float> &power = m_heard.envelope().power;
    if (m_firstSoundBlock < 0) {
        const double threshold = std::pow(10.0, kFirstSoundDbfs / 10.0) / 2.0;
        for (std::size_t i = before; i < power.size(); ++i)
            if (power[i] > threshold) {
                m_firstSoundBlock = qint64(i);
                break;
            }
    }
    if (!m_referenceReady)
        return;
    const double sideSeconds = double(m_reference.envelope.power.size()) * Envelope::kBlockSeconds;
    const double sinceSound = m_firstSoundBlock < 0 ? 0.0 : double(qint64(power.size()) - m_firstSoundBlock) * Envelope::kBlockSeconds;
    if (m_finishAsked || sinceSound >= sideSeconds / kSlowestDeck + kAfterSideSeconds)
        measure();
}

void SideVerifyRun::finish()
{
    if (m_step != Step::Listening)
        return;
    m_finishAsked = true;
    listen();
}

void SideVerifyRun::measure()
{
    const quint64 generation = ++m_generation;
    m_listening.stop();
    m_capture.reset();
    setStep(Step::Measuring);
    runOffThread(
        this, [reference = m_reference, heard = m_heard.take()] { return verifySide(reference, heard); },
        [this, generation](SideVerdict verdict) {
            if (generation != m_generation || m_step != Step::Measuring)
                return;
            setStep(Step::Idle);
            if (verdict.error.isEmpty())
                emit finished(verdict);
            else
                emit failed(verdict.error);
        });
}

void SideVerifyRun::fail(const QString &why)
{
    if (m_step == Step::Idle)
        return;
    stop();
    emit failed(why);
}

void SideVerifyRun::stop()
{
    ++m_generation;
    if (m_cancel)
        m_cancel->store(true);
    m_listening.stop();
    m_capture.reset();
    setStep(Step::Idle);
}

} // namespace tv::deck
