#include "DeckCheckWindow.h"

#include "DeckPlot.h"
#include "DeckReportText.h"
#include "DeckSignal.h"
#include "InputChooser.h"
#include "ReportFile.h"
#include "Settings.h"

#include <QCloseEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <cmath>

namespace tv::deckui {

namespace {
const QString kSection = QStringLiteral("DeckCheck");
using Step = tv::deck::DeckCheckRun::Step;
using Heads = tv::deck::DeckCheckRun::Heads;
} // namespace

DeckCheckWindow::DeckCheckWindow(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmDeckCheck"));
    setWindowTitle(QStringLiteral("Deck Check"));

    auto *intro = new QLabel(QStringLiteral("Wire the deck's line in to the computer's sound output and its line out to an input "
                                            "of the computer. Start the deck recording on a blank stretch of tape, then click Start."),
                             this);
    intro->setWordWrap(true);

    m_cboInput = new InputChooser(kSection, this);
    m_cboInput->setObjectName(QStringLiteral("cboInput"));
    m_optThreeHeads = new QRadioButton(QStringLiteral("Three heads: heard from the tape while it records"), this);
    m_optThreeHeads->setObjectName(QStringLiteral("optThreeHeads"));
    m_optTwoHeads = new QRadioButton(QStringLiteral("Two heads: the tape is played back after the recording"), this);
    m_optTwoHeads->setObjectName(QStringLiteral("optTwoHeads"));
    (tv::shell::getSetting(kSection, QStringLiteral("Heads")) == QLatin1String("2") ? m_optTwoHeads : m_optThreeHeads)->setChecked(true);

    auto *setup = new QFormLayout;
    setup->addRow(QStringLiteral("Input:"), m_cboInput);
    auto *heads = new QVBoxLayout;
    heads->addWidget(m_optThreeHeads);
    heads->addWidget(m_optTwoHeads);
    setup->addRow(QStringLiteral("Deck:"), heads);

    m_cmdStart = new QPushButton(QStringLiteral("Start"), this);
    m_cmdStart->setObjectName(QStringLiteral("cmdStart"));
    m_cmdStop = new QPushButton(QStringLiteral("Stop"), this);
    m_cmdStop->setObjectName(QStringLiteral("cmdStop"));
    m_cmdSave = new QPushButton(QStringLiteral("Save Report..."), this);
    m_cmdSave->setObjectName(QStringLiteral("cmdSave"));
    auto *cmdClose = new QPushButton(QStringLiteral("Close"), this);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_cmdStart);
    buttons->addWidget(m_cmdStop);
    buttons->addStretch();
    buttons->addWidget(m_cmdSave);
    buttons->addWidget(cmdClose);

    m_lblStatus = new QLabel(this);
    m_lblStatus->setObjectName(QStringLiteral("lblStatus"));
    m_lblStatus->setWordWrap(true);

    const auto figure = [this](const char *name) {
        auto *label = new QLabel(this);
        label->setObjectName(QString::fromLatin1(name));
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        return label;
    };
    m_lblSpeed = figure("lblSpeed");
    m_lblWeighted = figure("lblWeighted");
    m_lblUnweighted = figure("lblUnweighted");
    m_lblLevel = figure("lblLevel");
    m_lblNoise = figure("lblNoise");
    auto *figures = new QFormLayout;
    figures->addRow(QStringLiteral("Speed:"), m_lblSpeed);
    figures->addRow(QStringLiteral("Wow and flutter, weighted peak (2\u03c3):"), m_lblWeighted);
    figures->addRow(QStringLiteral("Wow and flutter, unweighted RMS:"), m_lblUnweighted);
    figures->addRow(QStringLiteral("Level of the 1 kHz tone:"), m_lblLevel);
    figures->addRow(QStringLiteral("Noise floor:"), m_lblNoise);

    m_plotFlutter = new DeckPlot(QStringLiteral("Weighted speed deviation (%) over seconds"), false, this);
    m_plotFlutter->setObjectName(QStringLiteral("plotFlutter"));
    m_plotResponse = new DeckPlot(QStringLiteral("Frequency response against 1 kHz (dB)"), true, this);
    m_plotResponse->setObjectName(QStringLiteral("plotResponse"));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addLayout(setup);
    layout->addLayout(buttons);
    layout->addWidget(m_lblStatus);
    layout->addLayout(figures);
    layout->addWidget(m_plotFlutter, 1);
    layout->addWidget(m_plotResponse, 1);

    connect(m_cmdStart, &QPushButton::clicked, this, &DeckCheckWindow::cmdStart_Click);
    connect(m_cmdStop, &QPushButton::clicked, this, &DeckCheckWindow::cmdStop_Click);
    connect(m_cmdSave, &QPushButton::clicked, this, &DeckCheckWindow::cmdSave_Click);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::close);
    connect(&m_run, &tv::deck::DeckCheckRun::stepChanged, this, &DeckCheckWindow::stepChanged);
    connect(&m_run, &tv::deck::DeckCheckRun::finished, this, &DeckCheckWindow::showReport);
    connect(&m_run, &tv::deck::DeckCheckRun::failed, this, &DeckCheckWindow::runFailed);

    connect(m_cboInput, &InputChooser::listed, this, [this](const QString &error) {
        if (!error.isEmpty())
            m_lblStatus->setText(error);
        stepChanged(m_run.step());
    });
    clearFigures();
    stepChanged(Step::Idle);
}

DeckCheckWindow::~DeckCheckWindow() = default;

void DeckCheckWindow::cmdStart_Click()
{
    const QByteArray input = m_cboInput->input();
    if (input.isEmpty())
        return;
    const bool two = m_optTwoHeads->isChecked();
    m_cboInput->remember();
    tv::shell::saveSetting(kSection, QStringLiteral("Heads"), two ? QStringLiteral("2") : QStringLiteral("3"));
    m_report.reset();
    m_reportInput = m_cboInput->currentText();
    clearFigures();
    m_run.start(input, two ? Heads::Two : Heads::Three);
}

void DeckCheckWindow::cmdStop_Click()
{
    m_run.stop();
    m_lblStatus->setText(QStringLiteral("Stopped."));
}

void DeckCheckWindow::stepChanged(Step step)
{
    const bool idle = step == Step::Idle;
    m_cmdStart->setEnabled(idle && !m_cboInput->input().isEmpty());
    m_cboInput->setEnabled(idle && !m_cboInput->input().isEmpty());
    m_optThreeHeads->setEnabled(idle);
    m_optTwoHeads->setEnabled(idle);
    m_cmdStop->setEnabled(!idle);
    m_cmdSave->setEnabled(idle && m_report.has_value());
    const int seconds = static_cast<int>(std::ceil(tv::deck::deckSignalSeconds()));
    switch (step) {
    case Step::Idle:
        if (!m_report)
            m_lblStatus->setText(QString());
        break;
    case Step::Connecting:
        m_lblStatus->setText(QStringLiteral("Opening the input..."));
        break;
    case Step::Sending:
        m_lblStatus->setText(m_optTwoHeads->isChecked()
                                 ? QStringLiteral("Recording the test signal on the deck (%1 seconds)...").arg(seconds)
                                 : QStringLiteral("Recording the test signal on the deck (%1 seconds) and listening to the tape...").arg(seconds));
        break;
    case Step::WaitingForPlayback:
        m_lblStatus->setText(QStringLiteral("Stop the deck, rewind the tape to where the check began and press play."));
        break;
    case Step::Analysing:
        m_lblStatus->setText(QStringLiteral("Measuring..."));
        break;
    }
}

void DeckCheckWindow::runFailed(const QString &why)
{
    m_lblStatus->setText(why);
}

void DeckCheckWindow::clearFigures()
{
    for (QLabel *l : {m_lblSpeed, m_lblWeighted, m_lblUnweighted, m_lblLevel, m_lblNoise})
        l->setText(QStringLiteral("\u2013"));
    m_plotFlutter->clear();
    m_plotResponse->clear();
}

void DeckCheckWindow::showReport(const tv::deck::DeckReport &report)
{
    m_report = report;
    m_lblSpeed->setText(tv::deck::speedText(report));
    m_lblWeighted->setText(tv::deck::weightedFlutterText(report));
    m_lblUnweighted->setText(tv::deck::unweightedFlutterText(report));
    m_lblLevel->setText(tv::deck::levelText(report));
    m_lblNoise->setText(tv::deck::noiseFloorText(report));

    QVector<QPointF> flutter;
    const auto &w = report.flutter.weightedPercent;
    const std::size_t every = std::max<std::size_t>(1, w.size() / 2000); // a point a pixel is plenty
    for (std::size_t i = 0; i < w.size(); i += every)
        flutter.append({static_cast<double>(i) / report.flutter.rate, w[i]});
    const double bound = std::max(0.05, report.flutter.weightedPeakPercent * 1.5);
    m_plotFlutter->setCurve(flutter, -bound, bound);
    QVector<QPointF> response;
    for (const tv::deck::ResponsePoint &p : report.response)
        response.append({p.hz, p.db});
    m_plotResponse->setCurve(response, -6.0, 3.0);
    m_lblStatus->setText(QStringLiteral("Done. Stop the deck."));
    m_cmdSave->setEnabled(m_run.step() == Step::Idle);
}

QString DeckCheckWindow::reportText() const
{
    return m_report ? tv::deck::deckReportText(*m_report, m_reportInput, QDateTime::currentDateTime()) : QString();
}

bool DeckCheckWindow::saveReport(const QString &path, QString *error)
{
    return writeReport(path, reportText(), error);
}

void DeckCheckWindow::cmdSave_Click()
{
    if (m_report)
        askAndSaveReport(this, QStringLiteral("Deck check.txt"), reportText());
}

void DeckCheckWindow::closeEvent(QCloseEvent *event)
{
    m_run.stop();
    QDialog::closeEvent(event);
}

} // namespace tv::deckui
