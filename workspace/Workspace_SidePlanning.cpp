// Planning the sides beyond their read-outs: the songs that run past a
// side's end drawn in the warning colour, and moving the split between the
// cassette's two sides (balanced, or Side A filled first).
#include "Workspace.h"

#include "MessageBox.h"
#include "PlayListBox.h"
#include "Settings.h"
#include "SidePlanning.h"
#include "SongEntry.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>

namespace tv::workspace {

namespace {
constexpr QRgb kPastTheEndText = qRgb(0xFF, 0, 0); // the read-out's warning colour
} // namespace

QList<qint64> Workspace::songSeconds(int side) const
{
    QList<qint64> seconds;
    for (int i = 0; i < m_lstPlayList[side]->count(); ++i) {
        tv::core::SongEntry entry;
        seconds << (tv::core::SongEntry::parse(m_lstPlayList[side]->item(i)->text(), entry) ? entry.seconds : 0);
    }
    return seconds;
}

void Workspace::markSongsPastTheEnd(int side, qint64 delaySeconds)
{
    // Where the tape runs out: the songs from the first one that ends past
    // the side's end on, in the warning colour; the others as usual.
    QListWidget *list = m_lstPlayList[side];
    const qsizetype first = tv::core::firstSongPastTheEnd(songSeconds(side), delaySeconds, sideLengthForSongs());
    for (int i = 0; i < list->count(); ++i)
        list->item(i)->setForeground(i >= first ? QBrush(QColor(kPastTheEndText)) : QBrush());
}

void Workspace::buildSidePlanningItems()
{
    if (!isCassette()) {
        // The deck's recording mode, as the user left it last time: SP by
        // default, so the read-out is the disc's own until it is changed.
        m_miniDiscMode = tv::core::modeFromName(tv::shell::getSetting(QStringLiteral("MiniDisc"), QStringLiteral("Mode")))
                             .value_or(tv::core::MiniDiscMode::SP);
        m_mnuPlayList->addSeparator(); // items beyond the original menu follow a separator
        QMenu *modes = m_mnuPlayList->addMenu(QStringLiteral("Recording Mode"));
        modes->setObjectName(QStringLiteral("mnuRecordingMode"));
        auto *group = new QActionGroup(modes);
        for (const tv::core::MiniDiscMode mode : {tv::core::MiniDiscMode::SP, tv::core::MiniDiscMode::LP2, tv::core::MiniDiscMode::LP4}) {
            QAction *item = modes->addAction(tv::core::modeName(mode));
            item->setObjectName(QStringLiteral("mnuMode") + tv::core::modeName(mode));
            item->setCheckable(true);
            item->setChecked(mode == m_miniDiscMode);
            group->addAction(item);
            connect(item, &QAction::triggered, this, [this, mode] { setMiniDiscMode(mode); });
        }
        return; // one playlist: nothing to split
    }
    m_mnuPlayList->addSeparator(); // items beyond the original menu follow a separator
    m_mnuBalanceSides = m_mnuPlayList->addAction(QStringLiteral("Balance Sides"));
    m_mnuBalanceSides->setObjectName(QStringLiteral("mnuBalanceSides"));
    m_mnuFillSideAFirst = m_mnuPlayList->addAction(QStringLiteral("Fill Side A First"));
    m_mnuFillSideAFirst->setObjectName(QStringLiteral("mnuFillSideAFirst"));
    connect(m_mnuBalanceSides, &QAction::triggered, this, &Workspace::mnuBalanceSides_Click);
    connect(m_mnuFillSideAFirst, &QAction::triggered, this, &Workspace::mnuFillSideAFirst_Click);

    // Seconds of silence before a side's first song, while the leader tape
    // passes the head: none by default, so the read-out is the Part's own.
    m_leadInSeconds = std::clamp<qint64>(tv::shell::getSetting(QStringLiteral("Cassette"), QStringLiteral("LeadIn")).toLongLong(), 0, 60);
    QMenu *leadIns = m_mnuPlayList->addMenu(QStringLiteral("Lead-in"));
    leadIns->setObjectName(QStringLiteral("mnuLeadIn"));
    leadIns->menuAction()->setObjectName(QStringLiteral("mnuLeadIn"));
    auto *group = new QActionGroup(leadIns);
    for (const qint64 seconds : {0, 3, 5, 7, 10}) {
        QAction *item = leadIns->addAction(seconds == 0 ? QStringLiteral("None") : QStringLiteral("%1 Seconds").arg(seconds));
        item->setObjectName(QStringLiteral("mnuLeadIn%1").arg(seconds));
        item->setCheckable(true);
        item->setChecked(seconds == m_leadInSeconds);
        group->addAction(item);
        connect(item, &QAction::triggered, this, [this, seconds] { setLeadInSeconds(seconds); });
    }
}

void Workspace::mnuBalanceSides_Click()
{
    const QList<qint64> songs = songSeconds(0) + songSeconds(1);
    const std::optional<qsizetype> onA = tv::core::balancedSplit(songs, delaySecondsAsCounted(), sideLengthForSongs());
    if (!onA) {
        tv::shell::msgBox(this,
                          QStringLiteral("These songs do not fit on the two sides however they are split between them; nothing was changed."),
                          tv::shell::Msg::Exclamation, m_profile.messageTitle);
        return;
    }
    moveSideSplit(*onA);
}

void Workspace::mnuFillSideAFirst_Click()
{
    const QList<qint64> songs = songSeconds(0) + songSeconds(1);
    moveSideSplit(tv::core::fillFirstSplit(songs, delaySecondsAsCounted(), sideLengthForSongs()));
}

void Workspace::moveSideSplit(qsizetype onA)
{
    // The order stays Side A's songs then Side B's; only where one side
    // ends and the other begins moves. Each total is its list's sum.
    QStringList entries;
    for (int side = 0; side < 2; ++side) {
        for (int i = 0; i < m_lstPlayList[side]->count(); ++i)
            entries << m_lstPlayList[side]->item(i)->text();
    }
    const QList<qint64> seconds = songSeconds(0) + songSeconds(1);
    for (int side = 0; side < 2; ++side) {
        m_lstPlayList[side]->clear();
        const qsizetype from = side == 0 ? 0 : onA;
        const qsizetype count = side == 0 ? onA : entries.size() - onA;
        m_lstPlayList[side]->addItems(entries.mid(from, count));
        qint64 total = 0;
        for (const qint64 s : seconds.mid(from, count))
            total += s;
        (side == 0 ? m_intTimeA : m_intTimeB) = total;
    }
    subTapeA_TimeCalc();
    subTapeB_TimeCalc();
}

} // namespace tv::workspace
