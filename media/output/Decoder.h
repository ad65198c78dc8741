#pragma once

#include "../AudioSource.h"
#include "Chunk.h"
#include "SpscQueue.h"

#include <QString>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace tv::media {

// The decode thread of one output: turns the plan (the item playing now and
// the items planned after it, each with the silence that comes before it)
// into chunks, several seconds ahead of what is heard, so that a busy
// machine, a slow disk or a slow decoder never reaches the deck.
//
// Threads: every public method may be called from any thread (commands are
// queued under a mutex and carried out on the decode thread). Chunks go out
// through `filled` (the decode thread pushes, the sound-server thread pops)
// and come back through `spare`.
class Decoder
{
public:
    using Opener = std::function<std::unique_ptr<AudioSource>(QString &error)>;

    struct Item
    {
        quint64 serial = 0;
        Opener open;
        qint64 startMs = 0;         // where in the item to begin
        qint64 silenceBefore = 0;   // frames of silence between the previous item's end and this one
        double gain = 1.0;          // applied to every sample of the item
    };

    // Called on the decode thread when an item cannot be opened or read;
    // the failure also travels in the stream, to be reported when heard.
    using FailureNote = std::function<void(quint64 serial, const QString &error)>;

    Decoder(SpscQueue<Chunk *> &filled, SpscQueue<Chunk *> &spare, std::atomic<qint64> &framesQueued, FailureNote note);
    ~Decoder();

    // Everything playing and planned is dropped; item plays next, stamped generation.
    void play(quint32 generation, Item item);
    // item is planned after the last planned item.
    void plan(Item item);
    // Drops everything; chunks made from now on carry generation.
    void stopAll(quint32 generation);

    // How far ahead of the sound-server thread the decoder keeps the stream.
    static constexpr qint64 kAheadFrames = framesForMs(8000);

private:
    struct Command;
    struct Playing;

    void run();
    void apply(Command &command);
    bool produce(Chunk &chunk); // false when there is nothing to play
    void beginNext();
    void openAhead(Playing &item);
    bool openItem(Playing &item, Chunk &chunk);
    void failHere(Chunk &chunk, quint64 serial, const QString &error);

    SpscQueue<Chunk *> &m_filled;
    SpscQueue<Chunk *> &m_spare;
    std::atomic<qint64> &m_framesQueued;
    FailureNote m_note;

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<Command> m_commands;
    bool m_quit = false;

    // Decode-thread state.
    quint32 m_generation = 0;
    std::unique_ptr<Playing> m_current;
    std::deque<std::unique_ptr<Playing>> m_planned;
    qint64 m_silenceLeft = 0; // planned silence still to make before m_current starts
    Chunk *m_held = nullptr;  // a spare chunk taken but not filled yet

    std::thread m_thread; // last: starts after everything above exists
};

} // namespace tv::media
