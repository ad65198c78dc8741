#include "AudioOutput.h"

#include "../source/SourceFactory.h"

namespace tv::media {

AudioOutput::AudioOutput(QObject *parent) : QObject(parent)
{
    m_thread.setObjectName(QStringLiteral("playback"));
    m_worker = new OutputWorker(m_shared);
    m_worker->moveToThread(&m_thread);
    connect(m_worker, &OutputWorker::finished, this, &AudioOutput::finished, Qt::QueuedConnection);
    connect(m_worker, &OutputWorker::failed, this, &AudioOutput::failed, Qt::QueuedConnection);
    m_thread.start(QThread::TimeCriticalPriority);
}

AudioOutput::~AudioOutput()
{
    OutputWorker *worker = m_worker;
    QMetaObject::invokeMethod(m_worker, [worker] { delete worker; }, Qt::BlockingQueuedConnection);
    m_thread.quit();
    m_thread.wait();
}

template <typename F> void AudioOutput::post(F &&f)
{
    QMetaObject::invokeMethod(m_worker, std::forward<F>(f), Qt::QueuedConnection);
}

void AudioOutput::startFile(quint64 serial, const QString &path, qint64 startMs, bool paused)
{
    m_shared.positionSerial = 0;
    post([w = m_worker, serial, path, startMs, paused] {
        QString error;
        std::shared_ptr<AudioSource> source = openSource(path, error);
        if (!source) {
            w->stopSong();
            emit w->failed(serial, error);
            return;
        }
        w->startSource(serial, std::move(source), startMs, paused);
    });
}

void AudioOutput::startSource(quint64 serial, std::shared_ptr<AudioSource> source, qint64 startMs, bool paused)
{
    m_shared.positionSerial = 0;
    post([w = m_worker, serial, source = std::move(source), startMs, paused]() mutable {
        w->startSource(serial, std::move(source), startMs, paused);
    });
}

void AudioOutput::setNextGap(qint64 gapMs) { post([w = m_worker, gapMs] { w->setNextGap(gapMs); }); }
void AudioOutput::pause() { post([w = m_worker] { w->pause(); }); }
void AudioOutput::resume() { post([w = m_worker] { w->resume(); }); }
void AudioOutput::stop() { m_shared.positionSerial = 0; post([w = m_worker] { w->stopSong(); }); }
void AudioOutput::seek(qint64 positionMs) { post([w = m_worker, positionMs] { w->seek(positionMs); }); }
void AudioOutput::setGain(double linear) { post([w = m_worker, linear] { w->setGain(linear); }); }
void AudioOutput::setKeepOpenMs(int ms) { post([w = m_worker, ms] { w->setKeepOpenMs(ms); }); }

qint64 AudioOutput::positionMs(quint64 serial) const
{
    return serial != 0 && m_shared.positionSerial == serial ? m_shared.positionMs.load() : 0;
}

} // namespace tv::media
