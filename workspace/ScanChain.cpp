#include "ScanChain.h"

#include "AudioFormat.h"
#include "output/AudioOutput.h"
#include "source/ExcerptSource.h"
#include "source/SourceFactory.h"

#include <algorithm>
#include <atomic>

namespace tv::workspace {

using tv::media::AudioOutput;

// Shared between the window and the decode thread, which opens the file.
struct ScanFlags
{
    std::atomic<bool> whole{false};  // the scan has ended: the song plays on
    std::atomic<bool> failed{false}; // the file could not be read: its beat is silence
};

namespace {

// How far past the end of the file heard now the plan reaches. The next
// file must be planned before the listener reaches that end; this covers
// the sound server's own buffer (up to 2 s) and a window that is seconds
// late to plan, however short the beat.
constexpr qint64 kPlanAheadMs = 15000;

AudioOutput::Opener excerptOpener(const QString &path, int beatMs, const std::shared_ptr<ScanFlags> &flags)
{
    return [path, beatMs, flags](QString &error) -> std::unique_ptr<tv::media::AudioSource> {
        std::unique_ptr<tv::media::AudioSource> sound = tv::media::openSource(path, error);
        if (flags->whole)
            return sound;
        error.clear(); // a file that cannot be read keeps its beat, as silence
        return std::make_unique<tv::media::ExcerptSource>(std::move(sound), tv::media::framesForMs(beatMs), [flags] { flags->failed = true; });
    };
}

} // namespace

bool ScanChain::File::failed() const
{
    return flags && flags->failed;
}

void ScanChain::playNow(File file, int beatMs)
{
    forget();
    m_beatMs = std::max(1, beatMs);
    file.serial = AudioOutput::newSerial();
    file.flags = std::make_shared<ScanFlags>();
    m_output.play(file.serial, excerptOpener(file.path, m_beatMs, file.flags));
    m_current = std::move(file);
}

bool ScanChain::wantsMore() const
{
    return m_current.serial && qint64(m_planned.size()) * m_beatMs < kPlanAheadMs;
}

int ScanChain::lastIndex() const
{
    return m_planned.empty() ? m_current.index : m_planned.back().index;
}

void ScanChain::planNext(File file)
{
    file.serial = AudioOutput::newSerial();
    file.flags = std::make_shared<ScanFlags>();
    m_output.plan(file.serial, excerptOpener(file.path, m_beatMs, file.flags), 0);
    m_planned.push_back(std::move(file));
}

bool ScanChain::nextIsComing() const
{
    return !m_planned.empty() && m_output.state(m_planned.front().serial) == AudioOutput::ItemState::Planned;
}

bool ScanChain::takeStarted(quint64 serial)
{
    if (m_planned.empty() || serial != m_planned.front().serial)
        return false;
    m_current = std::move(m_planned.front());
    m_planned.pop_front();
    return true;
}

void ScanChain::forget()
{
    m_current = {};
    m_planned.clear();
}

void ScanChain::stopSound()
{
    for (const File *file : {&m_current, m_planned.empty() ? nullptr : &m_planned.front()}) {
        if (file && file->serial) {
            const AudioOutput::ItemState s = m_output.state(file->serial);
            if (s == AudioOutput::ItemState::Playing || s == AudioOutput::ItemState::Planned) {
                m_output.stop(file->serial); // and everything planned after it
                break;
            }
        }
    }
    forget();
}

void ScanChain::release()
{
    const File current = std::move(m_current);
    const bool nextComing = nextIsComing();
    // The listener may be in the next file already, before the window has
    // heard of it: between two files there is no song to leave playing.
    const bool betweenFiles = !m_planned.empty() && m_output.positionMs(m_planned.front().serial) > 0;
    const quint64 next = m_planned.empty() ? 0 : m_planned.front().serial;
    forget();
    if (betweenFiles) {
        m_output.stop(next);
        return;
    }
    if (!current.serial || m_output.state(current.serial) != AudioOutput::ItemState::Playing)
        return;
    const qint64 at = m_output.positionMs(current.serial);
    const qint64 songMs = current.failed() ? 0 : qint64(current.seconds * 1000);
    current.flags->whole = true;
    if (at < songMs && (nextComing || songMs > m_beatMs)) {
        // Opened afresh, whole, from where the listener is; whatever was
        // planned after it goes.
        m_output.seek(current.serial, at);
    } else if (nextComing) {
        // Only the silence of its beat is left: it ends now, and so does
        // the plan after it.
        m_output.stop(current.serial);
    }
}

} // namespace tv::workspace
