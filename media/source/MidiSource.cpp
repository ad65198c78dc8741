#include "MidiSource.h"

#include "../AudioFormat.h"
#include "../probe/FileWindow.h"
#include "../probe/Measure.h"
#include "../probe/MidiProbe.h"

#include <QFileInfo>
#include <fluidsynth.h>

#include <algorithm>
#include <cmath>
#include <mutex>

namespace tv::media {

namespace {
// FluidSynth's own gain (0.2) leaves General MIDI music some 25 dB under
// other songs; 14 dB more puts typical files near -13 LUFS (bench/midi-level.sh).
constexpr double kMidiSynthGain = 1.0;
// The highest sample the limiter lets through (-3 dBFS, so that the peaks
// between samples stay under -1 dBTP), and how fast it lets go.
const double kMidiCeiling = std::pow(10.0, -3.0 / 20.0);
constexpr double kMidiLimiterReleaseMs = 80.0;
} // namespace

struct MidiSource::Synth
{
    fluid_settings_t *settings = nullptr;
    fluid_synth_t *synth = nullptr;
    fluid_player_t *player = nullptr;
    ~Synth()
    {
        if (player) {
            fluid_player_stop(player);
            delete_fluid_player(player);
        }
        if (synth)
            delete_fluid_synth(synth);
        if (settings)
            delete_fluid_settings(settings);
    }
};

MidiSource::~MidiSource() = default;

QString MidiSource::soundFontPath()
{
    const QString chosen = qEnvironmentVariable("TV_SOUNDFONT");
    if (!chosen.isEmpty())
        return QFileInfo::exists(chosen) ? chosen : QString();
    static const char *const kKnown[] = {
        "/usr/share/sounds/sf2/TimGM6mb.sf2",
        "/usr/share/sounds/sf2/default-GM.sf2",
        "/usr/share/sounds/sf2/FluidR3_GM.sf2",
    };
    for (const char *candidate : kKnown) {
        if (QFileInfo::exists(QString::fromLatin1(candidate)))
            return QString::fromLatin1(candidate);
    }
    return {};
}

std::unique_ptr<MidiSource> MidiSource::open(const QString &path, QString &error)
{
    static std::once_flag quiet;
    std::call_once(quiet, [] {
        for (int level : {FLUID_WARN, FLUID_INFO, FLUID_DBG})
            fluid_set_log_function(level, nullptr, nullptr);
    });
    const Duration length = measureFile(path);
    if (!length.ok()) {
        error = length.error;
        return nullptr;
    }
    const QString soundFont = soundFontPath();
    if (soundFont.isEmpty()) {
        error = fileError(path, QStringLiteral("cannot be played: no General MIDI SoundFont is installed "
                                               "(install the package timgm6mb-soundfont)"));
        return nullptr;
    }
    FileWindow file;
    if (!file.open(path) || qint64(file.size()) > kLargestMidiFile) {
        error = fileError(path, QStringLiteral("cannot be read (%1)").arg(file.errorText()));
        return nullptr;
    }
    // The synthesizer gets the tracks that were measured, repaired as
    // measuring repaired them, so what plays is what was counted.
    const PlayableMidi playable = playableMidiData(file.read(0, file.size()));
    if (!playable.error.isEmpty()) {
        error = fileError(path, playable.error);
        return nullptr;
    }
    std::unique_ptr<MidiSource> source(new MidiSource);
    source->m_smf = playable.smf;
    source->m_totalFrames = qint64(std::llround(*length.seconds * kSampleRate));
    source->m_synth = std::make_unique<Synth>();
    Synth &s = *source->m_synth;
    s.settings = new_fluid_settings();
    fluid_settings_setnum(s.settings, "synth.sample-rate", kSampleRate);
    fluid_settings_setstr(s.settings, "player.timing-source", "sample");
    fluid_settings_setint(s.settings, "synth.threadsafe-api", 0);
    fluid_settings_setnum(s.settings, "synth.gain", kMidiSynthGain);
    s.synth = new_fluid_synth(s.settings);
    if (!s.synth || fluid_synth_sfload(s.synth, soundFont.toUtf8().constData(), 1) == FLUID_FAILED) {
        error = fileError(path, QStringLiteral("cannot be played: the SoundFont \"%1\" cannot be loaded").arg(soundFont));
        return nullptr;
    }
    s.player = new_fluid_player(s.synth);
    if (!s.player || fluid_player_add_mem(s.player, source->m_smf.constData(), std::size_t(source->m_smf.size())) != FLUID_OK
        || fluid_player_play(s.player) != FLUID_OK) {
        error = fileError(path, QStringLiteral("cannot be played: the synthesizer refused its MIDI data"));
        return nullptr;
    }
    return source;
}

qint64 MidiSource::readFrames(qint16 *out, qint64 maxFrames)
{
    const qint64 n = std::min(maxFrames, m_totalFrames - m_done);
    if (n <= 0)
        return 0;
    m_left.resize(std::size_t(n));
    m_right.resize(std::size_t(n));
    if (fluid_synth_write_float(m_synth->synth, int(n), m_left.data(), 0, 1, m_right.data(), 0, 1) != FLUID_OK) {
        m_error = QStringLiteral("The synthesizer failed while playing a MIDI file.");
        return -1;
    }
    // At the synthesizer's raised gain a dense passage could pass full
    // scale: a peak limiter holds every sample under the ceiling, taking the
    // gain down at once and giving it back slowly, so nothing clips.
    const double release = 1.0 - std::exp(-1.0 / (kMidiLimiterReleaseMs / 1000.0 * kSampleRate));
    // Notes still sounding at the end fade out over 10 ms instead of clicking.
    const qint64 fadeFrames = framesForMs(10);
    const qint64 fadeStart = m_totalFrames - fadeFrames;
    for (qint64 i = 0; i < n; ++i) {
        const double left = m_left[std::size_t(i)];
        const double right = m_right[std::size_t(i)];
        const double peak = std::max(std::abs(left), std::abs(right));
        const double allowed = peak * m_limiterGain > kMidiCeiling ? kMidiCeiling / peak : 1.0;
        m_limiterGain = allowed < m_limiterGain ? allowed : m_limiterGain + (std::min(1.0, allowed) - m_limiterGain) * release;
        double gain = m_limiterGain;
        const qint64 at = m_done + i;
        if (at >= fadeStart)
            gain *= double(m_totalFrames - at) / double(fadeFrames);
        out[2 * i] = qint16(std::lround(std::clamp(left * gain, -1.0, 1.0) * 32767.0));
        out[2 * i + 1] = qint16(std::lround(std::clamp(right * gain, -1.0, 1.0) * 32767.0));
    }
    m_done += n;
    return n;
}

} // namespace tv::media
