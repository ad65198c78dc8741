#pragma once

#include "SideVerifyRun.h"

#include <QDialog>

#include <optional>

class QLabel;
class QPushButton;
class QTimer;
class QTreeWidget;

namespace tv::deckui {

class InputChooser;

// Verify a recorded side: the user plays the tape back into an input, and
// the window lists each song as found whole, cut short or missing, with its
// dropouts, then the tape's drift, its level and the loudest stretch
// against the calibration level; the findings can be saved as text.
class SideVerifyWindow : public QDialog
{
    Q_OBJECT
public:
    SideVerifyWindow(const QList<tv::levels::PlannedSong> &plan, const QStringList &names, const QString &side, double calibrationDbfs,
                     QWidget *parent = nullptr);
    ~SideVerifyWindow() override;

    tv::deck::SideVerifyRun &run() { return m_run; }
    void showVerdict(const tv::deck::SideVerdict &verdict);
    QString reportText() const;
    bool saveReport(const QString &path, QString *error);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void stepChanged(tv::deck::SideVerifyRun::Step step);
    void cmdSave_Click();

    QList<tv::levels::PlannedSong> m_plan;
    QStringList m_names;
    QString m_side;
    double m_calibrationDbfs;
    tv::deck::SideVerifyRun m_run;
    InputChooser *m_cboInput = nullptr;
    QPushButton *m_cmdStart = nullptr;
    QPushButton *m_cmdFinish = nullptr;
    QPushButton *m_cmdStop = nullptr;
    QPushButton *m_cmdSave = nullptr;
    QLabel *m_lblStatus = nullptr;
    QTreeWidget *m_lstSongs = nullptr;
    QLabel *m_lblDrift = nullptr;
    QLabel *m_lblLevel = nullptr;
    QLabel *m_lblLoudest = nullptr;
    QTimer *m_progress = nullptr;
    std::optional<tv::deck::SideVerdict> m_verdict;
    QString m_input;
};

} // namespace tv::deckui
