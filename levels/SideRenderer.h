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
    // Where each song's first frame stands in the rendered stream.
    QList<qint64> songStarts;
};

// A song that ended more than a second before the length its entry gives
// (a file cut short or damaged since it was added): rendered as it plays.
struct EarlyEnd
{
    qsizetype index = 0;    // in plan order
    qint64 frames = 0;      // what it held
    qint64 entrySeconds = 0;
};
// entrySeconds: each entry's length in plan order, 0 or less where none is given.
QList<EarlyEnd> songsEndingEarly(const QList<qint64> &entrySeconds, const RenderOutcome &outcome);

// Called on the rendering thread with the frames written so far.
using Progress = std::function<void(qint64 framesDone)>;

RenderOutcome renderSide(const QList<PlannedSong> &plan, const QString &outPath, const Progress &progress = {},
                         const std::atomic<bool> *cancel = nullptr);

// The same stream handed to sink instead of a file, chunk by chunk
// (interleaved stereo frames); a sink that returns false stops it as Failed
// with the error it set.
using FrameSink = std::function<bool(const qint16 *samples, qint64 frames, QString &error)>;
RenderOutcome renderSideTo(const QList<PlannedSong> &plan, const FrameSink &sink, const Progress &progress = {},
                           const std::atomic<bool> *cancel = nullptr);

} // namespace tv::levels
