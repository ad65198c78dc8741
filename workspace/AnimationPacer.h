#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

namespace tv::workspace {

// Paces the fixed steps of a panel animation over a fixed time, so that it
// looks the same on a fast or a slow machine: after each step the window's
// events run, then the pacer waits until that step's moment has come.
class AnimationPacer
{
public:
    AnimationPacer(int steps, int totalMs) : m_steps(std::max(1, steps)), m_totalMs(totalMs) { m_clock.start(); }

    void stepDone(int step)
    {
        const qint64 due = qint64(m_totalMs) * (step + 1) / m_steps;
        do {
            QCoreApplication::processEvents(QEventLoop::AllEvents);
            if (m_clock.elapsed() < due)
                QThread::usleep(500);
        } while (m_clock.elapsed() < due);
    }

private:
    int m_steps;
    int m_totalMs;
    QElapsedTimer m_clock;
};

} // namespace tv::workspace
