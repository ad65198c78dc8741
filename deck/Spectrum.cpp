#include "Spectrum.h"

#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <mutex>
#include <numbers>

namespace tv::deck {

namespace {

// FFTW's planner is not thread-safe; executing a plan is.
std::mutex &plannerMutex()
{
    static std::mutex mutex;
    return mutex;
}

struct FftwFree
{
    void operator()(void *p) const { fftw_free(p); }
};

} // namespace

std::vector<double> hannPowerSpectrum(std::span<const float> samples)
{
    const std::size_t n = samples.size();
    if (n < 2)
        return {};
    std::unique_ptr<double, FftwFree> in(static_cast<double *>(fftw_malloc(sizeof(double) * n)));
    std::unique_ptr<fftw_complex, FftwFree> out(static_cast<fftw_complex *>(fftw_malloc(sizeof(fftw_complex) * (n / 2 + 1))));
    fftw_plan plan;
    {
        std::lock_guard lock(plannerMutex());
        plan = fftw_plan_dft_r2c_1d(static_cast<int>(n), in.get(), out.get(), FFTW_ESTIMATE);
    }
    double windowPower = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        const double w = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * static_cast<double>(i) / static_cast<double>(n));
        in.get()[i] = samples[i] * w;
        windowPower += w * w;
    }
    fftw_execute(plan);
    {
        std::lock_guard lock(plannerMutex());
        fftw_destroy_plan(plan);
    }
    // Parseval: the window's energy scales a tone's summed band, and the
    // one-sided spectrum counts each tone once (bins 1..n/2-1 doubled).
    std::vector<double> power(n / 2 + 1);
    for (std::size_t k = 0; k < power.size(); ++k) {
        const double re = out.get()[k][0];
        const double im = out.get()[k][1];
        const bool edge = k == 0 || (n % 2 == 0 && k == n / 2);
        power[k] = (re * re + im * im) * (edge ? 1.0 : 2.0) / (windowPower * static_cast<double>(n));
    }
    return power;
}

double bandPower(const std::vector<double> &power, double binHz, double hz, double halfWidthHz)
{
    if (power.empty())
        return 0.0;
    const auto last = static_cast<long>(power.size()) - 1;
    const long from = std::clamp(static_cast<long>(std::ceil((hz - halfWidthHz) / binHz)), 0L, last);
    const long to = std::clamp(static_cast<long>(std::floor((hz + halfWidthHz) / binHz)), 0L, last);
    double sum = 0.0;
    for (long k = from; k <= to; ++k)
        sum += power[static_cast<std::size_t>(k)];
    return sum;
}

} // namespace tv::deck
