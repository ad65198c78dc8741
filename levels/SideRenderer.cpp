#include "SideRenderer.h"

#include "AudioFileWriter.h"
#include "output/Chunk.h"
#include "output/Decoder.h"
#include "output/SpscQueue.h"
#include "source/PlayableSource.h"

#include <mutex>
#include <thread>
#include <vector>

namespace tv::levels {

using tv::media::Chunk;
using tv::media::Decoder;

namespace {
// The chunks in flight between the decoder and the file: the decoder keeps
// up to Decoder::kAheadFrames ahead, and a few more are on their way back.
constexpr int kChunks = int(Decoder::kAheadFrames / Chunk::kFrames) + 16;
} // namespace

RenderOutcome renderSide(const QList<PlannedSong> &plan, const QString &outPath, const Progress &progress, const std::atomic<bool> *cancel)
{
    AudioFileWriter writer;
    QString error;
    if (!writer.open(outPath, error)) {
        RenderOutcome failed;
        failed.error = error;
        return failed;
    }
    RenderOutcome outcome = renderSideTo(
        plan, [&writer](const qint16 *samples, qint64 frames, QString &e) { return writer.write(samples, frames, e); }, progress, cancel);
    if (outcome.result != RenderOutcome::Result::Written)
        return outcome; // the file is never committed
    outcome.result = RenderOutcome::Result::Failed;
    if (writer.finish(outcome.error))
        outcome.result = RenderOutcome::Result::Written;
    return outcome;
}

RenderOutcome renderSideTo(const QList<PlannedSong> &plan, const FrameSink &sink, const Progress &progress, const std::atomic<bool> *cancel)
{
    RenderOutcome outcome;
    if (plan.isEmpty()) {
        outcome.result = RenderOutcome::Result::Written;
        return outcome;
    }

    tv::media::SpscQueue<Chunk *> filled(kChunks), spare(kChunks);
    std::vector<Chunk> pool(kChunks);
    for (Chunk &c : pool)
        spare.push(&c);
    std::atomic<qint64> framesQueued{0};
    std::mutex errorMutex;
    QString decodeError;
    {
        Decoder decoder(filled, spare, framesQueued, [&](quint64, const QString &error) {
            const std::lock_guard lock(errorMutex);
            decodeError = error;
        });
        for (qsizetype k = 0; k < plan.size(); ++k) {
            Decoder::Item item;
            item.serial = quint64(k + 1);
            const QString path = plan.at(k).path;
            item.open = [path](QString &error) { return tv::media::openPlayable(path, error); };
            item.silenceBefore = tv::media::framesForMs(plan.at(k).silenceBeforeMs);
            item.gain = plan.at(k).gain;
            decoder.plan(std::move(item));
        }
        const quint64 lastSerial = quint64(plan.size());
        for (;;) {
            if (cancel && cancel->load()) {
                outcome.result = RenderOutcome::Result::Cancelled;
                return outcome; // the decoder stops with its scope; the file is never committed
            }
            Chunk *chunk = nullptr;
            if (!filled.pop(chunk)) {
                std::this_thread::sleep_for(std::chrono::microseconds(500));
                continue;
            }
            const bool ok = chunk->frames == 0 || sink(chunk->samples, chunk->frames, outcome.error);
            if (chunk->itemFrame >= 0) { // the song's own frames, not the silence before it
                const qsizetype song = qsizetype(chunk->serial) - 1;
                if (outcome.songFrames.size() <= song) {
                    outcome.songFrames.resize(song + 1);
                    outcome.songStarts.resize(song + 1, -1);
                }
                if (outcome.songStarts[song] < 0)
                    outcome.songStarts[song] = outcome.frames;
                outcome.songFrames[song] += chunk->frames;
            }
            outcome.frames += chunk->frames;
            framesQueued -= chunk->frames;
            const bool failedItem = chunk->itemFailed;
            const bool done = chunk->itemEnd && chunk->serial == lastSerial;
            spare.push(chunk);
            if (!ok)
                return outcome;
            if (failedItem) {
                const std::lock_guard lock(errorMutex);
                outcome.error = decodeError.isEmpty() ? QStringLiteral("A song of the side could not be played.") : decodeError;
                return outcome;
            }
            if (progress)
                progress(outcome.frames);
            if (done)
                break;
        }
    }
    outcome.result = RenderOutcome::Result::Written;
    return outcome;
}

QList<EarlyEnd> songsEndingEarly(const QList<qint64> &entrySeconds, const RenderOutcome &outcome)
{
    QList<EarlyEnd> early;
    for (qsizetype k = 0; k < entrySeconds.size(); ++k) {
        const qint64 frames = k < outcome.songFrames.size() ? outcome.songFrames.at(k) : 0;
        if (entrySeconds.at(k) > 0 && frames + tv::media::kSampleRate < entrySeconds.at(k) * tv::media::kSampleRate)
            early.append({k, frames, entrySeconds.at(k)});
    }
    return early;
}

} // namespace tv::levels
