#pragma once

#include <QObject>
#include <QStringList>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace tv::media {

// Measures sound files one after the other on a thread of its own, in the
// order they were appended, so that the UI thread never waits on a slow
// disk or a damaged file. Every public member is called on the thread that
// made the queue; measured() reaches that thread, queued, once per file and
// in order (index counts the files appended, from 0).
class MeasuringQueue : public QObject
{
    Q_OBJECT
public:
    explicit MeasuringQueue(QObject *parent = nullptr);
    // Cancels, then waits for the file being measured (a file answers
    // within about a second).
    ~MeasuringQueue() override;

    void append(const QStringList &paths);
    // Files not yet measured are dropped and no measured() follows, not even
    // for a file whose answer is already on its way.
    void cancel();

signals:
    // seconds is valid when error is empty; error is a full sentence.
    void measured(int index, const QString &path, double seconds, const QString &error);

private:
    void run();
    void deliver(int index, const QString &path, double seconds, const QString &error);

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<QString> m_pending; // guarded by m_mutex
    bool m_stopping = false;       // guarded by m_mutex
    int m_nextIndex = 0;           // worker thread only
    bool m_cancelled = false;      // owner's thread only
    std::thread m_thread;
};

} // namespace tv::media
