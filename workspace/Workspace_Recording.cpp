// The recording sequence: a side's playlist played from the first song to the
// last with the song delay between songs, while the deck records; pause,
// resume, stop and the completion message.
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
#include "RecordingSteps.h"
#include "SongEntry.h"
#include "TimeText.h"
#include "cd/CdAudioDevice.h"
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
using tv::shell::msgBox;

namespace {
const QString kPause = QStringLiteral("&Pause");
const QString kResume = QStringLiteral("&Resume");
// The step timer's 300 ms, which a song's end adds to the song delay.
constexpr int kStepMs = 300;

bool isCdEntry(const QString &path)
{
    return path.endsWith(QLatin1String("cda"), Qt::CaseSensitive);
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
    connectCdDamageReports();
}

void Workspace::planRecording(int side)
{
    // The whole side goes to the sound output at once, each entry after the
    // silence the sequence leaves before it: 300 ms and the song delay after
    // a song, the song delay alone after a CD track (which hands over
    // without the step timer). The steps below then take the planned songs
    // over one by one; the deck hears the plan, however busy the machine is.
    if (blnCDPlaying) {
        tv::shell::Module1::subStopPlayers(*this, QStringLiteral("MCDPlayer"));
        blnCDPlaying = false;
    }
    m_deck->stopAll();
    const int delay = songDelayMs();
    // Level matching's gain per song; none (exactly as decoded) while it is off.
    const QList<double> gains = m_levels->recordingGains(side);
    for (int k = 0; k < m_lstPlayList[side]->count(); ++k) {
        const QString path = entryPathAt(side, k);
        const qint64 silence = k == 0 ? 0 : (isCdEntry(entryPathAt(side, k - 1)) ? 0 : kStepMs) + delay;
        m_deck->plan(tv::media::AudioOutput::newSerial(), path, [path](QString &error) { return tv::media::openPlayable(path, error); }, silence,
                     k < gains.size() ? gains.at(k) : 1.0);
    }
}

void Workspace::MCD_Failed(const QString &why)
{
    // The CD player has no error event of its own; a track that cannot be
    // played ends a recording as a song that cannot be played does.
    if (!(blnRecordingA || blnRecordingB) || !blnCDPlaying)
        return;
    blnCDPlaying = false;
    msgBox(this, why, Msg::Critical, m_profile.messageTitle);
    endRecordingAfterError();
}

QString Workspace::entryPathAt(int side, int index) const
{
    tv::core::SongEntry entry;
    const QString line = m_lstPlayList[side]->item(index)->text();
    return tv::core::SongEntry::parse(line, entry) ? entry.path : line;
}

void Workspace::cmdRecordSide_Click(int side)
{
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
                           + QStringLiteral("     (Note: Adjust Your Soundcard to the Desired Volume.)");
    if (msgBox(this, prompt, Msg::OkCancel, title) != Msg::Ok) {
        msgBox(this, QStringLiteral("%1 Recording Cancelled!").arg(texts.recordingName), Msg::Exclamation, title);
        m_cmdDriveList->setEnabled(true);
        return;
    }
    planRecording(side);
    if (side == 0)
        blnRecordingA = true;
    else
        blnRecordingB = true;
    m_nextSongDueMs = -1;
    subSetControls(QStringLiteral("record"));
    subRecordMP3toTape();
    m_cmdDummyFocus->setFocus();
}

void Workspace::MPlayer_PlayStateChange(int oldState, int newState)
{
    intPlayerVolume = m_MPlayer->player()->volume();
    if (tv::core::advancesRecording(blnRecordingA || blnRecordingB, oldState, newState)) {
        // The sound output already plays the silence and then the next
        // song; the steps follow it, counted from the moment the song's end
        // was heard, so that the read-outs change as the deck hears it.
        m_nextSongDueMs = m_clock.elapsed() + kStepMs + songDelayMs();
        m_Timer1->start(kStepMs);
    }
}

int Workspace::songDelayMs() const
{
    // The delay applies when the box holds a number above 0; its length is
    // the program-wide value the box last wrote.
    const int box = int(tv::core::readNumber(m_txtOneSecondDelay->text()).value_or(0));
    return box > 0 ? std::max(0, int(tv::shell::globals().glngSongDelayMs)) : 0;
}

void Workspace::Timer1_Timer()
{
    m_Timer1->stop(); // one step for each arming
    m_Timer1->setInterval(kStepMs);
    subRecordMP3toTape();
}

void Workspace::subRecordMP3toTape()
{
    const int delay = int(tv::core::readNumber(m_txtOneSecondDelay->text()).value_or(0));
    const tv::core::StepPlan plan = tv::core::planStep(intRecordIndex, intRecordTotal, delay, blnRecordingA || blnRecordingB);
    if (plan.waitFirst) {
        // The silence between songs, without freezing the window: counted
        // from the moment the last song was heard to end, so that late
        // timers do not add up.
        const qint64 wait = m_nextSongDueMs >= 0 ? std::max<qint64>(0, m_nextSongDueMs - m_clock.elapsed()) : songDelayMs();
        m_silenceTimer->start(int(wait));
        return;
    }
    continueStep();
}

void Workspace::continueStep()
{
    const int delay = int(tv::core::readNumber(m_txtOneSecondDelay->text()).value_or(0));
    const tv::core::StepPlan plan = tv::core::planStep(intRecordIndex, intRecordTotal, delay, blnRecordingA || blnRecordingB);
    if (plan.startSong) {
        const int side = blnRecordingA ? 0 : 1;
        const QString entry = m_lstPlayList[side]->item(plan.entry)->text();
        m_Label1->setText(entry);
        m_lblRecordSide[side]->setText(QStringLiteral("Song #%1  %2").arg(plan.entry + 1).arg(entry));
        m_MPlayer->player()->setFileName(entryPathAt(side, plan.entry));
    }
    intRecordIndex = plan.nextIndex;
    QCoreApplication::processEvents();
    if (tv::core::isFinished(m_MPlayer->player()->playState(), intRecordIndex, intRecordTotal) && !blnCDPlaying)
        finishRecording();
    m_MPlayer->player()->setVolume(intPlayerVolume);
}

void Workspace::finishRecording()
{
    intRecordTotal = 0;
    intRecordIndex = 0;
    tv::shell::Module1::subStopPlayers(*this, QStringLiteral("MCDPlayer"));
    const int side = blnRecordingA ? 0 : blnRecordingB ? 1 : -1;
    if (side >= 0) {
        if (isMinimized())
            showNormal();
        const QString name = m_profile.sides.at(side).recordingName;
        tv::shell::showMessageWindow(this, QStringLiteral("%1 Recording Status").arg(name),
                                     QStringLiteral("Recording of %1 Complete!").arg(name));
    }
    subSetControls(QStringLiteral("stopped"));
}

void Workspace::endRecordingAfterError()
{
    // A song that cannot be played ends the recording; the window returns to
    // the stopped state so that the record buttons work again.
    intRecordTotal = 0;
    intRecordIndex = 0;
    m_Timer1->stop();
    m_silenceTimer->stop();
    m_heldTimer1Ms = m_heldSilenceMs = -1;
    m_deck->stopAll();
    m_cmdPause->setText(kPause);
    subSetControls(QStringLiteral("stopped"));
}

bool Workspace::isBetweenSongs() const
{
    return (blnRecordingA || blnRecordingB) && (m_Timer1->isActive() || m_silenceTimer->isActive() || m_heldTimer1Ms >= 0 || m_heldSilenceMs >= 0);
}

void Workspace::holdSilence(bool hold)
{
    if (hold) {
        m_deck->pause();
        m_pausedAtMs = m_clock.elapsed();
        if (m_Timer1->isActive()) {
            m_heldTimer1Ms = m_Timer1->remainingTime();
            m_Timer1->stop();
        }
        if (m_silenceTimer->isActive()) {
            m_heldSilenceMs = m_silenceTimer->remainingTime();
            m_silenceTimer->stop();
        }
        return;
    }
    // Resumed: the sound output goes on with the rest of the silence, and
    // the steps with the rest of their wait.
    m_deck->resume();
    if (m_nextSongDueMs >= 0)
        m_nextSongDueMs += m_clock.elapsed() - m_pausedAtMs;
    if (m_heldTimer1Ms >= 0)
        m_Timer1->start(m_heldTimer1Ms);
    else if (m_heldSilenceMs >= 0)
        m_silenceTimer->start(m_heldSilenceMs);
    m_heldTimer1Ms = m_heldSilenceMs = -1;
}

void Workspace::cmdPause_Click()
{
    tv::media::MediaPlayer *player = m_MPlayer->player();
    const QString question = QStringLiteral("Pause %1 Recording?").arg(m_profile.mediumWord);
    const bool silence = isBetweenSongs() && m_heldTimer1Ms < 0 && m_heldSilenceMs < 0;
    if (player->playState() == tv::media::MediaPlayer::Playing || blnCDPlaying || silence) {
        if (msgBox(this, question, Msg::YesNo | Msg::Question) == Msg::Yes) {
            m_cmdPause->setText(kResume);
            m_lblStatus->setText(QStringLiteral("<<Paused>>"));
            if (blnCDPlaying) {
                (void)m_MCD->device()->command(QStringLiteral("Pause"));
                blnCDPlaying = false;
            } else if (silence) {
                holdSilence(true);
            } else {
                player->pause();
            }
        }
    } else if (m_cmdPause->text() == kResume) {
        m_cmdPause->setText(kPause);
        m_lblStatus->setText(QStringLiteral("Recording....."));
        if (player->playState() == tv::media::MediaPlayer::Paused) {
            player->play();
        } else if (m_heldTimer1Ms >= 0 || m_heldSilenceMs >= 0) {
            holdSilence(false);
        } else {
            (void)m_MCD->device()->command(QStringLiteral("Play"));
            blnCDPlaying = true;
        }
    }
    m_cmdDummyFocus->setFocus();
}

void Workspace::cmdStop_Click()
{
    tv::media::MediaPlayer *player = m_MPlayer->player();
    const int state = player->playState();
    if (state == tv::media::MediaPlayer::Paused || state == tv::media::MediaPlayer::Playing || blnCDPlaying || isBetweenSongs()) {
        if (msgBox(this, QStringLiteral("Stop %1 Recording?").arg(m_profile.mediumWord), Msg::YesNo | Msg::Question) == Msg::Yes) {
            const int side = blnRecordingA ? 0 : blnRecordingB ? 1 : -1;
            intRecordTotal = 0;
            intRecordIndex = 0;
            m_Timer1->stop();
            m_silenceTimer->stop();
            m_heldTimer1Ms = m_heldSilenceMs = -1;
            subSetControls(QStringLiteral("stopped")); // before the player stops: its stop must not advance
            tv::shell::Module1::subStopPlayers(*this, QStringLiteral("All"));
            m_deck->stopAll(); // also a song planned in the silence between songs
                    blnCDPlaying = false;
            m_cmdPause->setText(kPause);
            if (side >= 0) {
                const QString name = m_profile.sides.at(side).recordingName;
                msgBox(this, QStringLiteral("%1 Recording Stopped!").arg(name), Msg::Exclamation,
                       QStringLiteral("%1 Recording Status").arg(name));
            }
        }
    }
    m_cmdDummyFocus->setFocus();
}

} // namespace tv::workspace
