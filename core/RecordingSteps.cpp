#include "RecordingSteps.h"

namespace tv::core {

StepPlan planStep(int index, int total, int delaySeconds, bool recording)
{
    StepPlan plan;
    plan.nextIndex = index + 1;
    if (index < total) {
        plan.waitFirst = delaySeconds > 0 && index > 0;
        plan.startSong = recording;
        plan.entry = recording ? index : -1;
    }
    return plan;
}

bool isFinished(int playerState, int nextIndex, int total)
{
    return (playerState == 6 || playerState == 0) && nextIndex > total;
}

bool advancesRecording(bool recording, int oldState, int newState)
{
    return recording && oldState == 2 && newState == 0;
}

} // namespace tv::core
