#include "Realtime.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>
#include <QMutex>

#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace tv::media {

namespace {

constexpr int kRealtimePriority = 10; // well below the sound server's own
constexpr int kNiceLevel = -11;       // what desktop sound servers ask for

QMutex g_mutex;
QString g_obtained = QStringLiteral("not raised yet");

QString remember(const QString &what)
{
    const QMutexLocker lock(&g_mutex);
    g_obtained = what;
    return what;
}

bool realtimeKit(const char *method, qint64 thread, QVariant level)
{
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected())
        return false;
    QDBusInterface kit(QStringLiteral("org.freedesktop.RealtimeKit1"), QStringLiteral("/org/freedesktop/RealtimeKit1"),
                       QStringLiteral("org.freedesktop.RealtimeKit1"), bus);
    if (!kit.isValid())
        return false;
    kit.setTimeout(500);
    const QDBusMessage reply = kit.call(QLatin1String(method), QVariant::fromValue(quint64(thread)), level);
    return reply.type() == QDBusMessage::ReplyMessage;
}

} // namespace

QString raiseThreadForAudio()
{
    sched_param param{};
    param.sched_priority = kRealtimePriority;
    if (pthread_setschedparam(pthread_self(), SCHED_FIFO | SCHED_RESET_ON_FORK, &param) == 0)
        return remember(QStringLiteral("real-time (SCHED_FIFO %1)").arg(kRealtimePriority));

    const qint64 thread = qint64(syscall(SYS_gettid));
    // RealtimeKit grants real time only to processes that limit their
    // real-time CPU time, so that a runaway thread cannot freeze the desktop.
    rlimit limit{};
    if (getrlimit(RLIMIT_RTTIME, &limit) == 0 && (limit.rlim_max == RLIM_INFINITY || limit.rlim_max > 200000)) {
        limit.rlim_cur = limit.rlim_max = 200000;
        setrlimit(RLIMIT_RTTIME, &limit);
    }
    if (realtimeKit("MakeThreadRealtime", thread, QVariant::fromValue(quint32(kRealtimePriority))))
        return remember(QStringLiteral("real-time through RealtimeKit (SCHED_RR %1)").arg(kRealtimePriority));
    if (setpriority(PRIO_PROCESS, id_t(thread), kNiceLevel) == 0)
        return remember(QStringLiteral("raised (nice %1)").arg(kNiceLevel));
    if (realtimeKit("MakeThreadHighPriority", thread, QVariant::fromValue(qint32(kNiceLevel))))
        return remember(QStringLiteral("raised through RealtimeKit (nice %1)").arg(kNiceLevel));
    return remember(QStringLiteral("normal (the system grants no higher priority)"));
}

QString audioThreadPriority()
{
    const QMutexLocker lock(&g_mutex);
    return g_obtained;
}

} // namespace tv::media
