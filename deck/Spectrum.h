#pragma once

#include <span>
#include <vector>

namespace tv::deck {

// The power spectrum of samples under a Hann window, one value per bin from
// DC to half the sample rate (samples.size() / 2 + 1 bins). A tone of peak
// amplitude a gives a band of bins whose powers sum to a^2 / 2 wherever the
// tone falls between bins, so levels are read by summing a band.
std::vector<double> hannPowerSpectrum(std::span<const float> samples);

// The sum of power over the bins within halfWidthHz of hz.
double bandPower(const std::vector<double> &power, double binHz, double hz, double halfWidthHz);

} // namespace tv::deck

namespace tv::deck {

// The circular cross-correlation of a and b, zero-padded so no lag wraps:
// value k is the sum of a[i] * b[i + k] (k from the back for negative lags:
// value size() - k for lag -k).
std::vector<double> crossCorrelation(std::span<const float> a, std::span<const float> b);

} // namespace tv::deck
