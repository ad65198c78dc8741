#include "AudioOutput.h"

#include "Decoder.h"
#include "StreamWriter.h"

#include <atomic>
#include <vector>

namespace tv::media {

namespace {
// What the sound server holds ahead of the ear. A deck does not mind
// latency, it minds dropouts; pause, stop, seek and a new song take back what
// the server holds, so a large buffer costs previews nothing either. A sink
// with timer-based scheduling may sleep for as long as this between two
// wake-ups, so it also bounds how soon a stalled server can be told.
constexpr int kServerBufferMs = StreamWriter::kLargestBufferMs;
constexpr int kItemsRemembered = 256;
} // namespace

// Carries the sound-server thread's and the decoder's news to the UI thread.
class OutputEvents final : public StreamListener
{
public:
    explicit OutputEvents(AudioOutput *output) : m_output(output) {}

    void heardStart(quint64 serial) override { post([=](AudioOutput *o) { o->onHeardStart(serial); }); }
    void heardEnd(quint64 serial) override { post([=](AudioOutput *o) { o->onHeardEnd(serial); }); }
    void heardFailure(quint64 serial) override { post([=](AudioOutput *o) { o->onHeardFailure(serial, QString()); }); }
    void outputLost(const QString &why) override { post([=](AudioOutput *o) { o->onOutputLost(why); }); }
    void decoderFailed(quint64 serial, const QString &error)
    {
        post([=](AudioOutput *o) {
            auto it = o->m_items.find(serial);
            if (it != o->m_items.end())
                it->error = error;
        });
    }

    std::vector<Chunk> chunks; // the pool every chunk of this output comes from

private:
    template <typename F> void post(F &&f)
    {
        AudioOutput *o = m_output;
        QMetaObject::invokeMethod(o, [o, f = std::forward<F>(f)] { f(o); }, Qt::QueuedConnection);
    }
    AudioOutput *m_output;
};

AudioOutput::AudioOutput(QObject *parent) : QObject(parent) {}

AudioOutput::~AudioOutput()
{
    // The threads go first: the decoder, then the sound-server thread; the
    // chunks they share last.
    m_decoder.reset();
    m_writer.reset();
    m_events.reset();
    m_shared.reset();
}

quint64 AudioOutput::newSerial()
{
    static std::atomic<quint64> next{0};
    return ++next;
}

void AudioOutput::ensureRunning()
{
    if (m_writer)
        return;
    m_shared = std::make_unique<StreamShared>();
    m_events = std::make_unique<OutputEvents>(this);
    m_events->chunks.resize(StreamShared::kChunks);
    for (Chunk &c : m_events->chunks)
        m_shared->spare.push(&c);
    m_writer = std::make_unique<StreamWriter>(*m_shared, *m_events);
    m_writer->setGain(m_gain);
    m_writer->setBufferMs(kServerBufferMs);
    m_writer->setKeepOpenMs(m_keepOpenMs);
    OutputEvents *events = m_events.get();
    m_decoder = std::make_unique<Decoder>(m_shared->filled, m_shared->spare, m_shared->framesQueued,
                                          [events](quint64 serial, const QString &error) { events->decoderFailed(serial, error); });
}

void AudioOutput::setState(quint64 serial, ItemState state)
{
    auto it = m_items.find(serial);
    if (it != m_items.end())
        it->state = state;
}

void AudioOutput::dropLive(quint64 except)
{
    for (quint64 serial : std::as_const(m_order)) {
        Item &item = m_items[serial];
        if (serial != except && (item.state == ItemState::Planned || item.state == ItemState::Playing)) {
            item.state = ItemState::Dropped;
            QMetaObject::invokeMethod(this, [this, serial] { emit dropped(serial); }, Qt::QueuedConnection);
        }
    }
}

void AudioOutput::forgetOld()
{
    while (m_order.size() > kItemsRemembered) {
        const quint64 serial = m_order.first();
        const ItemState s = m_items.value(serial).state;
        if (s == ItemState::Planned || s == ItemState::Playing)
            break;
        m_items.remove(serial);
        m_order.removeFirst();
    }
}

void AudioOutput::play(quint64 serial, Opener open, qint64 startMs)
{
    ensureRunning();
    dropLive();
    m_items.insert(serial, Item{open, ItemState::Playing, {}});
    m_order.append(serial);
    m_shared->acceptGeneration = ++m_generation;
    m_paused = false;
    m_writer->open();
    m_writer->cut(false);
    Decoder::Item item;
    item.serial = serial;
    item.open = std::move(open);
    item.startMs = startMs;
    m_decoder->play(m_generation, std::move(item));
    forgetOld();
}

void AudioOutput::plan(quint64 serial, Opener open, qint64 silenceMs, double gain)
{
    ensureRunning();
    m_items.insert(serial, Item{open, ItemState::Planned, {}});
    m_order.append(serial);
    m_writer->open();
    Decoder::Item item;
    item.serial = serial;
    item.open = std::move(open);
    item.silenceBefore = framesForMs(std::max<qint64>(0, silenceMs));
    item.gain = gain;
    m_decoder->plan(std::move(item));
    forgetOld();
}

AudioOutput::ItemState AudioOutput::state(quint64 serial) const
{
    const auto it = m_items.constFind(serial);
    return it == m_items.constEnd() ? ItemState::Unknown : it->state;
}

QString AudioOutput::errorText(quint64 serial) const
{
    return m_items.value(serial).error;
}

void AudioOutput::pause()
{
    m_paused = true;
    if (m_writer)
        m_writer->pause();
}

void AudioOutput::resume()
{
    m_paused = false;
    if (m_writer)
        m_writer->resume();
}

void AudioOutput::stop(quint64 serial)
{
    const ItemState s = state(serial);
    if (s == ItemState::Planned || s == ItemState::Playing)
        stopAll();
}

void AudioOutput::stopAll()
{
    if (!m_writer)
        return;
    dropLive();
    m_shared->acceptGeneration = ++m_generation;
    m_paused = false;
    m_writer->cut(false);
    m_decoder->stopAll(m_generation);
}

void AudioOutput::seek(quint64 serial, qint64 positionMs)
{
    if (!m_writer || state(serial) != ItemState::Playing)
        return;
    // The decoder may be seconds past the item already: it opens it afresh
    // at the new place. A pause stays in force.
    dropLive(serial);
    m_shared->acceptGeneration = ++m_generation;
    m_writer->cut(m_paused);
    Decoder::Item item;
    item.serial = serial;
    item.open = m_items[serial].open;
    item.startMs = positionMs;
    m_decoder->play(m_generation, std::move(item));
}

void AudioOutput::setGain(double linear)
{
    m_gain = linear;
    if (m_writer)
        m_writer->setGain(linear);
}

void AudioOutput::setKeepOpenMs(int ms)
{
    m_keepOpenMs = ms;
    if (m_writer)
        m_writer->setKeepOpenMs(ms);
}

qint64 AudioOutput::positionMs(quint64 serial) const
{
    if (!m_shared || serial == 0 || m_shared->heardSerial.load() != serial)
        return 0;
    return msForFrames(m_shared->heardItemFrame.load());
}

void AudioOutput::onHeardStart(quint64 serial)
{
    if (state(serial) != ItemState::Planned)
        return;
    setState(serial, ItemState::Playing);
    emit started(serial);
}

void AudioOutput::onHeardEnd(quint64 serial)
{
    const ItemState s = state(serial);
    if (s != ItemState::Planned && s != ItemState::Playing)
        return;
    setState(serial, ItemState::Finished);
    emit finished(serial);
}

void AudioOutput::onHeardFailure(quint64 serial, const QString &error)
{
    const ItemState s = state(serial);
    if (s != ItemState::Planned && s != ItemState::Playing)
        return;
    Item &item = m_items[serial];
    item.state = ItemState::Failed;
    if (!error.isEmpty())
        item.error = error;
    if (item.error.isEmpty())
        item.error = QStringLiteral("The sound could not be played.");
    // The decoder ends the plan at a failure: what was to follow is dropped.
    dropLive();
    emit failed(serial, item.error);
}

void AudioOutput::onOutputLost(const QString &why)
{
    QList<quint64> failing;
    for (quint64 serial : std::as_const(m_order)) {
        Item &item = m_items[serial];
        if (item.state == ItemState::Planned || item.state == ItemState::Playing) {
            item.state = ItemState::Failed;
            item.error = why;
            failing.append(serial);
        }
    }
    m_shared->acceptGeneration = ++m_generation;
    m_decoder->stopAll(m_generation);
    emit lost(why);
    for (quint64 serial : std::as_const(failing))
        emit failed(serial, why);
}

} // namespace tv::media
