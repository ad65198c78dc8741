#include "StreamWriter.h"

#include "Realtime.h"

#include <QCoreApplication>
#include <pulse/pulseaudio.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

namespace tv::media {

namespace {
constexpr qint64 kRingFrames = framesForMs(3500); // more than the largest buffer plus the zeros ahead
constexpr qint64 kFadeFrames = framesForMs(5);    // pause, stop and a new song fade over 5 ms
constexpr qint64 kZerosAheadFrames = framesForMs(40); // zeros are written only this far ahead of the ear
// After a song's last frame the server must still hold more than one of its
// cycles: PipeWire's pulse server plays nothing of a stream that holds less
// than a whole cycle (up to 2048 frames, 46 ms at 44.1 kHz, with one player
// alone on a desktop) and plays the rest a cycle late, a dropout at the very
// end of the song. Only after an item's end (or a fade): a decoder a little
// behind in mid-song gets the few zeros it always did. A cut drops these
// zeros, so the next song still starts at once.
constexpr qint64 kTailZerosFrames = framesForMs(120);
constexpr qint64 kLeadInFrames = framesForMs(50); // zeros a new stream starts with
constexpr qint64 kAheadOfClockFrames = framesForMs(20); // how far the position may run ahead of the clock
constexpr int kTickMs = 10;
constexpr qint64 kSettleUs = 100000; // more than two of a server's cycles
constexpr qint64 kServerCutTrustFrames = framesForMs(150);
constexpr int kConnectTimeoutMs = 3000;

qint64 nowUs() { return qint64(pa_rtclock_now()); }
qint64 usToFrames(qint64 us) { return us * kSampleRate / 1000000; }

// Runs a block with the PulseAudio loop's lock held (from outside its thread).
struct LoopLock
{
    explicit LoopLock(pa_threaded_mainloop *loop) : m_loop(loop) { pa_threaded_mainloop_lock(m_loop); }
    ~LoopLock() { pa_threaded_mainloop_unlock(m_loop); }
    pa_threaded_mainloop *m_loop;
};
} // namespace

// A stretch of the written stream: frames of one item (itemFrame >= 0),
// planned silence before an item (itemFrame -1), or zeros of our own (filler).
struct StreamWriter::Segment
{
    qint64 seq = 0;
    qint64 count = 0;
    quint64 serial = 0;
    qint64 itemFrame = -1;
    bool filler = false;
};

struct StreamWriter::Event
{
    enum Kind { Start, End, Failure };
    qint64 seq = 0; // heard once the position reaches it
    quint64 serial = 0;
    Kind kind = Start;
};

// Frames on their way into the stream, with what is to be reported about
// them: from a chunk, or from what a pause took back.
struct StreamWriter::Piece
{
    std::vector<qint16> ownSamples; // only for pieces taken back
    const qint16 *samples = nullptr;
    qint64 seq = 0; // where a piece taken back stood in the stream
    qint64 frames = 0;
    quint64 serial = 0;
    qint64 itemFrame = -1;
    bool start = false;   // an item starts at the first frame
    bool end = false;     // an item ends after the last frame
    bool failure = false; // an item fails after the last frame
};

StreamWriter::StreamWriter(StreamShared &shared, StreamListener &listener)
    : m_shared(shared), m_listener(listener), m_ring(std::size_t(kRingFrames) * kChannels), m_out(std::size_t(kRingFrames) * kChannels)
{
    m_loop = pa_threaded_mainloop_new();
    pa_threaded_mainloop_set_name(m_loop, "sound-output");
    pa_threaded_mainloop_start(m_loop);
}

StreamWriter::~StreamWriter()
{
    {
        const LoopLock lock(m_loop);
        closeAll();
    }
    pa_threaded_mainloop_stop(m_loop);
    pa_threaded_mainloop_free(m_loop);
    releaseChunk();
}

// ---- UI-thread entry points -------------------------------------------------

void StreamWriter::open()
{
    const LoopLock lock(m_loop);
    m_contentAtUs = nowUs();
    if (!m_context)
        connectContext();
}

void StreamWriter::cut(bool keepPaused)
{
    const LoopLock lock(m_loop);
    m_zerosToTheBrim = false;
    if (!keepPaused) {
        m_paused = false;
        m_fadeIn = 0;
    }
    takeBack(false);
    fill();
}

void StreamWriter::pause()
{
    const LoopLock lock(m_loop);
    if (m_paused)
        return;
    m_paused = true;
    takeBack(true);
    fill();
}

void StreamWriter::resume()
{
    const LoopLock lock(m_loop);
    if (!m_paused)
        return;
    m_paused = false;
    m_fadeIn = kFadeFrames;
    if (m_cutDeferredUntilUs) { // the pause never took anything back
        m_cutDeferredUntilUs = 0;
        m_fadeIn = 0;
    } else if (!m_cutPending) {
        // Only our zeros lie ahead of the ear: they go, so that the song is
        // heard again at once, however many a long server cycle wanted.
        m_zerosToTheBrim = false;
        takeBack(true);
        return;
    }
    fill();
}

void StreamWriter::setGain(double linear)
{
    const LoopLock lock(m_loop);
    m_gain = std::clamp(linear, 0.0, 1.0);
}

void StreamWriter::setBufferMs(int ms)
{
    const LoopLock lock(m_loop);
    m_bufferMs = std::clamp(ms, 50, kLargestBufferMs);
    if (m_stream && m_ready) {
        pa_buffer_attr attr{};
        attr.maxlength = uint32_t(-1);
        attr.tlength = uint32_t(framesForMs(m_bufferMs) * kBytesPerFrame);
        attr.prebuf = uint32_t(framesForMs(20) * kBytesPerFrame);
        attr.minreq = uint32_t(framesForMs(10) * kBytesPerFrame);
        attr.fragsize = uint32_t(-1);
        pa_operation *op = pa_stream_set_buffer_attr(m_stream, &attr, nullptr, nullptr);
        if (op)
            pa_operation_unref(op);
    }
}

void StreamWriter::setKeepOpenMs(int ms)
{
    const LoopLock lock(m_loop);
    m_keepOpenMs = ms;
}

// ---- connection ---------------------------------------------------------------

void StreamWriter::connectContext()
{
    pa_proplist *props = pa_proplist_new();
    const QByteArray app = QCoreApplication::applicationName().toUtf8();
    pa_proplist_sets(props, PA_PROP_APPLICATION_NAME, app.isEmpty() ? "TapeVantrel" : app.constData());
    pa_proplist_sets(props, PA_PROP_MEDIA_ROLE, "music");
    m_context = pa_context_new_with_proplist(pa_threaded_mainloop_get_api(m_loop), "TapeVantrel", props);
    pa_proplist_free(props);
    pa_context_set_state_callback(m_context, &StreamWriter::contextState, this);
    m_connectStartUs = nowUs();
    if (pa_context_connect(m_context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
        lose(QStringLiteral("No sound server could be reached (%1).").arg(QString::fromUtf8(pa_strerror(pa_context_errno(m_context)))));
        return;
    }
    armTick(kTickMs); // also watches the connection's time limit
}

void StreamWriter::contextState(pa_context *c, void *self)
{
    auto *w = static_cast<StreamWriter *>(self);
    switch (pa_context_get_state(c)) {
    case PA_CONTEXT_READY:
        w->makeStream();
        break;
    case PA_CONTEXT_FAILED:
    case PA_CONTEXT_TERMINATED:
        w->loseLater(QStringLiteral("The connection to the sound server was lost (%1).").arg(QString::fromUtf8(pa_strerror(pa_context_errno(c)))));
        break;
    default:
        break;
    }
}

void StreamWriter::makeStream()
{
    pa_sample_spec spec{};
    spec.format = PA_SAMPLE_S16NE;
    spec.rate = kSampleRate;
    spec.channels = kChannels;
    m_stream = pa_stream_new(m_context, "Playback", &spec, nullptr);
    if (!m_stream) {
        loseLater(QStringLiteral("The sound server refused a playback stream (%1).").arg(QString::fromUtf8(pa_strerror(pa_context_errno(m_context)))));
        return;
    }
    pa_stream_set_state_callback(m_stream, &StreamWriter::streamState, this);
    pa_stream_set_write_callback(m_stream, &StreamWriter::writeRequest, this);
    pa_stream_set_latency_update_callback(m_stream, &StreamWriter::timingArrived, this);
    pa_stream_set_underflow_callback(m_stream, &StreamWriter::ranDry, this);
    pa_buffer_attr attr{};
    attr.maxlength = uint32_t(-1);
    attr.tlength = uint32_t(framesForMs(m_bufferMs) * kBytesPerFrame);
    // Playback starts as soon as 20 ms are there; should the stream ever run
    // dry it waits for new frames instead of skipping over them.
    attr.prebuf = uint32_t(framesForMs(20) * kBytesPerFrame);
    attr.minreq = uint32_t(framesForMs(10) * kBytesPerFrame);
    attr.fragsize = uint32_t(-1);
    const auto flags = pa_stream_flags_t(PA_STREAM_INTERPOLATE_TIMING | PA_STREAM_AUTO_TIMING_UPDATE);
    if (pa_stream_connect_playback(m_stream, nullptr, &attr, flags, nullptr, nullptr) < 0)
        loseLater(QStringLiteral("The sound server refused a playback stream (%1).").arg(QString::fromUtf8(pa_strerror(pa_context_errno(m_context)))));
}

void StreamWriter::streamState(pa_stream *s, void *self)
{
    auto *w = static_cast<StreamWriter *>(self);
    switch (pa_stream_get_state(s)) {
    case PA_STREAM_READY:
        w->m_ready = true;
        w->m_written = w->m_lastHeard = w->m_clockAnchorHeard = 0;
        w->m_serverOffset = 0;
        w->m_serverOffsetKnown = true;
        w->m_progressAtUs = w->m_lastHeardAtUs = w->m_clockAnchorUs = w->m_timingAtUs = w->m_timingAskedAtUs = nowUs();
        w->writeLeadIn();
        w->fill();
        break;
    case PA_STREAM_FAILED:
    case PA_STREAM_TERMINATED:
        if (w->m_stream == s)
            w->loseLater(QStringLiteral("The sound server ended the playback stream (%1).")
                        .arg(QString::fromUtf8(pa_strerror(pa_context_errno(w->m_context)))));
        break;
    default:
        break;
    }
}

void StreamWriter::writeRequest(pa_stream *, size_t, void *self)
{
    static_cast<StreamWriter *>(self)->fill();
}

void StreamWriter::timingArrived(pa_stream *s, void *self)
{
    auto *w = static_cast<StreamWriter *>(self);
    w->m_timingAtUs = nowUs();
    w->learnServerOffset(s);
}

void StreamWriter::learnServerOffset(pa_stream *s)
{
    // The client library keeps the server's write index up to date with
    // every write; once it is sure of it again after a flush, it gives the
    // distance between the server's frame numbers and ours. Not while a cut
    // waits for its answer: the flush has moved the server's index, ours
    // not yet.
    if (m_cutPending || s != m_stream)
        return;
    const pa_timing_info *t = pa_stream_get_timing_info(s);
    if (!t || t->write_index_corrupt)
        return;
    m_serverOffset = qint64(t->write_index) / kBytesPerFrame - m_written;
    m_serverOffsetKnown = true;
}

void StreamWriter::ranDry(pa_stream *, void *self)
{
    // A sink that wakes seldom takes all the stream holds at once; with
    // only the zeros ahead of the ear left, the stream runs dry and waits
    // for frames before it plays on, while the ear stands still. From then
    // on zeros fill all the server asks for, so that its clock keeps moving,
    // and are taken back as soon as something is to play.
    auto *w = static_cast<StreamWriter *>(self);
    if (!w->m_zerosToTheBrim)
        w->m_brimFrom = w->m_written;
    w->m_zerosToTheBrim = true;
    w->fill();
}

void StreamWriter::closeAll()
{
    if (m_tick) {
        pa_threaded_mainloop_get_api(m_loop)->time_free(m_tick);
        m_tick = nullptr;
    }
    if (m_stream) {
        pa_stream_set_state_callback(m_stream, nullptr, nullptr);
        pa_stream_set_write_callback(m_stream, nullptr, nullptr);
        pa_stream_set_latency_update_callback(m_stream, nullptr, nullptr);
        pa_stream_set_underflow_callback(m_stream, nullptr, nullptr);
        pa_stream_disconnect(m_stream);
        pa_stream_unref(m_stream);
        m_stream = nullptr;
    }
    if (m_context) {
        pa_context_set_state_callback(m_context, nullptr, nullptr);
        pa_context_disconnect(m_context);
        pa_context_unref(m_context);
        m_context = nullptr;
    }
    if (m_cutOp) {
        pa_operation_cancel(m_cutOp);
        pa_operation_unref(m_cutOp);
        m_cutOp = nullptr;
    }
    m_cutPending = false;
    m_cutDeferredUntilUs = 0;
    m_reportedUpTo = 0;
    m_ready = false;
    m_zerosToTheBrim = false;
    m_endWrittenLast = false;
    m_segments.clear();
    m_events.clear();
    m_written = m_lastHeard = 0;
}

void StreamWriter::loseLater(const QString &why)
{
    // Called from inside the server's own callbacks: the connection is torn
    // down once they have returned.
    pa_mainloop_api_once(pa_threaded_mainloop_get_api(m_loop), &StreamWriter::runLose, new Job{this, m_context, why});
}

void StreamWriter::runLose(pa_mainloop_api *, void *data)
{
    std::unique_ptr<Job> job(static_cast<Job *>(data));
    if (job->writer->m_context == job->context)
        job->writer->lose(job->why);
}

void StreamWriter::lose(const QString &why)
{
    // Whatever was on its way will not be heard: drop it, and let the next
    // song connect afresh.
    const bool wasPlaying = !m_events.empty() || !m_kept.empty() || m_chunk || m_shared.filled.peek();
    closeAll();
    m_kept.clear();
    m_paused = false;
    releaseChunk();
    Chunk *c = nullptr;
    while (m_shared.filled.pop(c)) {
        m_shared.framesQueued -= c->frames;
        m_shared.spare.push(c);
    }
    if (wasPlaying)
        m_listener.outputLost(why);
}

// ---- the clock ----------------------------------------------------------------

void StreamWriter::armTick(int ms)
{
    const pa_usec_t at = pa_rtclock_now() + pa_usec_t(ms) * 1000;
    if (m_tick)
        pa_context_rttime_restart(m_context, m_tick, at);
    else
        m_tick = pa_context_rttime_new(m_context, at, &StreamWriter::timerFired, this);
}

void StreamWriter::timerFired(pa_mainloop_api *, pa_time_event *, const timeval *, void *self)
{
    static_cast<StreamWriter *>(self)->tick();
}

qint64 StreamWriter::heardNow()
{
    // The frame being heard: what was written minus what the server still
    // holds before its sink plays it. Right after a flush the server's
    // figures are not yet known; the last position carried on by the clock
    // stands in for them.
    const qint64 now = nowUs();
    qint64 heard = m_lastHeard + usToFrames(now - m_lastHeardAtUs);
    pa_usec_t latency = 0;
    int negative = 0;
    if (m_stream && m_ready && pa_stream_get_latency(m_stream, &latency, &negative) == 0)
        heard = m_written - (negative ? 0 : usToFrames(qint64(latency)));
    // The ear does not run ahead of the clock. The client library's count
    // of what the server holds can come out short after a flush; trusted,
    // the position would run ahead, the zeros written ahead of it would fill
    // the server's buffer and what follows would be heard seconds late.
    // The clock line starts again wherever the figure falls behind it; a
    // little is allowed ahead of it (and 0.1 % of the time since) for a
    // sound card whose clock runs fast.
    const qint64 sinceAnchorUs = now - m_clockAnchorUs;
    const qint64 line = m_clockAnchorHeard + usToFrames(sinceAnchorUs);
    if (heard <= line) {
        m_clockAnchorHeard = heard;
        m_clockAnchorUs = now;
    } else {
        heard = std::min(heard, line + kAheadOfClockFrames + usToFrames(sinceAnchorUs / 1000));
    }
    heard = std::clamp(heard, m_lastHeard, m_written);
    m_lastHeard = heard;
    m_lastHeardAtUs = now;
    return heard;
}

void StreamWriter::tick()
{
    if (!m_prioritySet) {
        m_prioritySet = true;
        raiseThreadForAudio();
    }
    const qint64 now = nowUs();
    if (!m_ready) {
        if (m_context && now - m_connectStartUs > qint64(kConnectTimeoutMs) * 1000) {
            lose(QStringLiteral("The sound server did not answer within %1 seconds.").arg(kConnectTimeoutMs / 1000));
            return;
        }
        armTick(kTickMs);
        return;
    }
    if (m_cutDeferredUntilUs && now >= m_cutDeferredUntilUs)
        takeBack(true);
    // A server that has not said where the cut falls within a quarter
    // second is not waited for any longer: the figures at hand place it.
    if (m_cutPending && now - m_cutAskedAtUs > 250000) {
        if (m_cutOp) {
            pa_operation_cancel(m_cutOp);
            pa_operation_unref(m_cutOp);
            m_cutOp = nullptr;
        }
        cutByEstimate();
    }
    fill();
    const qint64 heard = heardNow();
    fireEvents(heard);
    publishPosition(heard);

    // A stream that stops advancing, or a server that stops answering (it
    // is stopped or hung), is lost. The client library carries the position
    // on by the clock between the server's reports, so the reports
    // themselves are watched too: one is asked for every quarter second.
    if (heard != m_progressHeard) {
        m_progressHeard = heard;
        m_progressAtUs = now;
    }
    if (now - m_timingAskedAtUs > 250000) {
        m_timingAskedAtUs = now;
        if (pa_operation *op = pa_stream_update_timing_info(m_stream, nullptr, nullptr))
            pa_operation_unref(op);
    }
    // The span is longer than the longest the server waits between two
    // wake-ups of a sink (what it holds of ours, at most the buffer asked
    // for), so that a healthy server that sleeps is never taken for a
    // stalled one, and short enough that a real stall is told within 3 s.
    const qint64 stall = qint64(kStallMs) * 1000;
    if (now - m_progressAtUs > stall || now - m_timingAtUs > stall) {
        lose(QStringLiteral("The sound output stopped playing for more than %1 seconds: the sound server does not answer.")
                 .arg(QString::number(kStallMs / 1000.0)));
        return;
    }
    // Nothing to play for a while: close the stream (the next song reopens it).
    if (!m_paused && m_kept.empty() && !m_chunk && !m_shared.filled.peek() && m_events.empty()
        && now - m_contentAtUs > qint64(m_keepOpenMs) * 1000) {
        closeAll();
        return;
    }
    // The end of a song is reported when it is heard, not at the next tick.
    int wait = kTickMs;
    if (!m_events.empty() && m_events.front().seq > heard)
        wait = int(std::clamp<qint64>(msForFrames(m_events.front().seq - heard), 1, kTickMs));
    armTick(wait);
}

void StreamWriter::fireEvents(qint64 heard)
{
    while (!m_events.empty() && m_events.front().seq <= heard) {
        const Event e = m_events.front();
        m_events.pop_front();
        m_reportedUpTo = std::max(m_reportedUpTo, e.seq);
        m_reportedAtUs = nowUs();
        switch (e.kind) {
        case Event::Start: m_listener.heardStart(e.serial); break;
        case Event::End: m_listener.heardEnd(e.serial); break;
        case Event::Failure: m_listener.heardFailure(e.serial); break;
        }
    }
}

void StreamWriter::publishPosition(qint64 heard)
{
    while (m_segments.size() > 1 && m_segments[1].seq <= heard)
        m_segments.pop_front();
    if (m_segments.empty())
        return;
    const Segment &s = m_segments.front();
    if (s.filler || heard < s.seq)
        return; // zeros of our own (a pause): the position stays where it was
    m_shared.heardSerial = s.serial;
    m_shared.heardItemFrame = s.itemFrame < 0 ? 0 : s.itemFrame + std::min(heard - s.seq, s.count);
}

// ---- writing ------------------------------------------------------------------

qint64 StreamWriter::ringFree(qint64 heard) const
{
    return kRingFrames - (m_written - heard) - kFadeFrames;
}

void StreamWriter::releaseChunk()
{
    if (m_chunk) {
        m_shared.spare.push(m_chunk);
        m_chunk = nullptr;
        m_chunkPos = 0;
    }
}

bool StreamWriter::takePiece(Piece &piece, qint64 maxFrames)
{
    if (!m_kept.empty()) {
        Piece &k = m_kept.front();
        const qint64 n = std::min(k.frames, maxFrames);
        piece = Piece{};
        piece.samples = k.samples;
        piece.frames = n;
        piece.serial = k.serial;
        piece.itemFrame = k.itemFrame;
        piece.start = k.start;
        k.start = false;
        if (n == k.frames) {
            piece.end = k.end;
            piece.failure = k.failure;
            piece.ownSamples = std::move(k.ownSamples); // keeps the frames alive until written
            m_kept.pop_front();
        } else {
            k.samples += n * kChannels;
            k.frames -= n;
            if (k.itemFrame >= 0)
                k.itemFrame += n;
        }
        return true;
    }
    while (!m_chunk) {
        Chunk *c = nullptr;
        if (!m_shared.filled.pop(c))
            return false;
        m_shared.framesQueued -= c->frames;
        if (c->generation < m_shared.acceptGeneration.load()) {
            m_shared.spare.push(c); // from before a stop or a new song: never heard
            continue;
        }
        m_chunk = c;
        m_chunkPos = 0;
    }
    const Chunk &c = *m_chunk;
    const qint64 n = std::min<qint64>(c.frames - m_chunkPos, maxFrames);
    piece = Piece{};
    piece.samples = c.samples + std::size_t(m_chunkPos) * kChannels;
    piece.frames = n;
    piece.serial = c.serial;
    piece.itemFrame = c.itemFrame < 0 ? -1 : c.itemFrame + m_chunkPos;
    piece.start = c.itemStart && m_chunkPos == 0 && c.frames > 0;
    m_chunkPos += int(n);
    if (m_chunkPos >= c.frames) {
        piece.end = c.itemEnd;
        piece.failure = c.itemFailed;
    }
    return true; // the chunk goes back to the decoder once the piece is written
}

void StreamWriter::writePiece(const Piece &p, qint16 *out)
{
    if (p.start)
        m_events.push_back({m_written, p.serial, Event::Start});
    for (qint64 i = 0; i < p.frames; ++i) {
        const std::size_t r = std::size_t((m_written + i) % kRingFrames) * kChannels;
        const qint16 left = p.samples[2 * i], right = p.samples[2 * i + 1];
        m_ring[r] = left;
        m_ring[r + 1] = right;
        if (m_gainNow != m_gain) // volume changes glide over about 5 ms
            m_gainNow = m_gain > m_gainNow ? std::min(m_gain, m_gainNow + 1.0 / kFadeFrames) : std::max(m_gain, m_gainNow - 1.0 / kFadeFrames);
        double g = m_gainNow;
        if (m_fadeIn > 0) {
            g *= double(kFadeFrames - m_fadeIn) / double(kFadeFrames);
            --m_fadeIn;
        }
        if (g == 1.0) {
            out[2 * i] = left;
            out[2 * i + 1] = right;
        } else {
            out[2 * i] = qint16(std::lround(left * g));
            out[2 * i + 1] = qint16(std::lround(right * g));
        }
    }
    if (p.frames > 0) {
        Segment *last = m_segments.empty() ? nullptr : &m_segments.back();
        const bool joins = last && !last->filler && last->serial == p.serial && last->seq + last->count == m_written
                           && ((last->itemFrame < 0 && p.itemFrame < 0) || (last->itemFrame >= 0 && last->itemFrame + last->count == p.itemFrame));
        if (joins)
            last->count += p.frames;
        else
            m_segments.push_back({m_written, p.frames, p.serial, p.itemFrame, false});
        m_written += p.frames;
        m_contentAtUs = nowUs();
        m_endWrittenLast = false;
    }
    if (p.end || p.failure)
        m_endWrittenLast = true;
    if (p.end)
        m_events.push_back({m_written, p.serial, Event::End});
    if (p.failure)
        m_events.push_back({m_written, p.serial, Event::Failure});
}

void StreamWriter::writeFiller(qint64 frames, qint16 *out)
{
    std::memset(out, 0, std::size_t(frames) * kBytesPerFrame);
    for (qint64 i = 0; i < frames; ++i) {
        const std::size_t r = std::size_t((m_written + i) % kRingFrames) * kChannels;
        m_ring[r] = m_ring[r + 1] = 0;
    }
    Segment *last = m_segments.empty() ? nullptr : &m_segments.back();
    if (last && last->filler && last->seq + last->count == m_written)
        last->count += frames;
    else
        m_segments.push_back({m_written, frames, 0, -1, true});
    m_written += frames;
}

void StreamWriter::fill()
{
    if (!m_stream || !m_ready || m_cutPending)
        return;
    const qint64 heard = heardNow();
    qint64 room = qint64(pa_stream_writable_size(m_stream)) / kBytesPerFrame;
    room = std::min(room, ringFree(heard));
    if (room <= 0)
        return;
    if (m_zerosToTheBrim && !m_paused && (!m_kept.empty() || m_chunk || m_shared.filled.peek())) {
        // When the server asks for more, the zeros written to the brim
        // after the stream ran dry go, and what is to play follows the ear
        // as closely as the sink allows: at once, placed by the figures at
        // hand, since only zeros go and a sink that sleeps must get the song
        // before it wakes again. Frames of an item written before the news
        // of running dry came are queued already and play on unbroken.
        m_zerosToTheBrim = false;
        m_cutKeep = true;
        m_cutEstimate = std::max(firstUntakenFrame(), m_brimFrom);
        if (m_cutEstimate < m_written) { // else the sink took them all: nothing to flush
            if (pa_operation *op = pa_stream_flush(m_stream, nullptr, nullptr))
                pa_operation_unref(op);
            cutByEstimate();
            return;
        }
    }
    qint64 n = 0;
    while (n < room && !m_paused) {
        Piece piece;
        if (!takePiece(piece, room - n))
            break;
        writePiece(piece, m_out.data() + n * kChannels);
        n += piece.frames;
        if (m_chunk && m_chunkPos >= m_chunk->frames)
            releaseChunk();
    }
    // Nothing more to play: zeros keep the stream running, but only a little
    // ahead of the ear, so that the next song is heard as soon as it comes;
    // after the stream ran dry, all the server asks for. The server's own
    // queue never falls below that little either, whatever the ear is
    // reckoned to be: run dry at a song's end, a server plays the song's
    // last milliseconds one cycle late.
    const qint64 queued = serverQueueFrames() + n;
    const qint64 ahead = m_endWrittenLast ? kTailZerosFrames : kZerosAheadFrames;
    const qint64 wanted = std::max(heard + ahead - m_written, ahead - queued);
    const qint64 zeros = m_zerosToTheBrim ? room - n : std::min(room - n, wanted);
    if (zeros > 0) {
        writeFiller(zeros, m_out.data() + n * kChannels);
        n += zeros;
    }
    if (n > 0)
        pa_stream_write(m_stream, m_out.data(), std::size_t(n) * kBytesPerFrame, nullptr, 0, PA_SEEK_RELATIVE);
}

qint64 StreamWriter::serverQueueFrames() const
{
    // What the server holds of ours before its sink takes it: its target
    // less what it asks for, by its own flow control, not by the ear.
    const pa_buffer_attr *attr = pa_stream_get_buffer_attr(m_stream);
    const qint64 target = attr ? qint64(attr->tlength) / kBytesPerFrame : framesForMs(m_bufferMs);
    return std::max<qint64>(0, target - qint64(pa_stream_writable_size(m_stream)) / kBytesPerFrame);
}

qint64 StreamWriter::firstUntakenFrame()
{
    // The first frame the server's sink has not yet taken in, as far as the
    // figures at hand tell: used only when the server cannot say.
    const qint64 heard = heardNow();
    const pa_timing_info *timing = pa_stream_get_timing_info(m_stream);
    const qint64 sinkFrames = timing ? usToFrames(qint64(timing->sink_usec)) : 0;
    return std::clamp(heard + sinkFrames + framesForMs(2), heard, m_written);
}

void StreamWriter::replayReported(std::deque<Piece> &back)
{
    // Only frames that follow the cut unbroken keep their place in the stream.
    const qint64 upTo = m_reportedUpTo;
    const qint64 from = m_written;
    qint64 n = 0;
    while (!back.empty() && back.front().seq == from + n && back.front().seq < upTo) {
        Piece &p = back.front();
        const qint64 count = std::min(p.frames, upTo - p.seq);
        if (count <= 0)
            break;
        for (qint64 i = 0; i < count; ++i) {
            const std::size_t r = std::size_t((m_written + n + i) % kRingFrames) * kChannels;
            m_ring[r] = p.samples[2 * i];
            m_ring[r + 1] = p.samples[2 * i + 1];
            m_out[std::size_t(2 * (n + i))] = qint16(std::lround(p.samples[2 * i] * m_gainNow));
            m_out[std::size_t(2 * (n + i) + 1)] = qint16(std::lround(p.samples[2 * i + 1] * m_gainNow));
        }
        m_segments.push_back({m_written + n, count, p.serial, p.itemFrame, false});
        n += count;
        if (count == p.frames) {
            back.pop_front();
            continue;
        }
        p.samples += count * kChannels;
        p.seq += count;
        p.frames -= count;
        if (p.itemFrame >= 0)
            p.itemFrame += count;
        break;
    }
    if (n == 0)
        return;
    pa_stream_write(m_stream, m_out.data(), std::size_t(n) * kBytesPerFrame, nullptr, 0, PA_SEEK_RELATIVE);
    m_written += n;
}

void StreamWriter::cutPointArrived(pa_stream *s, int success, void *self)
{
    auto *w = static_cast<StreamWriter *>(self);
    if (!w->m_cutPending || s != w->m_stream)
        return;
    if (w->m_cutOp) {
        pa_operation_unref(w->m_cutOp);
        w->m_cutOp = nullptr;
    }
    // Asked after the flush, the server's read index is exactly where it
    // stopped taking our frames: all before it will still be heard, nothing
    // after it. Stream sequence numbers are the server's write index in
    // frames, kept so across every cut.
    const pa_timing_info *t = pa_stream_get_timing_info(s);
    const bool known = success && t && !t->read_index_corrupt && t->read_index >= 0;
    const qint64 cut = known ? qint64(t->read_index) / kBytesPerFrame - w->m_serverOffset : 0;
    // A sink that sleeps between long wake-ups has taken in seconds ahead of
    // the ear, and plays what it has taken whatever the cut says. There the
    // guess has long held up, while the server's figure was seen to stall
    // the sound output. Within a few server cycles of the guess the server
    // is believed: there the two differ by what would be heard twice or lost.
    if (known && std::abs(cut - w->m_cutEstimate) <= kServerCutTrustFrames)
        w->finishTakeBack(cut);
    else
        w->cutByEstimate();
}

void StreamWriter::writeLeadIn()
{
    // A new stream begins with zeros, never with a song: while the server
    // attaches a new stream to a running sink it may skip part of the
    // stream's first milliseconds, which would cut into a song's start.
    writeFiller(kLeadInFrames, m_out.data());
    pa_stream_write(m_stream, m_out.data(), std::size_t(kLeadInFrames) * kBytesPerFrame, nullptr, 0, PA_SEEK_RELATIVE);
}

void StreamWriter::takeBack(bool keep)
{
    if (!m_stream || !m_ready) {
        if (!keep) {
            m_kept.clear();
            releaseChunk();
        }
        return;
    }
    if (m_cutPending) {
        m_cutKeep = m_cutKeep && keep;
        return;
    }
    // A server's figures may run a cycle ahead of its sink, and a flush
    // drops what it has taken and not yet played. A pause just after a
    // song's end or start was reported waits until those frames are surely
    // heard (the frames past the cut are kept, so resume loses nothing).
    const qint64 settleUntil = m_reportedAtUs + kSettleUs;
    if (keep && m_paused && nowUs() < settleUntil) {
        m_cutDeferredUntilUs = settleUntil;
        return;
    }
    m_cutDeferredUntilUs = 0;
    // What the server holds and has not taken is dropped now; where that
    // begins, the server says in answer to the next question, asked after the
    // flush. Nothing is written until then.
    m_cutPending = true;
    m_cutKeep = keep;
    m_cutEstimate = firstUntakenFrame();
    m_cutAskedAtUs = nowUs();
    if (pa_operation *op = pa_stream_flush(m_stream, nullptr, nullptr))
        pa_operation_unref(op);
    // The server's answer is in its own frame numbers; without the distance
    // to ours (lost at a flush placed by guess, until the next report) the
    // guess has to do.
    m_cutOp = m_serverOffsetKnown ? pa_stream_update_timing_info(m_stream, &StreamWriter::cutPointArrived, this) : nullptr;
    if (!m_cutOp)
        cutByEstimate();
}

void StreamWriter::cutByEstimate()
{
    // The flush cut wherever the server had got to; frames are numbered on
    // from the guess, so the distance to the server's numbers is learnt anew.
    m_serverOffsetKnown = false;
    finishTakeBack(m_cutEstimate);
}

void StreamWriter::finishTakeBack(qint64 cut)
{
    const bool keep = m_cutKeep;
    m_cutPending = false;
    m_endWrittenLast = false;
    cut = std::clamp<qint64>(cut, 0, m_written);

    // What was written from the cut on, in order, without our own zeros.
    std::deque<Piece> back;
    for (auto it = m_segments.begin(); it != m_segments.end();) {
        Segment &s = *it;
        const qint64 from = std::max(s.seq, cut);
        const qint64 to = s.seq + s.count;
        if (to <= cut) {
            ++it;
            continue;
        }
        if (!s.filler) {
            Piece p;
            p.frames = to - from;
            p.ownSamples.resize(std::size_t(p.frames) * kChannels);
            for (qint64 i = 0; i < p.frames; ++i) {
                const std::size_t r = std::size_t((from + i) % kRingFrames) * kChannels;
                p.ownSamples[std::size_t(2 * i)] = m_ring[r];
                p.ownSamples[std::size_t(2 * i + 1)] = m_ring[r + 1];
            }
            p.samples = p.ownSamples.data();
            p.seq = from;
            p.serial = s.serial;
            p.itemFrame = s.itemFrame < 0 ? -1 : s.itemFrame + (from - s.seq);
            back.push_back(std::move(p));
        }
        if (s.seq < cut) {
            s.count = cut - s.seq;
            ++it;
        } else {
            it = m_segments.erase(it);
        }
    }
    // Events after the cut travel with the frames they belong to: a start at
    // or after the cut, an end or a failure after it.
    for (auto it = m_events.begin(); it != m_events.end();) {
        const bool after = it->kind == Event::Start ? it->seq >= cut : it->seq > cut;
        if (!after) {
            ++it;
            continue;
        }
        if (keep) {
            Piece *owner = nullptr;
            for (Piece &p : back) {
                const bool fits = it->kind == Event::Start ? p.seq >= it->seq : p.seq < it->seq;
                if (p.serial == it->serial && fits && (it->kind != Event::Start || !owner))
                    owner = &p;
            }
            if (!owner) { // only a mark, with no frames of its own left
                back.push_back(Piece{});
                owner = &back.back();
                owner->serial = it->serial;
                owner->samples = nullptr;
            }
            (it->kind == Event::Start ? owner->start : it->kind == Event::End ? owner->end : owner->failure) = true;
        }
        it = m_events.erase(it);
    }
    m_written = cut;
    m_lastHeard = std::min(m_lastHeard, cut);
    m_clockAnchorHeard = m_lastHeard;
    m_clockAnchorUs = nowUs();

    // What was reported heard (a song's end, most often) is heard, whatever
    // the server had taken: a server whose figures run ahead of its sink
    // must not cut the last milliseconds off a song already reported ended.
    // Those frames are written again as they were, from the cut.
    replayReported(back);

    // A short fade from the frames that were due at the cut, in place of
    // the cut itself, so that the deck records no click; not when the sound
    // goes on (a resume came first, or only zeros were dropped).
    qint64 faded = 0;
    const bool stops = !keep || m_paused;
    for (const Piece &p : back) {
        if (!stops)
            break;
        if (faded >= kFadeFrames)
            break;
        const qint64 n = std::min(p.frames, kFadeFrames - faded);
        for (qint64 i = 0; i < n; ++i) {
            const double g = m_gainNow * double(kFadeFrames - faded - i) / double(kFadeFrames);
            m_out[std::size_t(2 * (faded + i))] = qint16(std::lround(p.samples[2 * i] * g));
            m_out[std::size_t(2 * (faded + i) + 1)] = qint16(std::lround(p.samples[2 * i + 1] * g));
        }
        faded += n;
    }
    if (faded > 0) {
        // Heard as the item it came from, but never taken back again.
        for (qint64 i = 0; i < faded; ++i) {
            const std::size_t r = std::size_t((m_written + i) % kRingFrames) * kChannels;
            m_ring[r] = m_out[std::size_t(2 * i)];
            m_ring[r + 1] = m_out[std::size_t(2 * i + 1)];
        }
        m_segments.push_back({m_written, faded, back.front().serial, back.front().itemFrame, true});
        m_written += faded;
        m_endWrittenLast = true; // the fade, too, must not end in a short queue
        pa_stream_write(m_stream, m_out.data(), std::size_t(faded) * kBytesPerFrame, nullptr, 0, PA_SEEK_RELATIVE);
    }
    if (keep) {
        // On resume the frames play again from the cut, faded in.
        for (auto it = back.rbegin(); it != back.rend(); ++it)
            m_kept.push_front(std::move(*it));
    } else {
        m_kept.clear();
        releaseChunk();
    }
    fill();
}

} // namespace tv::media
