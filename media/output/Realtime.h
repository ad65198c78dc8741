#pragma once

#include <QString>

namespace tv::media {

// Gives the calling thread the best scheduling for feeding the sound server
// that the system grants without configuration: real-time (SCHED_FIFO)
// directly where the process may, else through RealtimeKit (the desktop's
// D-Bus service for it), else a raised nice level, else nothing. Returns a
// description of what it got, which audioThreadPriority() repeats.
QString raiseThreadForAudio();
QString audioThreadPriority();

} // namespace tv::media
