#include "LevelsQueue.h"

#include "LevelsCache.h"
#include "MeasureSong.h"

#include <pthread.h>

namespace tv::levels {

LevelsQueue::LevelsQueue(LevelsCache &cache, QObject *parent) : QObject(parent), m_cache(cache), m_thread([this] { run(); }) {}

LevelsQueue::~LevelsQueue()
{
    m_quit = true; // also ends a measuring under way
    m_wake.notify_one();
    m_thread.join();
}

void LevelsQueue::enqueue(const QString &path)
{
    ++m_pending;
    {
        const std::lock_guard lock(m_mutex);
        m_paths.push_back(path);
    }
    m_wake.notify_one();
}

void LevelsQueue::run()
{
    // Measuring yields to everything else, above all to the decoding of a
    // recording.
    sched_param idle{};
    pthread_setschedparam(pthread_self(), SCHED_IDLE, &idle);
    for (;;) {
        QString path;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return m_quit.load() || !m_paths.empty(); });
            if (m_quit)
                return;
            path = m_paths.front();
            m_paths.pop_front();
        }
        std::optional<SongLevels> levels = m_cache.find(path);
        QString error;
        if (!levels) {
            levels = measureSong(path, error, &m_quit);
            if (m_quit)
                return;
            if (levels)
                m_cache.store(path, *levels);
        }
        QMetaObject::invokeMethod(this, [this, path, levels, error] {
            --m_pending;
            if (levels)
                emit measured(path, *levels);
            else
                emit failed(path, error);
        }, Qt::QueuedConnection);
    }
}

} // namespace tv::levels
