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
    RenderOutcome outcome;
    AudioFileWriter writer;
    if (!writer.open(outPath, outcome.error))
        return outcome;
    if (plan.isEmpty()) {
        if (writer.finish(outcome.error))
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
            const bool ok = chunk->frames == 0 || writer.write(chunk->samples, chunk->frames, outcome.error);
            outcome.frames += chunk->frames;
            if (chunk->itemFrame >= 0) { // the song's own frames, not the silence before it
                const qsizetype song = qsizetype(chunk->serial) - 1;
                if (outcome.songFrames.size() <= song)
                    outcome.songFrames.resize(song + 1);
                outcome.songFrames[song] += chunk->frames;
            }
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
    if (writer.finish(outcome.error))
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
