#include "RecordingSession.h"

namespace tv::core {

namespace {
using S = RecordingState;
using E = RecordingEvent;
using A = RecordingAction;

// A fault ends a recording wherever it stands; so does Stop. The message
// comes after the window is stopped, so that nothing runs under the box.
const QList<A> kFault = {A::DropPlan, A::EnterStopped, A::ShowError};
const QList<A> kStop = {A::DropPlan, A::EnterStopped, A::ShowStopped};
const QList<A> kFinish = {A::DropPlan, A::ShowCompletion};
} // namespace

const QList<RecordingTransition> &recordingTransitions()
{
    static const QList<RecordingTransition> table = {
        {S::Idle, E::Begin, S::Playing, {A::ShowEntry}},

        {S::Playing, E::EntryStarted, S::Playing, {A::ShowEntry}},
        {S::Playing, E::EntryEnded, S::Silence, {}},
        {S::Playing, E::LastEntryEnded, S::Finished, kFinish},
        {S::Playing, E::EntryFailed, S::Idle, kFault},
        {S::Playing, E::OutputLost, S::Idle, kFault},
        {S::Playing, E::PauseConfirmed, S::PausedInSong, {A::HoldOutput, A::ShowPaused}},
        {S::Playing, E::StopConfirmed, S::Idle, kStop},

        {S::Silence, E::EntryStarted, S::Playing, {A::ShowEntry}},
        {S::Silence, E::EntryFailed, S::Idle, kFault},
        {S::Silence, E::OutputLost, S::Idle, kFault},
        {S::Silence, E::PauseConfirmed, S::PausedInSilence, {A::HoldOutput, A::ShowPaused}},
        {S::Silence, E::StopConfirmed, S::Idle, kStop},

        // What was heard before the hold took effect is still reported: an
        // end in a song's last milliseconds, a start at the silence's end.
        {S::PausedInSong, E::EntryEnded, S::PausedInSilence, {}},
        {S::PausedInSong, E::LastEntryEnded, S::Finished, kFinish},
        {S::PausedInSong, E::EntryFailed, S::Idle, kFault},
        {S::PausedInSong, E::OutputLost, S::Idle, kFault},
        {S::PausedInSong, E::Resume, S::Playing, {A::ShowRecording, A::ReleaseOutput}},
        {S::PausedInSong, E::StopConfirmed, S::Idle, kStop},

        {S::PausedInSilence, E::EntryStarted, S::PausedInSong, {A::ShowEntry}},
        {S::PausedInSilence, E::EntryFailed, S::Idle, kFault},
        {S::PausedInSilence, E::OutputLost, S::Idle, kFault},
        {S::PausedInSilence, E::Resume, S::Silence, {A::ShowRecording, A::ReleaseOutput}},
        {S::PausedInSilence, E::StopConfirmed, S::Idle, kStop},

        {S::Finished, E::CompletionClosed, S::Idle, {A::EnterStopped}},
    };
    return table;
}

QList<RecordingAction> RecordingSession::handle(RecordingEvent event)
{
    for (const RecordingTransition &row : recordingTransitions()) {
        if (row.from == m_state && row.event == event) {
            m_state = row.to;
            return row.actions;
        }
    }
    return {};
}

QString toString(RecordingState state)
{
    switch (state) {
    case S::Idle: return QStringLiteral("Idle");
    case S::Playing: return QStringLiteral("Playing");
    case S::Silence: return QStringLiteral("Silence");
    case S::PausedInSong: return QStringLiteral("PausedInSong");
    case S::PausedInSilence: return QStringLiteral("PausedInSilence");
    case S::Finished: return QStringLiteral("Finished");
    }
    return {};
}

QString toString(RecordingEvent event)
{
    switch (event) {
    case E::Begin: return QStringLiteral("Begin");
    case E::EntryStarted: return QStringLiteral("EntryStarted");
    case E::EntryEnded: return QStringLiteral("EntryEnded");
    case E::LastEntryEnded: return QStringLiteral("LastEntryEnded");
    case E::EntryFailed: return QStringLiteral("EntryFailed");
    case E::OutputLost: return QStringLiteral("OutputLost");
    case E::PauseConfirmed: return QStringLiteral("PauseConfirmed");
    case E::Resume: return QStringLiteral("Resume");
    case E::StopConfirmed: return QStringLiteral("StopConfirmed");
    case E::CompletionClosed: return QStringLiteral("CompletionClosed");
    }
    return {};
}

} // namespace tv::core
