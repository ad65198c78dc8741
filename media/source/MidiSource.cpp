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
    if (fluid_synth_write_s16(m_synth->synth, int(n), out, 0, 2, out, 1, 2) != FLUID_OK) {
        m_error = QStringLiteral("The synthesizer failed while playing a MIDI file.");
        return -1;
    }
    // Notes still sounding at the end fade out over 10 ms instead of clicking.
    const qint64 fadeFrames = framesForMs(10);
    const qint64 fadeStart = m_totalFrames - fadeFrames;
    for (qint64 i = 0; i < n; ++i) {
        const qint64 at = m_done + i;
        if (at >= fadeStart) {
            const double gain = double(m_totalFrames - at) / double(fadeFrames);
            out[2 * i] = qint16(out[2 * i] * gain);
            out[2 * i + 1] = qint16(out[2 * i + 1] * gain);
        }
    }
    m_done += n;
    return n;
}

} // namespace tv::media
