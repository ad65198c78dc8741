#include "AddingProgress.h"

#include <QApplication>
#include <QEventLoop>
#include <QProgressDialog>
#include <QTimer>

namespace tv::workspace {

namespace {

int g_dialogDelayMs = 500;
// While the dialog shows, events run at least this often, so that the
// window and the dialog repaint even when the answers come quickly.
constexpr int kEventsEveryMs = 30;

} // namespace

void AddingProgress::setDialogDelayMs(int ms)
{
    g_dialogDelayMs = ms;
}

AddingProgress::AddingProgress(QWidget *window, const QString &title, int total) : m_window(window), m_title(title), m_total(total)
{
    m_clock.start();
}

AddingProgress::~AddingProgress()
{
    delete m_dialog;
}

bool AddingProgress::stopped() const
{
    return m_stopped || (m_dialog && m_dialog->wasCanceled());
}

bool AddingProgress::dialogShown() const
{
    return m_dialog && m_dialog->isVisible();
}

void AddingProgress::setTotal(int total)
{
    m_total = total;
    if (m_dialog)
        m_dialog->setMaximum(total);
}

void AddingProgress::showWhenDue()
{
    if (m_dialog || m_clock.elapsed() < g_dialogDelayMs)
        return;
    m_dialog = new QProgressDialog(QStringLiteral("Measuring the songs to add..."), QStringLiteral("Cancel"), 0, m_total, m_window);
    m_dialog->setObjectName(QStringLiteral("AddingProgress"));
    m_dialog->setWindowTitle(m_title);
    m_dialog->setWindowModality(Qt::WindowModal);
    m_dialog->setAutoClose(false);
    m_dialog->setAutoReset(false);
    m_dialog->setMinimumDuration(0);
    QObject::connect(m_dialog, &QProgressDialog::canceled, m_dialog, [this] {
        m_stopped = true;
        quitLoop();
    });
    m_dialog->show();
}

void AddingProgress::setDone(int done)
{
    showWhenDue();
    if (m_dialog) {
        m_dialog->setLabelText(QStringLiteral("Measuring the songs to add: %1 of %2").arg(done).arg(m_total));
        m_dialog->setValue(done);
    }
    if (m_clock.elapsed() - m_lastEventsMs >= kEventsEveryMs)
        runEvents();
}

void AddingProgress::runEvents()
{
    m_lastEventsMs = m_clock.elapsed();
    QCoreApplication::processEvents(dialogShown() ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
}

void AddingProgress::wait()
{
    m_woken = false;
    while (!m_woken && !stopped()) {
        showWhenDue();
        QEventLoop loop;
        m_loop = &loop;
        m_ownQuit = false;
        // Wakes up now and then to put the dialog up when it is due.
        const int checkMs = m_dialog ? 1000 : std::max(1, g_dialogDelayMs - int(m_clock.elapsed()));
        QTimer::singleShot(checkMs, &loop, [this] { quitLoop(); });
        loop.exec(dialogShown() ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
        m_loop = nullptr;
        // A loop that ended without being told to by this class: the
        // program's exit ends every running event loop.
        const bool ending = !m_ownQuit || QCoreApplication::closingDown();
        m_lastEventsMs = m_clock.elapsed();
        if (ending)
            m_stopped = true; // the program ends: what was added stays, the rest is left
    }
}

void AddingProgress::wake()
{
    m_woken = true;
    quitLoop();
}

void AddingProgress::quitLoop()
{
    m_ownQuit = true;
    if (m_loop)
        m_loop->quit();
}

} // namespace tv::workspace
