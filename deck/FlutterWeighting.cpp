#include "FlutterWeighting.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tv::deck {

namespace {

constexpr WeightingPoint kTable[] = {
    {0.1, -48.0, 4, 10}, {0.2, -30.6, 4, 10}, {0.315, -19.7, 4, 4}, {0.4, -15.0, 4, 4},
    {0.63, -8.4, 2, 2},  {0.8, -6.0, 2, 2},   {1.0, -4.2, 2, 2},    {1.6, -1.8, 2, 2},
    {2.0, -0.9, 2, 2},   {4.0, 0.0, 0, 0},    {6.3, -0.9, 2, 2},    {10.0, -2.1, 2, 2},
    {20.0, -5.9, 2, 2},  {40.0, -10.4, 2, 2}, {63.0, -14.2, 4, 4},  {100.0, -17.3, 4, 4},
    {200.0, -23.0, 4, 4},
};

// The analog prototype, in Hz, fitted (least largest error) to the table
// through the bilinear transform at a 1 kHz deviation rate.
constexpr double kPairHz = 0.496711;
constexpr double kPairQ = 0.53681;
constexpr double kLowPoleHz = 1.03851;
constexpr double kHighPoleHz = 11.0067;
constexpr double kTopZeroHz = 230.338;

constexpr double kTwoPi = 2.0 * std::numbers::pi;

// Where the bilinear transform puts an analog root s.
std::complex<double> mapped(std::complex<double> s, double rate)
{
    const double k = 2.0 * rate;
    return (k + s) / (k - s);
}

} // namespace

std::span<const WeightingPoint> flutterWeightingTable()
{
    return kTable;
}

double tableWeightingDb(double hz)
{
    const auto table = flutterWeightingTable();
    if (hz <= table.front().hz)
        return table.front().db;
    if (hz >= table.back().hz)
        return table.back().db;
    const auto upper = std::find_if(table.begin(), table.end(), [hz](const WeightingPoint &p) { return p.hz >= hz; });
    const auto lower = upper - 1;
    const double along = std::log(hz / lower->hz) / std::log(upper->hz / lower->hz);
    return lower->db + along * (upper->db - lower->db);
}

double FlutterWeightingFilter::Biquad::run(double x)
{
    const double y = b0 * x + s1;
    s1 = b1 * x - a1 * y + s2;
    s2 = b2 * x - a2 * y;
    return y;
}

std::complex<double> FlutterWeightingFilter::Biquad::at(std::complex<double> z) const
{
    const std::complex<double> zi = 1.0 / z;
    return (b0 + b1 * zi + b2 * zi * zi) / (1.0 + a1 * zi + a2 * zi * zi);
}

FlutterWeightingFilter::FlutterWeightingFilter(double sampleRate) : m_rate(sampleRate)
{
    // The complex pair: roots of s^2 + (w0/Q) s + w0^2.
    const double w0 = kTwoPi * kPairHz;
    const std::complex<double> root = std::complex<double>(-w0 / (2.0 * kPairQ), 0.0)
        + std::sqrt(std::complex<double>(w0 * w0 / (4.0 * kPairQ * kPairQ) - w0 * w0, 0.0));
    const std::complex<double> pair = mapped(root, m_rate);
    m_high.b0 = 1.0; // two zeros at z = 1
    m_high.b1 = -2.0;
    m_high.b2 = 1.0;
    m_high.a1 = -2.0 * pair.real();
    m_high.a2 = std::norm(pair);

    const double low = mapped(-kTwoPi * kLowPoleHz, m_rate).real();
    const double high = mapped(-kTwoPi * kHighPoleHz, m_rate).real();
    const double top = mapped(-kTwoPi * kTopZeroHz, m_rate).real();
    m_band.b0 = 1.0; // zeros at z = 1 and at the top zero
    m_band.b1 = -(1.0 + top);
    m_band.b2 = top;
    m_band.a1 = -(low + high);
    m_band.a2 = low * high;

    m_gain = 1.0 / std::abs(unscaledAt(4.0));
}

std::complex<double> FlutterWeightingFilter::unscaledAt(double hz) const
{
    const std::complex<double> z = std::polar(1.0, kTwoPi * hz / m_rate);
    return m_high.at(z) * m_band.at(z);
}

double FlutterWeightingFilter::responseDb(double hz) const
{
    return 20.0 * std::log10(m_gain * std::abs(unscaledAt(hz)));
}

double FlutterWeightingFilter::process(double x)
{
    return m_band.run(m_high.run(x * m_gain));
}

void FlutterWeightingFilter::reset()
{
    m_high.s1 = m_high.s2 = m_band.s1 = m_band.s2 = 0.0;
}

} // namespace tv::deck
