#include "AudioCapture.h"

#include "AudioFormat.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QPointer>
#include <QTimer>

#include <pulse/pulseaudio.h>

#include <chrono>
#include <mutex>
#include <thread>

namespace tv::media {

namespace {

constexpr int kConnectLimitMs = 5000;
constexpr int kFragmentMs = 20; // how often the server hands over what it has

QString serverError(pa_context *context)
{
    return QString::fromUtf8(pa_strerror(pa_context_errno(context)));
}

pa_context *newContext(pa_mainloop_api *api)
{
    pa_proplist *props = pa_proplist_new();
    const QByteArray app = QCoreApplication::applicationName().toUtf8();
    pa_proplist_sets(props, PA_PROP_APPLICATION_NAME, app.isEmpty() ? "TapeVantrel" : app.constData());
    pa_proplist_sets(props, PA_PROP_MEDIA_ROLE, "production");
    pa_context *context = pa_context_new_with_proplist(api, "TapeVantrel", props);
    pa_proplist_free(props);
    return context;
}

} // namespace

// ---- the list of sources --------------------------------------------------------

QList<CaptureSource> captureSources(QString *error)
{
    struct Query
    {
        QList<CaptureSource> sources;
        QString error;
        bool done = false;
    } query;
    pa_mainloop *loop = pa_mainloop_new();
    pa_context *context = newContext(pa_mainloop_get_api(loop));
    pa_context_set_state_callback(
        context,
        [](pa_context *c, void *data) {
            auto *q = static_cast<Query *>(data);
            switch (pa_context_get_state(c)) {
            case PA_CONTEXT_READY:
                if (pa_operation *op = pa_context_get_source_info_list(
                    c,
                    [](pa_context *, const pa_source_info *info, int eol, void *d) {
                        auto *qq = static_cast<Query *>(d);
                        if (eol) {
                            qq->done = true;
                            return;
                        }
                        qq->sources.append({QByteArray(info->name), QString::fromUtf8(info->description),
                                            info->monitor_of_sink != PA_INVALID_INDEX});
                    },
                    q)) {
                    pa_operation_unref(op);
                } else {
                    q->error = QStringLiteral("The sound server did not list its sources (%1).").arg(serverError(c));
                    q->done = true;
                }
                break;
            case PA_CONTEXT_FAILED:
            case PA_CONTEXT_TERMINATED:
                q->error = QStringLiteral("No sound server could be reached (%1).").arg(serverError(c));
                q->done = true;
                break;
            default:
                break;
            }
        },
        &query);
    if (pa_context_connect(context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
        query.error = QStringLiteral("No sound server could be reached (%1).").arg(serverError(context));
        query.done = true;
    }
    const auto limit = std::chrono::steady_clock::now() + std::chrono::milliseconds(kConnectLimitMs);
    while (!query.done && std::chrono::steady_clock::now() < limit)
        if (pa_mainloop_iterate(loop, 0, nullptr) <= 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    if (!query.done)
        query.error = QStringLiteral("The sound server did not answer.");
    pa_context_set_state_callback(context, nullptr, nullptr);
    pa_context_disconnect(context);
    pa_context_unref(context);
    pa_mainloop_free(loop);
    if (error)
        *error = query.error;
    return query.error.isEmpty() ? query.sources : QList<CaptureSource>{};
}

// ---- the recording stream ---------------------------------------------------------

struct AudioCapture::Stream
{
    AudioCapture *owner;
    pa_threaded_mainloop *loop = nullptr;
    pa_context *context = nullptr;
    pa_stream *stream = nullptr;
    QByteArray sourceName;
    QTimer connectLimit;
    bool ready = false;
    bool sourceFound = false;

    mutable std::mutex mutex; // guards what the server's thread appends
    std::vector<float> heard;
    qint64 taken = 0; // samples handed over and let go
    int overruns = 0;

    explicit Stream(AudioCapture *o) : owner(o)
    {
        loop = pa_threaded_mainloop_new();
        pa_threaded_mainloop_set_name(loop, "sound-capture");
        pa_threaded_mainloop_start(loop);
        connectLimit.setSingleShot(true);
    }
    ~Stream()
    {
        pa_threaded_mainloop_lock(loop);
        close();
        pa_threaded_mainloop_unlock(loop);
        pa_threaded_mainloop_stop(loop);
        pa_threaded_mainloop_free(loop);
    }

    // With the loop locked.
    void close()
    {
        if (stream) {
            pa_stream_set_state_callback(stream, nullptr, nullptr);
            pa_stream_set_read_callback(stream, nullptr, nullptr);
            pa_stream_set_overflow_callback(stream, nullptr, nullptr);
            pa_stream_disconnect(stream);
            pa_stream_unref(stream);
            stream = nullptr;
        }
        if (context) {
            pa_context_set_state_callback(context, nullptr, nullptr);
            pa_context_disconnect(context);
            pa_context_unref(context);
            context = nullptr;
        }
        ready = false;
        sourceFound = false;
    }

    // From the server's thread: tells the owner on its own thread.
    void report(bool ok, const QString &why)
    {
        QPointer<AudioCapture> to(owner);
        QMetaObject::invokeMethod(
            owner,
            [to, ok, why] {
                if (!to)
                    return;
                to->m_stream->connectLimit.stop();
                if (ok) {
                    emit to->started();
                } else {
                    to->stop();
                    emit to->failed(why);
                }
            },
            Qt::QueuedConnection);
    }

    static void contextState(pa_context *c, void *self)
    {
        auto *s = static_cast<Stream *>(self);
        switch (pa_context_get_state(c)) {
        case PA_CONTEXT_READY:
            s->findSource();
            break;
        case PA_CONTEXT_FAILED:
        case PA_CONTEXT_TERMINATED:
            s->report(false, QStringLiteral("The connection to the sound server was lost (%1).").arg(serverError(c)));
            break;
        default:
            break;
        }
    }

    // A source asked for by name must be there: a server may otherwise
    // record from its default source instead.
    void findSource()
    {
        if (sourceName.isEmpty()) {
            makeStream();
            return;
        }
        pa_operation *op = pa_context_get_source_info_by_name(
            context, sourceName.constData(),
            [](pa_context *, const pa_source_info *info, int eol, void *self) {
                auto *st = static_cast<Stream *>(self);
                if (info) {
                    st->sourceFound = true;
                    return;
                }
                if (eol == 0)
                    return;
                if (st->sourceFound)
                    st->makeStream();
                else
                    st->report(false, QStringLiteral("The sound input \"%1\" is not there.").arg(QString::fromUtf8(st->sourceName)));
            },
            this);
        if (op)
            pa_operation_unref(op);
        else
            report(false, QStringLiteral("The sound server did not list its sources (%1).").arg(serverError(context)));
    }

    void makeStream()
    {
        pa_sample_spec spec{};
        spec.format = PA_SAMPLE_FLOAT32NE;
        spec.rate = kSampleRate;
        spec.channels = 2; // mixed to mono here: servers differ in how they mix down
        stream = pa_stream_new(context, "Deck check", &spec, nullptr);
        if (!stream) {
            report(false, QStringLiteral("The sound server refused a recording stream (%1).").arg(serverError(context)));
            return;
        }
        pa_stream_set_state_callback(stream, &Stream::streamState, this);
        pa_stream_set_read_callback(stream, &Stream::readable, this);
        pa_stream_set_overflow_callback(stream, &Stream::overflowed, this);
        pa_buffer_attr attr{};
        attr.maxlength = uint32_t(-1);
        attr.fragsize = uint32_t(framesForMs(kFragmentMs) * 2 * sizeof(float));
        const auto flags = pa_stream_flags_t(PA_STREAM_ADJUST_LATENCY);
        if (pa_stream_connect_record(stream, sourceName.isEmpty() ? nullptr : sourceName.constData(), &attr, flags) < 0)
            report(false, QStringLiteral("The sound server refused a recording stream (%1).").arg(serverError(context)));
    }

    static void streamState(pa_stream *st, void *self)
    {
        auto *s = static_cast<Stream *>(self);
        switch (pa_stream_get_state(st)) {
        case PA_STREAM_READY:
            s->ready = true;
            s->report(true, {});
            break;
        case PA_STREAM_FAILED:
        case PA_STREAM_TERMINATED:
            s->report(false, QStringLiteral("The sound server ended the recording stream (%1).").arg(serverError(s->context)));
            break;
        default:
            break;
        }
    }

    static void readable(pa_stream *st, size_t, void *self)
    {
        auto *s = static_cast<Stream *>(self);
        while (pa_stream_readable_size(st) > 0) {
            const void *data = nullptr;
            size_t bytes = 0;
            if (pa_stream_peek(st, &data, &bytes) < 0 || bytes == 0)
                break;
            const std::size_t count = bytes / (2 * sizeof(float));
            {
                const std::lock_guard lock(s->mutex);
                if (data) {
                    const auto *samples = static_cast<const float *>(data);
                    for (std::size_t i = 0; i < count; ++i)
                        s->heard.push_back(0.5f * (samples[2 * i] + samples[2 * i + 1]));
                } else {
                    s->heard.insert(s->heard.end(), count, 0.0f); // a hole: silence of its length
                }
            }
            pa_stream_drop(st);
        }
    }

    static void overflowed(pa_stream *, void *self)
    {
        auto *s = static_cast<Stream *>(self);
        const std::lock_guard lock(s->mutex);
        ++s->overruns;
    }
};

AudioCapture::AudioCapture(QObject *parent) : QObject(parent), m_stream(std::make_unique<Stream>(this))
{
    connect(&m_stream->connectLimit, &QTimer::timeout, this, [this] {
        stop();
        emit failed(QStringLiteral("The sound server did not answer."));
    });
}

AudioCapture::~AudioCapture() = default;

void AudioCapture::start(const QByteArray &sourceName)
{
    stop();
    pa_threaded_mainloop_lock(m_stream->loop);
    {
        const std::lock_guard lock(m_stream->mutex);
        m_stream->heard.clear();
        m_stream->taken = 0;
        m_stream->overruns = 0;
    }
    m_stream->sourceName = sourceName;
    m_stream->context = newContext(pa_threaded_mainloop_get_api(m_stream->loop));
    pa_context_set_state_callback(m_stream->context, &Stream::contextState, m_stream.get());
    const bool connecting = pa_context_connect(m_stream->context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) >= 0;
    const QString why = connecting ? QString() : QStringLiteral("No sound server could be reached (%1).").arg(serverError(m_stream->context));
    pa_threaded_mainloop_unlock(m_stream->loop);
    if (!connecting) {
        stop();
        QMetaObject::invokeMethod(this, [this, why] { emit failed(why); }, Qt::QueuedConnection);
        return;
    }
    m_stream->connectLimit.start(kConnectLimitMs);
}

void AudioCapture::stop()
{
    m_stream->connectLimit.stop();
    pa_threaded_mainloop_lock(m_stream->loop);
    m_stream->close();
    pa_threaded_mainloop_unlock(m_stream->loop);
}

bool AudioCapture::isRecording() const
{
    pa_threaded_mainloop_lock(m_stream->loop);
    const bool ready = m_stream->ready;
    pa_threaded_mainloop_unlock(m_stream->loop);
    return ready;
}

std::vector<float> AudioCapture::samples(qint64 from) const
{
    const std::lock_guard lock(m_stream->mutex);
    const auto start = std::min(m_stream->heard.size(), static_cast<std::size_t>(std::max<qint64>(0, from - m_stream->taken)));
    return {m_stream->heard.begin() + static_cast<long>(start), m_stream->heard.end()};
}

std::vector<float> AudioCapture::takeSamples()
{
    const std::lock_guard lock(m_stream->mutex);
    std::vector<float> out;
    out.swap(m_stream->heard);
    m_stream->taken += static_cast<qint64>(out.size());
    return out;
}

qint64 AudioCapture::sampleCount() const
{
    const std::lock_guard lock(m_stream->mutex);
    return m_stream->taken + static_cast<qint64>(m_stream->heard.size());
}

int AudioCapture::overruns() const
{
    const std::lock_guard lock(m_stream->mutex);
    return m_stream->overruns;
}

} // namespace tv::media
