#pragma once

#include "../AudioSource.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

namespace tv::media {

class Decoder;
class StreamWriter;
struct StreamShared;
class OutputEvents;

// One sound output (one stream to the sound server) and what is to play on
// it: the item playing now and the items planned after it, each with the
// silence before it. The plan is decoded ahead on a thread of its own and
// played by the sound-server thread, so the sound is exactly the plan
// however late the UI thread is; the owners (a media player, the CD device)
// only claim the planned items as their turn comes.
//
// Threads: every method is for the thread that made the object (the UI
// thread) and returns at once. The signals are queued to that thread,
// stamped with the serial of the item they belong to.
class AudioOutput : public QObject
{
    Q_OBJECT
public:
    using Opener = std::function<std::unique_ptr<AudioSource>(QString &error)>;
    enum class ItemState { Unknown, Planned, Playing, Finished, Failed, Dropped };

    explicit AudioOutput(QObject *parent = nullptr);
    ~AudioOutput() override;

    // A serial no other item of any output has.
    static quint64 newSerial();

    // Starts the item at once, from startMs, in place of everything playing
    // or planned (which is faded out within a few milliseconds).
    void play(quint64 serial, Opener open, qint64 startMs = 0);
    // Plans the item after the last planned one, silenceMs after its end in
    // the stream (after now when nothing plays).
    void plan(quint64 serial, Opener open, qint64 silenceMs, double gain = 1.0);
    ItemState state(quint64 serial) const;
    QString errorText(quint64 serial) const;

    // Pause holds the whole stream (a song or the silence between songs)
    // within a few milliseconds; resume goes on exactly from there.
    void pause();
    void resume();
    bool isPaused() const { return m_paused; }
    // Stops serial, and what is planned after it, when it is playing or planned.
    void stop(quint64 serial);
    void stopAll();
    void seek(quint64 serial, qint64 positionMs);
    void setGain(double linear);
    void setKeepOpenMs(int ms);

    // Where the listener is in the item serial, in ms (0 for another item).
    qint64 positionMs(quint64 serial) const;

signals:
    void started(quint64 serial);  // its first frame is being heard
    void finished(quint64 serial); // its last frame has been heard
    void failed(quint64 serial, const QString &error);
    void dropped(quint64 serial);  // replaced or stopped before its end
    // The sound output stopped playing; every live item fails after it.
    void lost(const QString &why);

private:
    friend class OutputEvents;
    struct Item
    {
        Opener open; // kept for a seek, which opens the item afresh
        ItemState state = ItemState::Planned;
        QString error;
    };

    void ensureRunning();
    void setState(quint64 serial, ItemState state);
    void dropLive(quint64 except = 0);
    void forgetOld();
    void onHeardStart(quint64 serial);
    void onHeardEnd(quint64 serial);
    void onHeardFailure(quint64 serial, const QString &error);
    void onOutputLost(const QString &why);

    std::unique_ptr<StreamShared> m_shared;
    std::unique_ptr<OutputEvents> m_events;
    std::unique_ptr<StreamWriter> m_writer;
    std::unique_ptr<Decoder> m_decoder;
    QHash<quint64, Item> m_items;
    QList<quint64> m_order; // the items in plan order, oldest first
    quint32 m_generation = 0;
    bool m_paused = false;
    double m_gain = 1.0;
    int m_keepOpenMs = 15000;
};

} // namespace tv::media
