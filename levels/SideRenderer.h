#pragma once

#include "SidePlan.h"

#include <QString>
#include <atomic>
#include <functional>

namespace tv::levels {

// Renders a side's plan to a WAV or FLAC file: the recording engine's own
// decoder makes the stream exactly as the deck would hear it (every song,
// every silence, every gain), as fast as the machine decodes instead of in
// real time. Runs on the calling thread (the decoder adds one of its own).
struct RenderOutcome
{
    enum class Result { Written, Cancelled, Failed } result = Result::Failed;
    QString error;     // a full sentence when Failed
    qint64 frames = 0; // frames written
    // Each song's own frames (its silence before it not counted), in plan
    // order, for as many songs as were rendered: a damaged file that ends
    // early shows here as a song shorter than its entry.
    QList<qint64> songFrames;
};

// Called on the rendering thread with the frames written so far.
using Progress = std::function<void(qint64 framesDone)>;

RenderOutcome renderSide(const QList<PlannedSong> &plan, const QString &outPath, const Progress &progress = {},
                         const std::atomic<bool> *cancel = nullptr);

} // namespace tv::levels
