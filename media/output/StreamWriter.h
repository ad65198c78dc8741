#pragma once

#include "Chunk.h"
#include "SpscQueue.h"

#include <QString>
#include <atomic>
#include <deque>
#include <vector>

struct pa_threaded_mainloop;
struct pa_context;
struct pa_stream;
struct pa_time_event;
struct pa_operation;
struct pa_mainloop_api;
struct timeval;

namespace tv::media {

// What the writer shares with the decoder and with the UI-thread handle.
struct StreamShared
{
    static constexpr int kChunks = int(framesForMs(8000) / Chunk::kFrames) + 16;
    SpscQueue<Chunk *> filled{kChunks}; // decoder -> writer
    SpscQueue<Chunk *> spare{kChunks};  // writer -> decoder
    std::atomic<qint64> framesQueued{0};
    std::atomic<quint32> acceptGeneration{0}; // chunks of an older generation are dropped
    std::atomic<quint64> heardSerial{0};      // the item heard now, and where in it
    std::atomic<qint64> heardItemFrame{0};
};

// Called on the sound-server thread; implementations only post onwards.
class StreamListener
{
public:
    virtual ~StreamListener() = default;
    virtual void heardStart(quint64 serial) = 0;   // the item's first frame is being heard
    virtual void heardEnd(quint64 serial) = 0;     // its last frame has been heard
    virtual void heardFailure(quint64 serial) = 0; // it could not go on past what was heard
    virtual void outputLost(const QString &why) = 0; // the sound server stopped playing the stream
};

// The sound-server side of one output: a PulseAudio stream (PipeWire's pulse
// server serves it too) fed from the decoder's chunks by the PulseAudio
// thread, which does nothing else and asks for real-time scheduling. The
// stream never runs dry: where nothing is to play it carries zeros. Pause,
// stop and a new song do not wait for the server's buffer: what was written
// after the point being heard is taken back (flushed), a 5 ms fade written in
// its place, and for a pause kept to be played on resume.
//
// Threads: the public methods are for the UI thread (each takes the
// PulseAudio loop's lock); everything else runs on the PulseAudio thread.
class StreamWriter
{
public:
    StreamWriter(StreamShared &shared, StreamListener &listener);
    ~StreamWriter();

    void open();           // connects, unless connected or connecting
    // Drops what is written and not yet heard, with a fade; a pause stays
    // in force when keepPaused, else it ends.
    void cut(bool keepPaused);
    void pause();          // fade out now, keep the rest for resume
    void resume();
    void setGain(double linear);
    void setBufferMs(int ms); // what the server holds ahead of the ear
    void setKeepOpenMs(int ms);

    // How long the stream may stand still before it counts as lost: longer
    // than the longest wait between a sleeping sink's wake-ups, which is at
    // most the largest buffer asked of the server.
    static constexpr int kLargestBufferMs = 1000;
    static constexpr int kStallMs = kLargestBufferMs + 1500;

private:
    struct Segment;
    struct Event;
    struct Piece;

    // PulseAudio thread (or a UI-thread caller holding the loop's lock).
    void connectContext();
    void makeStream();
    void closeAll();
    void lose(const QString &why);
    void loseLater(const QString &why);
    struct Job
    {
        StreamWriter *writer;
        pa_context *context; // the connection that failed, not a later one
        QString why;
    };
    static void runLose(pa_mainloop_api *api, void *job);
    void tick();
    void fill();
    bool takePiece(Piece &piece, qint64 maxFrames);
    void writePiece(const Piece &piece, qint16 *out);
    void writeFiller(qint64 frames, qint16 *out);
    void writeLeadIn();
    qint64 serverQueueFrames() const;
    qint64 firstUntakenFrame();
    void takeBack(bool keep);
    void finishTakeBack(qint64 cut);
    void cutByEstimate();
    void learnServerOffset(pa_stream *s);
    void replayReported(std::deque<Piece> &back);
    static void cutPointArrived(pa_stream *s, int success, void *self);
    qint64 heardNow();
    void fireEvents(qint64 heard);
    void publishPosition(qint64 heard);
    void armTick(int ms);
    qint64 ringFree(qint64 heard) const;
    void releaseChunk();

    static void contextState(pa_context *c, void *self);
    static void streamState(pa_stream *s, void *self);
    static void writeRequest(pa_stream *s, size_t bytes, void *self);
    static void timingArrived(pa_stream *s, void *self);
    static void ranDry(pa_stream *s, void *self);
    static void timerFired(pa_mainloop_api *api, pa_time_event *e, const timeval *tv, void *self);

    StreamShared &m_shared;
    StreamListener &m_listener;
    pa_threaded_mainloop *m_loop = nullptr;
    pa_context *m_context = nullptr;
    pa_stream *m_stream = nullptr;
    pa_time_event *m_tick = nullptr;
    bool m_ready = false;
    bool m_prioritySet = false;
    bool m_zerosToTheBrim = false; // the stream ran dry: zeros fill all the server asks for
    qint64 m_brimFrom = 0;         // where those zeros begin
    bool m_endWrittenLast = false;  // what was written last ends an item (or fades out)
    bool m_cutPending = false;    // flushed; waiting for the server to say where
    bool m_cutKeep = false;       // the frames past the cut are kept for resume
    qint64 m_cutEstimate = 0;     // where the cut goes should the server not say
    qint64 m_cutAskedAtUs = 0;
    qint64 m_serverOffset = 0;      // the server's frame number less ours
    bool m_serverOffsetKnown = true;
    pa_operation *m_cutOp = nullptr;
    qint64 m_reportedUpTo = 0;    // the last frame an event was reported for
    qint64 m_reportedAtUs = 0;    // and when
    qint64 m_cutDeferredUntilUs = 0; // a pause's cut waits for that until then

    qint64 m_written = 0;         // frames written into the stream (its sequence numbers)
    std::vector<qint16> m_ring;   // the last frames written, by sequence number
    std::vector<qint16> m_out;    // one write's frames, after gain
    std::deque<Segment> m_segments;
    std::deque<Event> m_events;
    std::deque<Piece> m_kept;     // taken back by a pause, to be played on resume
    Chunk *m_chunk = nullptr;     // the chunk being written, and how far
    int m_chunkPos = 0;

    bool m_paused = false;
    qint64 m_fadeIn = 0;          // frames left of the fade-in after a resume
    double m_gain = 1.0;          // volume asked for
    double m_gainNow = 1.0;       // volume applied, moving towards m_gain
    int m_bufferMs = 2000;
    int m_keepOpenMs = 15000;

    qint64 m_lastHeard = 0;
    qint64 m_lastHeardAtUs = 0;
    qint64 m_clockAnchorHeard = 0; // the position heard runs from here with the clock
    qint64 m_clockAnchorUs = 0;
    qint64 m_progressHeard = -1;
    qint64 m_progressAtUs = 0;    // when the heard position last moved
    qint64 m_timingAtUs = 0;      // when the server last reported the stream's timing
    qint64 m_timingAskedAtUs = 0;
    qint64 m_contentAtUs = 0;     // when something other than zeros was last written
    qint64 m_connectStartUs = 0;
};

} // namespace tv::media
