#include "OutputWorker.h"

#include "../AudioFormat.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QIODevice>
#include <QMediaDevices>
#include <QTimer>
#include <cmath>
#include <cstring>

namespace tv::media {

namespace {
constexpr qint64 kRingFrames = framesForMs(1000);
constexpr qint64 kAheadFrames = framesForMs(500);
// PulseAudio grants a little over half of what is asked: about 220 ms here,
// enough to ride out a busy machine; the heard position allows for it.
constexpr qint64 kSinkBufferFrames = framesForMs(400);
constexpr double kFadeStep = 1.0 / double(framesForMs(5)); // pause and stop fade over 5 ms
constexpr int kTickMs = 10;
} // namespace

OutputWorker::OutputWorker(Shared &shared) : m_shared(shared), m_ring(kRingFrames) {}

OutputWorker::~OutputWorker()
{
    closeOutput();
}

bool OutputWorker::ensureOutput(quint64 serial)
{
    if (m_sink)
        return true;
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull()) {
        emit failed(serial, QStringLiteral("No sound output device is available, so nothing can be played."));
        return false;
    }
    QAudioFormat format;
    format.setSampleRate(kSampleRate);
    format.setChannelCount(kChannels);
    format.setSampleFormat(QAudioFormat::Int16);
    m_sink = new QAudioSink(device, format, this);
    m_sink->setBufferSize(int(kSinkBufferFrames * kBytesPerFrame));
    m_out = 0;
    m_lastEndOut = 0;
    m_gapTargetOut = -1;
    m_anchorHeard = 0;
    m_pending.clear();
    m_device = m_sink->start();
    if (!m_device || m_sink->error() != QAudio::NoError) {
        closeOutput();
        emit failed(serial, QStringLiteral("The sound output \"%1\" could not be opened.").arg(device.description()));
        return false;
    }
    if (!m_timer) {
        m_timer = new QTimer(this);
        m_timer->setTimerType(Qt::PreciseTimer);
        connect(m_timer, &QTimer::timeout, this, &OutputWorker::tick);
    }
    m_timer->start(kTickMs);
    return true;
}

void OutputWorker::closeOutput()
{
    if (m_timer)
        m_timer->stop();
    if (m_sink) {
        m_sink->stop();
        delete m_sink;
        m_sink = nullptr;
    }
    m_device = nullptr; // owned by the sink
}

void OutputWorker::startSource(quint64 serial, std::shared_ptr<AudioSource> source, qint64 startMs, bool paused)
{
    dropSong();
    if (!ensureOutput(serial))
        return;
    m_source = std::move(source);
    m_serial = serial;
    m_songFrame = 0;
    if (startMs > 0 && m_source->seekMs(startMs))
        m_songFrame = framesForMs(startMs);
    m_clock.reset(m_songFrame);
    m_leadSilence = m_gapTargetOut >= 0 ? std::max<qint64>(0, m_gapTargetOut - m_out) : 0;
    m_gapTargetOut = -1;
    m_gain = m_gainTarget = paused ? 0.0 : 1.0;
    m_shared.positionSerial = serial;
    m_shared.positionMs = msForFrames(m_songFrame);
    fillAhead(kAheadFrames);
    m_anchorReset = true;
    pump();
}

void OutputWorker::pause()
{
    m_gainTarget = 0.0;
}

void OutputWorker::resume()
{
    m_gainTarget = 1.0;
    m_dropWhenSilent = false;
    m_anchorReset = true;
    pump();
}

void OutputWorker::setNextGap(qint64 gapMs)
{
    m_gapTargetOut = gapMs < 0 ? -1 : m_lastEndOut + framesForMs(gapMs);
    pump();
}

void OutputWorker::stopSong()
{
    m_gapTargetOut = -1;
    // Fade out rather than cut, so the deck records no click.
    if (m_source && m_gain > 0) {
        m_gainTarget = 0.0;
        m_dropWhenSilent = true;
        m_shared.positionSerial = 0;
    } else {
        dropSong();
    }
}

void OutputWorker::seek(qint64 positionMs)
{
    if (!m_source || !m_source->seekMs(positionMs))
        return;
    m_ring.clear();
    m_sourceEnded = m_endMarked = m_finishScheduled = false;
    m_songFrame = framesForMs(positionMs);
    m_clock.reset(m_songFrame);
    m_shared.positionMs = positionMs;
    fillAhead(kAheadFrames);
}

void OutputWorker::dropSong()
{
    m_source.reset();
    m_ring.clear();
    m_sourceEnded = m_endMarked = m_dropWhenSilent = m_finishScheduled = false;
    m_leadSilence = 0;
    m_serial = 0;
    m_idleSince.start();
}

void OutputWorker::fillAhead(qint64 targetFrames)
{
    while (m_source && !m_sourceEnded && m_ring.frames() < targetFrames) {
        qint64 contiguous = 0;
        qint16 *span = m_ring.writeSpan(contiguous);
        const qint64 want = std::min<qint64>(contiguous, 4096);
        if (want <= 0)
            return;
        const qint64 got = m_source->readFrames(span, want);
        if (got < 0) {
            const quint64 serial = m_serial;
            const QString error = m_source->errorText();
            dropSong();
            emit failed(serial, error);
            return;
        }
        if (got == 0) {
            m_sourceEnded = true;
            return;
        }
        m_ring.commit(got);
    }
}

void OutputWorker::pump()
{
    if (!m_sink || !m_device)
        return;
    // Push mode: only song frames are written, as many as the sink has room
    // for, so the count handed over is the count the sound server took.
    // Between songs and while paused nothing is written: the server then
    // plays clean digital silence, and the next song, written as a whole
    // buffer at once, starts without waiting behind queued silence.
    qint64 room = m_sink->bytesFree();
    if (!m_pending.isEmpty()) {
        const qint64 n = m_device->write(m_pending);
        if (n > 0)
            m_pending.remove(0, n);
        room -= std::max<qint64>(n, 0);
        if (!m_pending.isEmpty())
            return;
    }
    const qint64 frames = room / kBytesPerFrame;
    if (frames <= 0)
        return;
    if (!m_source) {
        // Between songs of a recording: clean silence up to where the next
        // song is due, so that it joins the stream exactly there.
        const qint64 silence = std::min(frames, m_gapTargetOut - m_out);
        if (m_gapTargetOut < 0 || silence <= 0)
            return;
        QByteArray zeros(silence * kBytesPerFrame, '\0');
        const qint64 n = m_device->write(zeros);
        m_out += silence;
        if (n < zeros.size())
            m_pending = zeros.mid(std::max<qint64>(n, 0));
        return;
    }
    QByteArray block(frames * kBytesPerFrame, Qt::Uninitialized);
    const qint64 produced = render(reinterpret_cast<qint16 *>(block.data()), frames);
    if (produced <= 0)
        return;
    block.truncate(produced * kBytesPerFrame);
    const qint64 n = m_device->write(block);
    if (n < block.size())
        m_pending = block.mid(std::max<qint64>(n, 0));
}

qint64 OutputWorker::render(qint16 *out, qint64 frames)
{
    qint64 i = 0;
    for (; i < frames && m_leadSilence > 0; ++i, --m_leadSilence) {
        out[2 * i] = out[2 * i + 1] = 0;
        m_clock.handed(m_out + i, 1, -1);
    }
    for (; i < frames && m_source; ++i) {
        if (m_gain <= 0 && m_gainTarget <= 0)
            break; // paused: nothing more until resumed
        if (m_ring.frames() == 0 && !m_sourceEnded)
            fillAhead(framesForMs(20)); // the decoder fell behind: catch up now
        qint16 left = 0, right = 0;
        if (!m_ring.take(left, right)) {
            if (m_sourceEnded && !m_endMarked) {
                m_endMarked = true;
                m_endOut = m_lastEndOut = m_out + i;
            }
            break;
        }
        if (m_gain != m_gainTarget)
            m_gain = m_gainTarget > m_gain ? std::min(1.0, m_gain + kFadeStep) : std::max(0.0, m_gain - kFadeStep);
        const double g = m_gain * m_volume;
        if (g != 1.0) {
            left = qint16(std::lround(left * g));
            right = qint16(std::lround(right * g));
        }
        out[2 * i] = left;
        out[2 * i + 1] = right;
        m_clock.handed(m_out + i, 1, m_songFrame++);
        if (m_dropWhenSilent && m_gain <= 0) {
            ++i;
            m_out += i;
            dropSong();
            return i;
        }
    }
    m_out += i;
    return i;
}

qint64 OutputWorker::heardOutIndex() const
{
    if (!m_sink)
        return m_out;
    const qint64 queuedBytes = std::max<qint64>(0, qint64(m_sink->bufferSize()) - m_sink->bytesFree()) + m_pending.size();
    return std::max<qint64>(0, m_out - queuedBytes / kBytesPerFrame);
}

qint64 OutputWorker::heardNow()
{
    // The sink tells how much it still holds only when the server asks for
    // more, so a reading may lag the truth by one of the server's blocks but
    // never runs ahead of it. The playing position moves on at the sample
    // rate: the best estimate is the latest reading or an earlier one carried
    // forward by the time since, whichever is further, and never beyond what
    // was written.
    const qint64 reading = heardOutIndex();
    const qint64 now = m_anchorClock.isValid() ? m_anchorClock.nsecsElapsed() : 0;
    if (!m_anchorClock.isValid())
        m_anchorClock.start();
    const qint64 carried = m_anchorHeard + (now - m_anchorNs) * kSampleRate / 1000000000LL;
    // A carried position beyond what was written means the stream ran dry
    // (between songs, paused): the reading is exact again then.
    if (reading >= carried || carried > m_out || m_anchorReset) {
        m_anchorReset = false;
        m_anchorHeard = reading;
        m_anchorNs = now;
        return reading;
    }
    return std::min(carried, m_out);
}

void OutputWorker::tick()
{
    if (m_sink && m_sink->state() == QAudio::StoppedState && m_sink->error() != QAudio::NoError) {
        const quint64 serial = m_serial;
        dropSong();
        closeOutput();
        if (serial)
            emit failed(serial, QStringLiteral("The sound output stopped working while playing."));
        return;
    }
    fillAhead(kAheadFrames);
    pump();
    const qint64 heard = heardNow();
    if (m_source) {
        m_shared.positionMs = msForFrames(m_clock.songFrameAt(heard));
        if (m_endMarked && !m_finishScheduled) {
            // The last frame is on its way: report the end at the moment it
            // is heard, not at the next tick.
            m_finishScheduled = true;
            const quint64 serial = m_serial;
            const qint64 waitMs = std::max<qint64>(0, msForFrames(m_endOut - heard));
            QTimer::singleShot(int(waitMs), Qt::PreciseTimer, this, [this, serial] {
                if (serial != m_serial || !m_source)
                    return;
                dropSong();
                emit finished(serial);
            });
        }
    } else if (m_sink && m_idleSince.isValid() && m_idleSince.elapsed() > m_keepOpenMs) {
        closeOutput();
    }
}

} // namespace tv::media
