#pragma once

#include <complex>
#include <span>

namespace tv::deck {

// One point of the flutter weighting curve of the wow-and-flutter measuring
// standard (0 dB at 4 Hz, where a speed wobble is heard most), with the
// tolerance a meter's weighting filter must keep there.
struct WeightingPoint
{
    double hz;
    double db;
    double tolBelowDb; // how far under db the filter may lie
    double tolAboveDb; // how far over db the filter may lie
};

// The standard's table, 0.1 Hz to 200 Hz.
std::span<const WeightingPoint> flutterWeightingTable();
// The table's curve between its points (straight in dB over log frequency).
double tableWeightingDb(double hz);

// The weighting as a causal filter over a speed-deviation signal sampled at
// sampleRate (about 1 kHz): three zeros at DC and a slow complex pole pair
// for the steep fall below 0.5 Hz, a real pole near 1 Hz and one near 11 Hz
// for the 6 dB per octave either side of 4 Hz, and a zero near 230 Hz that
// eases the top end onto the table. The poles and zeros were fitted to the
// table as the bilinear transform maps them at about 1 kHz (largest error
// under 0.5 dB there).
class FlutterWeightingFilter
{
public:
    explicit FlutterWeightingFilter(double sampleRate);

    double process(double x);
    void reset();
    // The filter's own gain at hz, in dB.
    double responseDb(double hz) const;

private:
    struct Biquad
    {
        double b0 = 1, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
        double s1 = 0, s2 = 0; // transposed direct form II state
        double run(double x);
        std::complex<double> at(std::complex<double> z) const;
    };
    std::complex<double> unscaledAt(double hz) const;

    double m_rate;
    Biquad m_high; // the DC zeros with the complex pole pair
    Biquad m_band; // the last DC zero, the top zero and the two real poles
    double m_gain = 1.0;
};

} // namespace tv::deck
