#pragma once

#include <QList>
#include <QString>

namespace tv::core {

// Where a recording stands, as the deck hears it.
enum class RecordingState {
    Idle,            // no recording: the record buttons work, the window closes
    Playing,         // an entry of the plan is being heard
    Silence,         // the song delay between two entries is being heard
    PausedInSong,    // the output is held inside an entry
    PausedInSilence, // the output is held inside the song delay
    Finished,        // the last entry has been heard; the completion message is up
};

// What happens to a recording: the user's answers, and what the sound
// output reports of the plan (only of the plan of this recording).
enum class RecordingEvent {
    Begin,            // the record question was answered OK and the side planned
    EntryStarted,     // an entry's first frame is heard
    EntryEnded,       // an entry's last frame is heard, and another follows
    LastEntryEnded,   // the last entry's last frame is heard
    EntryFailed,      // an entry cannot be opened or played on (missing, unreadable, disc gone)
    OutputLost,       // the sound output stopped playing
    PauseConfirmed,   // the Pause question was answered Yes
    Resume,           // Resume was clicked
    StopConfirmed,    // the Stop question was answered Yes
    CompletionClosed, // the completion message was closed
};

// What the window does for a transition, in this order.
enum class RecordingAction {
    ShowEntry,      // Label1 and the side's "Song #n" line name the entry heard now
    HoldOutput,     // pause the stream where the ear is
    ReleaseOutput,  // go on exactly from there
    ShowPaused,     // "&Resume", "<<Paused>>"
    ShowRecording,  // "&Pause", "Recording....."
    DropPlan,       // stop the stream and forget every item of this plan
    EnterStopped,   // the stopped control state, "&Pause" again
    ShowError,      // the failure's message
    ShowStopped,    // "... Recording Stopped!"
    ShowCompletion, // the modal completion message
};

struct RecordingTransition
{
    RecordingState from;
    RecordingEvent event;
    RecordingState to;
    QList<RecordingAction> actions;
};

// The transition table: every state and event that does something. An event
// without a row in a state changes nothing there (a late report of a plan
// that has ended, a Pause answered after the recording ended).
const QList<RecordingTransition> &recordingTransitions();

// The one owner of a recording's state. The window feeds it events and
// carries out the actions it returns; it holds no widget.
class RecordingSession
{
public:
    // The actions for event, after which state() is the row's target. None
    // when the event has no row in the current state.
    QList<RecordingAction> handle(RecordingEvent event);

    RecordingState state() const { return m_state; }
    // A recording runs (or its completion message is up): closing is refused.
    bool isActive() const { return m_state != RecordingState::Idle; }
    bool isPaused() const { return m_state == RecordingState::PausedInSong || m_state == RecordingState::PausedInSilence; }
    // Pause asks its question in these states (and Resume acts in the paused ones).
    bool canPause() const { return m_state == RecordingState::Playing || m_state == RecordingState::Silence; }
    bool canStop() const { return canPause() || isPaused(); }

private:
    RecordingState m_state = RecordingState::Idle;
};

QString toString(RecordingState state);
QString toString(RecordingEvent event);

} // namespace tv::core
