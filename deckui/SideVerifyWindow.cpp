#include "SideVerifyWindow.h"

#include "InputChooser.h"
#include "ReportFile.h"
#include "SideVerdictText.h"

#include <QCloseEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace tv::deckui {

namespace {
using Step = tv::deck::SideVerifyRun::Step;

QString minutesText(double seconds)
{
    const int s = static_cast<int>(seconds);
    return QStringLiteral("%1:%2").arg(s / 60, 2, 10, QLatin1Char('0')).arg(s % 60, 2, 10, QLatin1Char('0'));
}
} // namespace

SideVerifyWindow::SideVerifyWindow(const QList<tv::levels::PlannedSong> &plan, const QStringList &names, const QString &side,
                                   double calibrationDbfs, QWidget *parent)
    : QDialog(parent), m_plan(plan), m_names(names), m_side(side), m_calibrationDbfs(calibrationDbfs)
{
    setObjectName(QStringLiteral("frmVerifySide"));
    setWindowTitle(QStringLiteral("Verify %1").arg(side));

    auto *intro = new QLabel(QStringLiteral("Rewind the tape to the start of %1 and wire the deck's line out to an input of the computer. "
                                            "Click Start, then press play on the deck. The verify ends by itself once the side has "
                                            "played; click Finish if the tape ends sooner.")
                                 .arg(side),
                             this);
    intro->setWordWrap(true);
    m_cboInput = new InputChooser(QStringLiteral("DeckCheck"), this);
    m_cboInput->setObjectName(QStringLiteral("cboInput"));
    auto *setup = new QFormLayout;
    setup->addRow(QStringLiteral("Input:"), m_cboInput);

    const auto button = [this](const char *name, const QString &caption) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        return b;
    };
    m_cmdStart = button("cmdStart", QStringLiteral("Start"));
    m_cmdFinish = button("cmdFinish", QStringLiteral("Finish"));
    m_cmdStop = button("cmdStop", QStringLiteral("Stop"));
    m_cmdSave = button("cmdSave", QStringLiteral("Save Report..."));
    auto *cmdClose = button("cmdClose", QStringLiteral("Close"));
    auto *buttons = new QHBoxLayout;
    for (QPushButton *b : {m_cmdStart, m_cmdFinish, m_cmdStop})
        buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(m_cmdSave);
    buttons->addWidget(cmdClose);

    m_lblStatus = new QLabel(this);
    m_lblStatus->setObjectName(QStringLiteral("lblStatus"));
    m_lblStatus->setWordWrap(true);

    m_lstSongs = new QTreeWidget(this);
    m_lstSongs->setObjectName(QStringLiteral("lstSongs"));
    m_lstSongs->setRootIsDecorated(false);
    m_lstSongs->setHeaderLabels({QStringLiteral("#"), QStringLiteral("Song"), QStringLiteral("Found"), QStringLiteral("Dropouts")});
    m_lstSongs->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_lstSongs->header()->setStretchLastSection(true);
    for (int k = 0; k < names.size(); ++k)
        new QTreeWidgetItem(m_lstSongs, {QString::number(k + 1), names.at(k), QString(), QString()});

    const auto figure = [this](const char *name) {
        auto *l = new QLabel(QStringLiteral("\u2013"), this);
        l->setObjectName(QString::fromLatin1(name));
        l->setTextInteractionFlags(Qt::TextSelectableByMouse);
        l->setWordWrap(true);
        return l;
    };
    m_lblDrift = figure("lblDrift");
    m_lblLevel = figure("lblLevel");
    m_lblLoudest = figure("lblLoudest");
    auto *figures = new QFormLayout;
    figures->addRow(QStringLiteral("Time drift:"), m_lblDrift);
    figures->addRow(QStringLiteral("Level:"), m_lblLevel);
    figures->addRow(QStringLiteral("Loudest stretch:"), m_lblLoudest);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addLayout(setup);
    layout->addLayout(buttons);
    layout->addWidget(m_lblStatus);
    layout->addWidget(m_lstSongs, 1);
    layout->addLayout(figures);
    const QFontMetrics fm = fontMetrics();
    resize(fm.horizontalAdvance(QLatin1Char('0')) * 95, fm.height() * 30);

    m_progress = new QTimer(this);
    m_progress->setInterval(500);
    connect(m_progress, &QTimer::timeout, this, [this] {
        m_lblStatus->setText(QStringLiteral("Listening... %1 heard.").arg(minutesText(m_run.heardSeconds())));
    });
    connect(m_cmdStart, &QPushButton::clicked, this, [this] {
        m_cboInput->remember();
        m_input = m_cboInput->currentText();
        m_verdict.reset();
        m_run.start(m_cboInput->input(), m_plan, m_names);
    });
    connect(m_cmdFinish, &QPushButton::clicked, &m_run, &tv::deck::SideVerifyRun::finish);
    connect(m_cmdStop, &QPushButton::clicked, this, [this] {
        m_run.stop();
        m_lblStatus->setText(QStringLiteral("Stopped."));
    });
    connect(m_cmdSave, &QPushButton::clicked, this, &SideVerifyWindow::cmdSave_Click);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::close);
    connect(&m_run, &tv::deck::SideVerifyRun::stepChanged, this, &SideVerifyWindow::stepChanged);
    connect(&m_run, &tv::deck::SideVerifyRun::finished, this, &SideVerifyWindow::showVerdict);
    connect(&m_run, &tv::deck::SideVerifyRun::failed, this, [this](const QString &why) { m_lblStatus->setText(why); });
    connect(m_cboInput, &InputChooser::listed, this, [this](const QString &error) {
        if (!error.isEmpty())
            m_lblStatus->setText(error);
        stepChanged(m_run.step());
    });
    stepChanged(Step::Idle);
}

SideVerifyWindow::~SideVerifyWindow() = default;

void SideVerifyWindow::stepChanged(Step step)
{
    const bool idle = step == Step::Idle;
    m_cmdStart->setEnabled(idle && !m_cboInput->input().isEmpty());
    m_cboInput->setEnabled(idle && !m_cboInput->input().isEmpty());
    m_cmdFinish->setEnabled(step == Step::Listening);
    m_cmdStop->setEnabled(!idle);
    m_cmdSave->setEnabled(idle && m_verdict.has_value());
    if (step == Step::Listening) {
        m_progress->start();
        m_lblStatus->setText(QStringLiteral("Listening... press play on the deck."));
    } else {
        m_progress->stop();
    }
    if (step == Step::Measuring)
        m_lblStatus->setText(QStringLiteral("Measuring..."));
}

void SideVerifyWindow::showVerdict(const tv::deck::SideVerdict &verdict)
{
    m_verdict = verdict;
    for (int k = 0; k < m_lstSongs->topLevelItemCount() && k < verdict.songs.size(); ++k) {
        QTreeWidgetItem *item = m_lstSongs->topLevelItem(k);
        const tv::deck::SongCheck &song = verdict.songs.at(k);
        item->setText(2, tv::deck::songFoundText(song));
        item->setText(3, tv::deck::dropoutsText(song));
        item->setToolTip(3, tv::deck::dropoutsText(song)); // a long list shows whole here
        // A song the tape does not hold whole stands out.
        const bool bad = song.found != tv::deck::SongCheck::Found::Whole || !song.dropouts.isEmpty();
        for (int c = 0; c < 4; ++c)
            item->setForeground(c, bad ? QBrush(Qt::red) : palette().text());
    }
    m_lblDrift->setText(tv::deck::driftText(verdict));
    m_lblLevel->setText(tv::deck::gainText(verdict));
    m_lblLoudest->setText(tv::deck::loudestText(verdict, m_calibrationDbfs));
    int whole = 0;
    for (const tv::deck::SongCheck &s : verdict.songs)
        whole += s.found == tv::deck::SongCheck::Found::Whole && s.dropouts.isEmpty();
    m_lblStatus->setText(whole == verdict.songs.size() ? QStringLiteral("Done: every song is on the tape whole.")
                                                      : QStringLiteral("Done: %1 of %2 songs are on the tape whole.").arg(whole).arg(verdict.songs.size()));
    m_cmdSave->setEnabled(m_run.step() == Step::Idle);
}

QString SideVerifyWindow::reportText() const
{
    return m_verdict ? tv::deck::sideVerdictText(*m_verdict, m_side, m_input, m_calibrationDbfs, QDateTime::currentDateTime()) : QString();
}

bool SideVerifyWindow::saveReport(const QString &path, QString *error)
{
    return writeReport(path, reportText(), error);
}

void SideVerifyWindow::cmdSave_Click()
{
    if (m_verdict)
        askAndSaveReport(this, QStringLiteral("Verify of %1.txt").arg(m_side), reportText());
}

void SideVerifyWindow::closeEvent(QCloseEvent *event)
{
    m_run.stop();
    QDialog::closeEvent(event);
}

} // namespace tv::deckui
