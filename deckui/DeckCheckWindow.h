#pragma once

#include "DeckCheckRun.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QRadioButton;

namespace tv::deckui {

class DeckPlot;
class InputChooser;

// The deck check's window: which input hears the deck and how many heads
// it has, Start and Stop, then the figures with a plot of the weighted
// speed deviation and of the frequency response, and a report to save.
class DeckCheckWindow : public QDialog
{
    Q_OBJECT
public:
    explicit DeckCheckWindow(QWidget *parent = nullptr);
    ~DeckCheckWindow() override;

    tv::deck::DeckCheckRun &run() { return m_run; }
    // The figures of a finished check, as after a run.
    void showReport(const tv::deck::DeckReport &report);
    QString reportText() const;
    bool saveReport(const QString &path, QString *error);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void cmdStart_Click();
    void cmdStop_Click();
    void cmdSave_Click();
    void stepChanged(tv::deck::DeckCheckRun::Step step);
    void runFailed(const QString &why);
    void clearFigures();

    tv::deck::DeckCheckRun m_run;
    InputChooser *m_cboInput = nullptr;
    QRadioButton *m_optThreeHeads = nullptr;
    QRadioButton *m_optTwoHeads = nullptr;
    QPushButton *m_cmdStart = nullptr;
    QPushButton *m_cmdStop = nullptr;
    QPushButton *m_cmdSave = nullptr;
    QLabel *m_lblStatus = nullptr;
    QLabel *m_lblSpeed = nullptr;
    QLabel *m_lblWeighted = nullptr;
    QLabel *m_lblUnweighted = nullptr;
    QLabel *m_lblLevel = nullptr;
    QLabel *m_lblNoise = nullptr;
    DeckPlot *m_plotFlutter = nullptr;
    DeckPlot *m_plotResponse = nullptr;
    std::optional<tv::deck::DeckReport> m_report;
    QString m_reportInput;
};

} // namespace tv::deckui
