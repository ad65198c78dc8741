#pragma once

#include "SidePlan.h"
#include "SideVerify.h"

#include <QByteArray>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include <atomic>
#include <memory>

namespace tv::media {
class AudioCapture;
}

namespace tv::deck {

// One verify of a recorded side: the side's plan is rendered (off the
// window's thread) to the envelope the deck was sent, while the chosen
// input listens to the tape's playback; once the side's length has been
// heard after its first sound, or when the user says the tape has ended,
// the playback is measured against the plan.
class SideVerifyRun : public QObject
{
    Q_OBJECT
public:
    enum class Step { Idle, Listening, Measuring };

    explicit SideVerifyRun(QObject *parent = nullptr);
    ~SideVerifyRun() override;

    void start(const QByteArray &input, const QList<tv::levels::PlannedSong> &plan, const QStringList &names);
    // The tape has ended: measure what was heard.
    void finish();
    void stop();
    Step step() const { return m_step; }
    double heardSeconds() const;

signals:
    void stepChanged(tv::deck::SideVerifyRun::Step step);
    void finished(const tv::deck::SideVerdict &verdict);
    void failed(const QString &why);

private:
    void setStep(Step step);
    void listen();
    void referenceReady(const SideReference &reference, const QString &error);
    void measure();
    void fail(const QString &why);

    Step m_step = Step::Idle;
    std::unique_ptr<tv::media::AudioCapture> m_capture;
    QTimer m_listening;
    EnvelopeBuilder m_heard;
    qint64 m_firstSoundBlock = -1;
    bool m_referenceReady = false;
    bool m_finishAsked = false;
    SideReference m_reference;
    std::shared_ptr<std::atomic<bool>> m_cancel;
    quint64 m_generation = 0;
};

} // namespace tv::deck

Q_DECLARE_METATYPE(tv::deck::SideVerdict)
