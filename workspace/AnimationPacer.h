#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

namespace tv::workspace {

// Paces the fixed steps of a panel animation over a fixed time, so that it
// looks the same on a fast or a slow machine: after each step the window's
// events run, then the pacer waits until that step's moment has come.
// Once hurry is set (the window is to close), the remaining steps run at once
// without letting events run, so the animation reaches its end state quickly.
class AnimationPacer
{
public:
    AnimationPacer(int steps, int totalMs, const bool &hurry) : m_steps(std::max(1, steps)), m_totalMs(totalMs), m_hurry(hurry)
    {
        m_clock.start();
    }
    // An animation that never has to hurry (its window waits for it).
    AnimationPacer(int steps, int totalMs) : AnimationPacer(steps, totalMs, kNeverHurry) {}

    void stepDone(int step)
    {
        const qint64 due = qint64(m_totalMs) * (step + 1) / m_steps;
        while (!m_hurry) {
            QCoreApplication::processEvents(QEventLoop::AllEvents);
            if (m_hurry || m_clock.elapsed() >= due)
                break;
            QThread::usleep(500);
        }
    }

private:
    static constexpr bool kNeverHurry = false;
    int m_steps;
    int m_totalMs;
    const bool &m_hurry;
    QElapsedTimer m_clock;
};

} // namespace tv::workspace
