#pragma once

#include <QString>

#include <optional>
#include <span>
#include <vector>

namespace tv::deck {

// A steady tone followed through a stretch of sound: its frequency at each
// instant (about a thousand values a second) and over the whole stretch.
struct ToneTrack
{
    double rate = 0.0;      // values per second of hz
    double meanHz = 0.0;    // from the phase the tone advanced over the stretch
    std::vector<double> hz; // the instantaneous frequency
};

// Follows the tone within 10 % of nominalHz in mono samples. The tone is
// found in the spectrum, mixed down to near DC, low-passed at 300 Hz and
// decimated; its phase then gives the frequency. Empty, with error set,
// when the stretch is too short or holds no such tone.
std::optional<ToneTrack> followTone(std::span<const float> samples, double sampleRate, double nominalHz,
                                    QString *error = nullptr);

} // namespace tv::deck
