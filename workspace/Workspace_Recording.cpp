// The recording: a side's playlist planned on the deck's stream at once,
// each entry after exactly the song delay, while the deck records. What the
// stream reports of that plan, and the user's Pause, Resume and Stop, go to
// the recording session, which decides; this file shows its decisions.
#include "Workspace.h"
#include "WorkspaceLevels.h"

#include "CdControlBar.h"
#include "Globals.h"
#include "LocaleNumber.h"
#include "MediaControlBar.h"
#include "MediaPlayer.h"
#include "MessageBox.h"
#include "Module1.h"
#include "PlayListBox.h"
#include "SidePlanning.h"
#include "SidePlan.h"
#include "SongEntry.h"
#include "TimeText.h"
#include "cd/CdAudioDevice.h"
#include "cd/CdTrackFolder.h"
#include "frmMsgBox.h"
#include "output/AudioOutput.h"
#include "source/PlayableSource.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace tv::workspace {

namespace Msg = tv::shell::Msg;
using tv::core::RecordingAction;
using tv::core::RecordingEvent;
using tv::shell::msgBox;

namespace {
const QString kPause = QStringLiteral("&Pause");
const QString kResume = QStringLiteral("&Resume");

bool isCdEntry(const QString &path)
{
    return path.endsWith(QLatin1String("cda"), Qt::CaseSensitive);
}

// The path a playlist line plays: the line without its time suffix.
QString pathOfEntry(const QString &line)
{
    tv::core::SongEntry entry;
    return tv::core::SongEntry::parse(line, entry) ? entry.path : line;
}

QString cdTrackText(const QString &fileName)
{
    return QStringLiteral("Music CD Track:   [ ") + fileName + QStringLiteral(" ]");
}
} // namespace

void Workspace::setUpDeckOutput()
{
    // One stream to the deck for the media player and the CD player, so that
    // a recording's songs and CD tracks follow each other in it to the frame.
    m_deck = new tv::media::AudioOutput(this);
    m_MPlayer->player()->setOutput(m_deck);
    m_MCD->device()->setOutput(m_deck);
    connect(m_MCD->device(), &tv::media::CdAudioDevice::failed, this, &Workspace::MCD_Failed);
    connect(m_deck, &tv::media::AudioOutput::started, this, &Workspace::deckStarted);
    connect(m_deck, &tv::media::AudioOutput::finished, this, &Workspace::deckFinished);
    connect(m_deck, &tv::media::AudioOutput::failed, this, &Workspace::deckFailed);
    connect(m_deck, &tv::media::AudioOutput::lost, this, &Workspace::deckLost);
    m_cdTrackClock = new QTimer(this);
    m_cdTrackClock->setInterval(1000);
    connect(m_cdTrackClock, &QTimer::timeout, this, &Workspace::showCdTrackTime);
    connectCdDamageReports();
}

void Workspace::planRecording(int side, const QList<double> &gains)
{
    // The whole side goes to the sound output at once, each entry after
    // exactly the song delay; the deck hears the plan however busy the
    // machine is. Nothing of an older plan survives: its items are dropped
    // and its serials forgotten, whatever state they ended in.
    m_deck->stopAll();
    m_planEntries.clear();
    QStringList paths;
    for (int k = 0; k < m_lstPlayList[side]->count(); ++k) {
        m_planEntries << m_lstPlayList[side]->item(k)->text();
        paths << pathOfEntry(m_planEntries.last());
    }
    m_planSerials.clear();
    for (const tv::levels::PlannedSong &song : tv::levels::planSide(paths, songDelayMs(), gains, leadInSeconds() * 1000)) {
        const quint64 serial = tv::media::AudioOutput::newSerial();
        const QString path = song.path;
        m_planSerials << serial;
        m_deck->plan(serial, [path](QString &error) { return tv::media::openPlayable(path, error); }, song.silenceBeforeMs, song.gain);
    }
    m_recordSide = side;
    m_heardEntry = 0;
}

void Workspace::MCD_Failed(const QString &why)
{
    // A recording's CD tracks are the recording's: their failure comes
    // through the deck's plan. A preview's track that cannot go on says why
    // and gives the player back.
    if (m_session.isActive() || !blnCDPlaying)
        return;
    blnCDPlaying = false;
    m_MCD->hide();
    m_MCDlabel->hide();
    m_MPlayer->show();
    msgBox(this, why, Msg::Critical, m_profile.messageTitle);
}

QString Workspace::entryPathAt(int side, int index) const
{
    return pathOfEntry(m_lstPlayList[side]->item(index)->text());
}

QString Workspace::pastTheEndLine(int side) const
{
    // An over-full side says, before the deck starts, what the tape will miss.
    const QList<qint64> songs = songSeconds(side);
    const qint64 delay = delaySecondsAsCounted();
    const qsizetype first = tv::core::firstSongPastTheEnd(songs, delay, sideLengthForSongs());
    if (first >= songs.size())
        return {};
    const qsizetype count = songs.size() - first;
    const qint64 over = tv::core::sideSeconds(songs, delay) - sideLengthForSongs();
    const QString nl = tv::shell::globals().gstrNewLine;
    return nl + nl
        + QStringLiteral("     (Over-full: %1 %2, %3 of music, will run past the end of %4.)")
              .arg(count)
              .arg(count == 1 ? QStringLiteral("song") : QStringLiteral("songs"))
              .arg(tv::core::fnFormatTime(over), m_profile.sides.at(side).recordingName);
}

QString Workspace::trackLimitLine(int side) const
{
    const QString limit = trackLimitText(m_lstPlayList[side]->count());
    return limit.isEmpty() ? QString() : tv::shell::globals().gstrNewLine + tv::shell::globals().gstrNewLine + QStringLiteral("     (") + limit.mid(2, limit.size() - 4) + QStringLiteral(".)");
}

void Workspace::cmdRecordSide_Click(int side)
{
    if (m_session.isActive())
        return;
    const SideTexts &texts = m_profile.sides.at(side);
    const QString title = QStringLiteral("Begin %1 Recording").arg(texts.recordingName);
    intRecordTotal = m_lstPlayList[side]->count();
    if (intRecordTotal == 0) {
        msgBox(this, QStringLiteral("%1 Playlist Empty.").arg(texts.recordingName), Msg::Exclamation, title);
        return;
    }
    if (!m_frmDriveList->isHidden())
        cmdDriveList_Click();
    m_cmdDriveList->setEnabled(false);
    if (isCassette() && m_frmTapeSide[side]->isHidden() && !m_frmTapeSide[1 - side]->isHidden())
        cmdTapeSide_Click();

    const QString nl = tv::shell::globals().gstrNewLine;
    const QString prompt = texts.insertLine + nl + QStringLiteral("B.) Click OK When Ready.") + nl
                           + QStringLiteral("C.) Music will begin playing when OK is Clicked.") + nl + nl
                           + QStringLiteral("     (Note: Adjust Your Soundcard to the Desired Volume.)") + pastTheEndLine(side) + trackLimitLine(side);
    if (msgBox(this, prompt, Msg::OkCancel, title) != Msg::Ok) {
        msgBox(this, QStringLiteral("%1 Recording Cancelled!").arg(texts.recordingName), Msg::Exclamation, title);
        m_cmdDriveList->setEnabled(true);
        return;
    }
    // From the answer on the window is recording: it refuses to close while
    // level matching measures the side, and a scan or a paused preview ends.
    (side == 0 ? blnRecordingA : blnRecordingB) = true;
    if (isScanning())
        endScanQuietly();
    tv::shell::Module1::subStopPlayers(*this, QStringLiteral("All"));
    blnCDPlaying = false;
    m_MCDlabel->hide();
    subSetControls(QStringLiteral("record"));
    const QList<double> gains = m_levels->recordingGains(side);
    planRecording(side, gains);
    intRecordIndex = 0;
    apply(m_session.handle(RecordingEvent::Begin));
    m_cmdDummyFocus->setFocus();
}

int Workspace::songDelayMs() const
{
    // The delay applies when the box holds a number above 0; its length is
    // the program-wide value the box last wrote.
    const int box = int(tv::core::readNumber(m_txtOneSecondDelay->text()).value_or(0));
    return box > 0 ? std::max(0, int(tv::shell::globals().glngSongDelayMs)) : 0;
}

void Workspace::MPlayer_PlayStateChange(int, int)
{
    // The play state no longer moves a recording on: the session follows
    // the deck's stream itself.
    intPlayerVolume = m_MPlayer->player()->volume();
}

// ---- what the deck's stream reports of the plan ------------------------------

void Workspace::deckStarted(quint64 serial)
{
    const int k = int(m_planSerials.indexOf(serial));
    if (k < 0)
        return;
    m_heardEntry = k;
    apply(m_session.handle(RecordingEvent::EntryStarted));
}

void Workspace::deckFinished(quint64 serial)
{
    const int k = int(m_planSerials.indexOf(serial));
    if (k < 0)
        return;
    if (isCdEntry(entryPath(k)))
        blnCDPlaying = false;
    apply(m_session.handle(k + 1 == m_planSerials.size() ? RecordingEvent::LastEntryEnded : RecordingEvent::EntryEnded));
}

void Workspace::deckFailed(quint64 serial, const QString &error)
{
    if (!m_planSerials.contains(serial))
        return;
    m_recordingError = error;
    apply(m_session.handle(RecordingEvent::EntryFailed));
}

void Workspace::deckLost(const QString &why)
{
    if (m_planSerials.isEmpty())
        return;
    m_recordingError = why;
    apply(m_session.handle(RecordingEvent::OutputLost));
}

QString Workspace::entryPath(int k) const
{
    return pathOfEntry(m_planEntries.at(k));
}

// ---- the session's decisions, carried out -------------------------------------

void Workspace::apply(const QList<RecordingAction> &actions)
{
    for (RecordingAction action : actions) {
        switch (action) {
        case RecordingAction::ShowEntry: showHeardEntry(); break;
        case RecordingAction::HoldOutput: holdOutput(true); break;
        case RecordingAction::ReleaseOutput: holdOutput(false); break;
        case RecordingAction::ShowPaused:
            m_cmdPause->setText(kResume);
            m_lblStatus->setText(QStringLiteral("<<Paused>>"));
            break;
        case RecordingAction::ShowRecording:
            m_cmdPause->setText(kPause);
            m_lblStatus->setText(QStringLiteral("Recording....."));
            break;
        case RecordingAction::DropPlan: dropPlan(); break;
        case RecordingAction::EnterStopped:
            intRecordTotal = 0;
            intRecordIndex = 0;
            m_recordSide = -1;
            m_cmdPause->setText(kPause);
            subSetControls(QStringLiteral("stopped"));
            break;
        case RecordingAction::ShowError: msgBox(this, m_recordingError, Msg::Critical, m_profile.messageTitle); break;
        case RecordingAction::ShowStopped: {
            const QString name = m_profile.sides.at(m_stoppedSide).recordingName;
            msgBox(this, QStringLiteral("%1 Recording Stopped!").arg(name), Msg::Exclamation, QStringLiteral("%1 Recording Status").arg(name));
            break;
        }
        case RecordingAction::ShowCompletion: showCompletion(); break;
        }
    }
}

void Workspace::showHeardEntry()
{
    // The entry heard now, as the Part's step shows a song it starts; the
    // player (or the CD label) follows the planned item without opening it.
    const int k = m_heardEntry;
    if (k < 0 || k >= m_planSerials.size())
        return;
    const QString line = m_planEntries.at(k);
    const QString path = entryPath(k);
    intRecordIndex = k + 1;
    // The entry on the deck now is the one selected, and in view however
    // long the list.
    QListWidget *list = m_lstPlayList[m_recordSide];
    list->setCurrentRow(k, QItemSelectionModel::ClearAndSelect);
    list->scrollToItem(list->item(k), QAbstractItemView::EnsureVisible);
    m_lblRecordSide[m_recordSide]->setText(QStringLiteral("Song #%1  %2").arg(k + 1).arg(line));
    tv::core::SongEntry entry;
    const double seconds = tv::core::SongEntry::parse(line, entry) ? double(entry.seconds) : 0.0;
    if (isCdEntry(path)) {
        if (m_MPlayer->player()->playState() != tv::media::MediaPlayer::Closed)
            m_MPlayer->player()->close();
        blnCDPlaying = true;
        m_MPlayer->hide();
        m_MCD->hide();
        m_MCDlabel->show();
        m_Label1->setText(cdTrackText(path) + m_cdDamageNotes.value(path));
        showCdTrackTime();
        m_cdTrackClock->start();
        return;
    }
    m_cdTrackClock->stop();
    m_MCDlabel->hide();
    m_MPlayer->show();
    m_Label1->setText(line);
    m_MPlayer->player()->adopt(m_planSerials.at(k), path, seconds);
}

void Workspace::showCdTrackTime()
{
    // The CD label's running time of a recorded track, from the stream's
    // own position: nothing is read from the disc on this thread.
    const int k = m_heardEntry;
    if (!m_session.isActive() || k < 0 || k >= m_planSerials.size() || !isCdEntry(entryPath(k))) {
        m_cdTrackClock->stop();
        return;
    }
    tv::core::SongEntry entry;
    const qint64 length = tv::core::SongEntry::parse(m_planEntries.at(k), entry) ? qint64(entry.seconds) : 0;
    const qint64 at = m_deck->positionMs(m_planSerials.at(k)) / 1000;
    const auto two = [](qint64 v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); };
    const int track = tv::media::CdTrackFolder::trackNumberOf(entryPath(k));
    m_MCDlabel->setText(QStringLiteral("Track [") + two(track) + QStringLiteral("]") + QString(73, QLatin1Char(' ')) + two(at / 60)
                        + QStringLiteral(":") + two(at % 60) + QStringLiteral(" / ") + tv::core::fnFormatTime(length));
}

void Workspace::holdOutput(bool hold)
{
    tv::media::MediaPlayer *player = m_MPlayer->player();
    if (hold) {
        if (player->playState() == tv::media::MediaPlayer::Playing)
            player->pause();
        m_deck->pause();
        return;
    }
    if (player->playState() == tv::media::MediaPlayer::Paused)
        player->play();
    m_deck->resume();
}

void Workspace::dropPlan()
{
    m_stoppedSide = m_recordSide;
    m_planSerials.clear();
    m_planEntries.clear();
    m_heardEntry = -1;
    m_cdTrackClock->stop();
    // A plan heard to its end is left alone: a cut now would take back the
    // last song's final frames where the server still holds them.
    if (m_session.state() != tv::core::RecordingState::Finished) {
        tv::shell::Module1::subStopPlayers(*this, QStringLiteral("All"));
        m_deck->stopAll();
    }
    blnCDPlaying = false;
    m_MCDlabel->hide();
    m_MPlayer->show();
}

void Workspace::showCompletion()
{
    if (m_recordSide >= 0) {
        if (isMinimized())
            showNormal();
        const QString name = m_profile.sides.at(m_recordSide).recordingName;
        tv::shell::showMessageWindow(this, QStringLiteral("%1 Recording Status").arg(name), QStringLiteral("Recording of %1 Complete!").arg(name));
    }
    apply(m_session.handle(RecordingEvent::CompletionClosed));
}

// ---- the user's Pause and Stop -------------------------------------------------

void Workspace::cmdPause_Click()
{
    const QString question = QStringLiteral("Pause %1 Recording?").arg(m_profile.mediumWord);
    if (m_session.isActive()) {
        // What the answer does is decided when it comes: the song asked
        // about may have ended, or the recording with it.
        if (m_session.canPause()) {
            if (msgBox(this, question, Msg::YesNo | Msg::Question) == Msg::Yes)
                apply(m_session.handle(RecordingEvent::PauseConfirmed));
        } else if (m_session.isPaused()) {
            apply(m_session.handle(RecordingEvent::Resume));
        }
        m_cmdDummyFocus->setFocus();
        return;
    }
    // A preview: the same buttons pause and resume it.
    tv::media::MediaPlayer *player = m_MPlayer->player();
    if (player->playState() == tv::media::MediaPlayer::Playing || blnCDPlaying) {
        if (msgBox(this, question, Msg::YesNo | Msg::Question) == Msg::Yes && !m_session.isActive()) {
            if (blnCDPlaying) {
                (void)m_MCD->device()->command(QStringLiteral("Pause"));
                blnCDPlaying = false;
                m_cmdPause->setText(kResume);
                m_lblStatus->setText(QStringLiteral("<<Paused>>"));
            } else if (player->playState() == tv::media::MediaPlayer::Playing) {
                player->pause();
                m_cmdPause->setText(kResume);
                m_lblStatus->setText(QStringLiteral("<<Paused>>"));
            }
        }
    } else if (m_cmdPause->text() == kResume) {
        m_cmdPause->setText(kPause);
        m_lblStatus->setText(QStringLiteral("Recording....."));
        if (player->playState() == tv::media::MediaPlayer::Paused) {
            player->play();
        } else if (m_MCD->device()->isOpen()) {
            (void)m_MCD->device()->command(QStringLiteral("Play"));
            blnCDPlaying = true;
        }
    }
    m_cmdDummyFocus->setFocus();
}

void Workspace::cmdStop_Click()
{
    const QString question = QStringLiteral("Stop %1 Recording?").arg(m_profile.mediumWord);
    if (m_session.isActive()) {
        if (m_session.canStop() && msgBox(this, question, Msg::YesNo | Msg::Question) == Msg::Yes)
            apply(m_session.handle(RecordingEvent::StopConfirmed));
        m_cmdDummyFocus->setFocus();
        return;
    }
    tv::media::MediaPlayer *player = m_MPlayer->player();
    const int state = player->playState();
    if (state == tv::media::MediaPlayer::Paused || state == tv::media::MediaPlayer::Playing || blnCDPlaying) {
        if (msgBox(this, question, Msg::YesNo | Msg::Question) == Msg::Yes && !m_session.isActive()) {
            tv::shell::Module1::subStopPlayers(*this, QStringLiteral("All"));
            blnCDPlaying = false;
            m_cmdPause->setText(kPause);
        }
    }
    m_cmdDummyFocus->setFocus();
}

} // namespace tv::workspace
