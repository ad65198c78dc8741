#pragma once

#include "../AudioSource.h"

#include <QByteArray>
#include <memory>
#include <vector>

namespace tv::media {

// Renders a MIDI file with FluidSynth and a General MIDI SoundFont, for
// exactly the length that measuring gives, so that what plays and what was
// counted agree to the sample.
class MidiSource final : public AudioSource
{
public:
    static std::unique_ptr<MidiSource> open(const QString &path, QString &error);
    ~MidiSource() override;

    qint64 readFrames(qint16 *out, qint64 maxFrames) override;
    bool seekMs(qint64) override { return false; }
    QString errorText() const override { return m_error; }

    // The SoundFont used for MIDI, or an empty text when none is installed.
    static QString soundFontPath();

private:
    MidiSource() = default;
    struct Synth;
    std::unique_ptr<Synth> m_synth;
    QByteArray m_smf;
    QString m_error;
    qint64 m_totalFrames = 0;
    qint64 m_done = 0;
    // The peak limiter's gain now (1: nothing held back).
    double m_limiterGain = 1.0;
    std::vector<float> m_left, m_right;
};

} // namespace tv::media
