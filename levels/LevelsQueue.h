#pragma once

#include "SongLevels.h"

#include <QObject>
#include <QStringList>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace tv::levels {

class LevelsCache;

// Measures songs one after the other on a thread of its own, at low
// priority, so that adding a song never waits for its loudness. A song the
// cache knows costs nothing. Results arrive as queued signals on the thread
// that made the queue.
class LevelsQueue : public QObject
{
    Q_OBJECT
public:
    explicit LevelsQueue(LevelsCache &cache, QObject *parent = nullptr);
    ~LevelsQueue() override;

    void enqueue(const QString &path);
    // Songs asked for and not reported yet.
    int pending() const { return m_pending.load(); }

signals:
    void measured(const QString &path, const tv::levels::SongLevels &levels);
    void failed(const QString &path, const QString &error);

private:
    void run();

    LevelsCache &m_cache;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<QString> m_paths;
    std::atomic<bool> m_quit{false};
    std::atomic<int> m_pending{0};
    std::thread m_thread; // last: starts after everything above exists
};

} // namespace tv::levels
