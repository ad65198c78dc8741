#pragma once

#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <QThread>

namespace tv::deck {

// Runs work on a thread of its own and hands its result to done on owner's
// thread, but only while owner is still there. The result goes through a
// relay object that lives until it arrives, so the worker never posts to an
// object that may have gone meanwhile; owner is looked at on its own thread
// only.
template <typename Work, typename Done>
void runOffThread(QObject *owner, Work work, Done done)
{
    auto *relay = new QObject;
    relay->moveToThread(owner->thread());
    QPointer<QObject> guard(owner);
    QThread *worker = QThread::create([relay, guard, work = std::move(work), done = std::move(done)]() mutable {
        auto result = work();
        QMetaObject::invokeMethod(
            relay,
            [relay, guard, done = std::move(done), result = std::move(result)]() mutable {
                if (guard)
                    done(std::move(result));
                relay->deleteLater();
            },
            Qt::QueuedConnection);
    });
    QObject::connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    worker->start();
}

} // namespace tv::deck
