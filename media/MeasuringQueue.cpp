#include "MeasuringQueue.h"

#include "probe/Measure.h"

namespace tv::media {

MeasuringQueue::MeasuringQueue(QObject *parent) : QObject(parent)
{
    m_thread = std::thread([this] { run(); });
}

MeasuringQueue::~MeasuringQueue()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
        m_pending.clear();
    }
    m_wake.notify_all();
    m_thread.join();
    // Answers still queued for this object are dropped with it.
}

void MeasuringQueue::append(const QStringList &paths)
{
    {
        const std::lock_guard lock(m_mutex);
        for (const QString &path : paths)
            m_pending.push_back(path);
    }
    m_wake.notify_all();
}

void MeasuringQueue::cancel()
{
    m_cancelled = true;
    const std::lock_guard lock(m_mutex);
    m_pending.clear();
}

void MeasuringQueue::run()
{
    while (true) {
        QString path;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return m_stopping || !m_pending.empty(); });
            if (m_stopping)
                return;
            path = m_pending.front();
            m_pending.pop_front();
        }
        const Duration d = measureFile(path);
        const int index = m_nextIndex++;
        // Posted to this object, so the answer runs on the owner's thread
        // and vanishes with the queue if the queue goes first.
        QMetaObject::invokeMethod(
            this, [this, index, path, d] { deliver(index, path, d.seconds.value_or(0.0), d.ok() ? QString() : d.error); },
            Qt::QueuedConnection);
    }
}

void MeasuringQueue::deliver(int index, const QString &path, double seconds, const QString &error)
{
    if (!m_cancelled)
        emit measured(index, path, seconds, error);
}

} // namespace tv::media
