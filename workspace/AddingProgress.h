#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <QString>

class QEventLoop;
class QProgressDialog;
class QWidget;

namespace tv::workspace {

// What the window shows while songs are measured on the measuring thread:
// the busy pointer at once and, when adding takes longer than half a
// second, a progress dialog with Cancel. wait() runs the window's events
// meanwhile, so it keeps painting; before the dialog shows, no user input is
// taken (the adding runs to its end as one action), and once it shows, the
// dialog is modal and only its Cancel can be pressed.
class AddingProgress
{
public:
    AddingProgress(QWidget *window, const QString &title, int total);
    ~AddingProgress();
    AddingProgress(const AddingProgress &) = delete;
    AddingProgress &operator=(const AddingProgress &) = delete;

    // done songs of total are handled; shows the dialog once it is due and
    // lets the window paint.
    void setDone(int done);
    void setTotal(int total);
    // Runs events until wake() is called (from an event), the user cancels,
    // or the program is ending.
    void wait();
    void wake();
    // The user pressed Cancel, or the program is ending.
    bool stopped() const;
    bool dialogShown() const;

    // How long adding runs before the dialog shows (500 ms); tests shorten it.
    static void setDialogDelayMs(int ms);

private:
    void showWhenDue();
    void runEvents();
    void quitLoop();

    QWidget *m_window;
    QString m_title;
    int m_total;
    QElapsedTimer m_clock;
    qint64 m_lastEventsMs = 0;
    QPointer<QProgressDialog> m_dialog;
    bool m_woken = false;
    bool m_stopped = false;
    bool m_ownQuit = false;
    QEventLoop *m_loop = nullptr;
};

} // namespace tv::workspace
