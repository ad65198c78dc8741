#pragma once

namespace tv::core {

// The decisions of the recording sequence, without any window: which entry a
// step plays, whether silence comes first, when the recording is finished,
// and which play-state changes move it on.
struct StepPlan
{
    bool waitFirst = false; // the song delay comes before this song
    bool startSong = false; // an entry is started
    int entry = -1;         // which one (0-based)
    int nextIndex = 0;      // intRecordIndex after the step
};

// index = intRecordIndex, total = intRecordTotal, delaySeconds = the delay
// box's value, recording = a recording flag is set.
StepPlan planStep(int index, int total, int delaySeconds, bool recording);

// The finish test, made after the step gave the player its file: the player
// is stopped (0) or closed (6) and the index has passed the total.
bool isFinished(int playerState, int nextIndex, int total);

// A change from playing (2) to stopped (0) during a recording arms the step timer.
bool advancesRecording(bool recording, int oldState, int newState);

} // namespace tv::core
