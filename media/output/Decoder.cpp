#include "Decoder.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>

namespace tv::media {

struct Decoder::Command
{
    enum Kind { Play, Plan, StopAll } kind;
    quint32 generation = 0;
    Item item;
};

// An item on its way through the decoder: its source is opened ahead of
// time (as soon as the item before it starts) so that the open costs nothing
// when the item is due.
struct Decoder::Playing
{
    Item item;
    std::unique_ptr<AudioSource> source;
    QString openError;
    bool opened = false;
    bool started = false; // its first chunk has gone out
    qint64 nextFrame = 0; // the item's frame that the next chunk starts with
};

Decoder::Decoder(SpscQueue<Chunk *> &filled, SpscQueue<Chunk *> &spare, std::atomic<qint64> &framesQueued, FailureNote note)
    : m_filled(filled), m_spare(spare), m_framesQueued(framesQueued), m_note(std::move(note)), m_thread([this] { run(); })
{
}

Decoder::~Decoder()
{
    {
        const std::lock_guard lock(m_mutex);
        m_quit = true;
    }
    m_wake.notify_one();
    m_thread.join();
}

void Decoder::play(quint32 generation, Item item)
{
    {
        const std::lock_guard lock(m_mutex);
        m_commands.push_back({Command::Play, generation, std::move(item)});
    }
    m_wake.notify_one();
}

void Decoder::plan(Item item)
{
    {
        const std::lock_guard lock(m_mutex);
        m_commands.push_back({Command::Plan, 0, std::move(item)});
    }
    m_wake.notify_one();
}

void Decoder::stopAll(quint32 generation)
{
    {
        const std::lock_guard lock(m_mutex);
        m_commands.push_back({Command::StopAll, generation, {}});
    }
    m_wake.notify_one();
}

void Decoder::run()
{
    bool starved = false; // every chunk was out at the last look
    for (;;) {
        std::deque<Command> commands;
        {
            std::unique_lock lock(m_mutex);
            const bool wantMore = (m_current || m_silenceLeft > 0) && m_framesQueued.load() < kAheadFrames;
            // Commands wake the thread at once; otherwise it looks again
            // every 20 ms for room as the stream is played.
            m_wake.wait_for(lock, std::chrono::milliseconds(wantMore && !starved ? 0 : 20),
                            [this] { return m_quit || !m_commands.empty(); });
            if (m_quit)
                return;
            commands.swap(m_commands);
        }
        for (Command &c : commands)
            apply(c);
        starved = false;
        while (m_framesQueued.load() < kAheadFrames) {
            if (!m_held && !m_spare.pop(m_held)) {
                starved = true;
                break;
            }
            if (!produce(*m_held))
                break; // nothing to play
            m_framesQueued += m_held->frames;
            m_filled.push(m_held); // cannot fail: the queues hold every chunk there is
            m_held = nullptr;
            // Commands come first: a new song or a stop must not wait for
            // seconds of decoding ahead.
            const std::lock_guard lock(m_mutex);
            if (!m_commands.empty() || m_quit)
                break;
        }
    }
}

void Decoder::apply(Command &c)
{
    switch (c.kind) {
    case Command::Play:
        m_generation = c.generation;
        m_planned.clear();
        m_current = std::make_unique<Playing>();
        m_current->item = std::move(c.item);
        m_silenceLeft = 0;
        break;
    case Command::Plan: {
        auto next = std::make_unique<Playing>();
        next->item = std::move(c.item);
        if (!m_current && m_silenceLeft <= 0) {
            // Nothing plays: the item starts after its silence, counted from now.
            m_current = std::move(next);
            m_silenceLeft = m_current->item.silenceBefore;
        } else {
            m_planned.push_back(std::move(next));
        }
        break;
    }
    case Command::StopAll:
        m_generation = c.generation;
        m_planned.clear();
        m_current.reset();
        m_silenceLeft = 0;
        break;
    }
}

void Decoder::failHere(Chunk &chunk, quint64 serial, const QString &error)
{
    chunk.serial = serial;
    chunk.itemFailed = true;
    if (m_note)
        m_note(serial, error);
    // An item that cannot be played ends the plan: what was to follow it
    // (the rest of a recording) must not play on without it.
    m_current.reset();
    m_planned.clear();
    m_silenceLeft = 0;
}

void Decoder::openAhead(Playing &p)
{
    if (p.opened)
        return;
    p.opened = true;
    p.source = p.item.open ? p.item.open(p.openError) : nullptr;
    if (p.source && p.item.startMs > 0 && p.source->seekMs(p.item.startMs))
        p.nextFrame = framesForMs(p.item.startMs);
}

bool Decoder::openItem(Playing &p, Chunk &chunk)
{
    openAhead(p);
    if (!p.source) {
        failHere(chunk, p.item.serial, p.openError.isEmpty() ? QStringLiteral("The sound could not be opened.") : p.openError);
        return false;
    }
    return true;
}

void Decoder::beginNext()
{
    m_current.reset();
    if (m_planned.empty())
        return;
    m_current = std::move(m_planned.front());
    m_planned.pop_front();
    m_silenceLeft = m_current->item.silenceBefore;
}

bool Decoder::produce(Chunk &chunk)
{
    chunk.generation = m_generation;
    chunk.frames = 0;
    chunk.itemFrame = -1;
    chunk.itemStart = chunk.itemEnd = chunk.itemFailed = false;
    if (!m_current)
        return false;
    chunk.serial = m_current->item.serial;

    if (m_silenceLeft > 0) {
        // The planned silence before the item: digital zeros, frame exact.
        const qint64 n = std::min<qint64>(m_silenceLeft, Chunk::kFrames);
        std::memset(chunk.samples, 0, std::size_t(n) * kBytesPerFrame);
        chunk.frames = int(n);
        m_silenceLeft -= n;
        openAhead(*m_current); // while its silence plays, so that its start is ready
        return true;
    }

    Playing &p = *m_current;
    if (!openItem(p, chunk))
        return true; // the chunk carries the failure
    qint64 got = 0;
    bool ended = false;
    while (got < Chunk::kFrames) {
        const qint64 n = p.source->readFrames(chunk.samples + got * kChannels, Chunk::kFrames - got);
        if (n < 0) {
            chunk.frames = int(got);
            chunk.itemFrame = p.nextFrame;
            chunk.itemStart = !p.started && got > 0;
            failHere(chunk, p.item.serial, p.source->errorText());
            return true;
        }
        if (n == 0) {
            ended = true;
            break;
        }
        got += n;
    }
    if (p.item.gain != 1.0) {
        for (qint64 i = 0; i < got * kChannels; ++i)
            chunk.samples[i] = qint16(std::clamp<long>(std::lround(chunk.samples[i] * p.item.gain), -32768, 32767));
    }
    chunk.frames = int(got);
    chunk.itemFrame = p.nextFrame;
    chunk.itemStart = !p.started;
    p.started = true;
    p.nextFrame += got;
    if (ended) {
        chunk.itemEnd = true;
        beginNext();
    } else if (!m_planned.empty()) {
        openAhead(*m_planned.front()); // the next item opens while this one plays
    }
    return true;
}

} // namespace tv::media
