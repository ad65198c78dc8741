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

std::vector<double> crossCorrelation(std::span<const float> a, std::span<const float> b)
{
    std::size_t n = 1;
    while (n < a.size() + b.size())
        n *= 2;
    const std::size_t bins = n / 2 + 1;
    std::unique_ptr<double, FftwFree> real(static_cast<double *>(fftw_malloc(sizeof(double) * n)));
    std::unique_ptr<fftw_complex, FftwFree> fa(static_cast<fftw_complex *>(fftw_malloc(sizeof(fftw_complex) * bins)));
    std::unique_ptr<fftw_complex, FftwFree> fb(static_cast<fftw_complex *>(fftw_malloc(sizeof(fftw_complex) * bins)));
    fftw_plan forwardA, forwardB, backward;
    {
        std::lock_guard lock(plannerMutex());
        forwardA = fftw_plan_dft_r2c_1d(static_cast<int>(n), real.get(), fa.get(), FFTW_ESTIMATE);
        forwardB = fftw_plan_dft_r2c_1d(static_cast<int>(n), real.get(), fb.get(), FFTW_ESTIMATE);
        backward = fftw_plan_dft_c2r_1d(static_cast<int>(n), fa.get(), real.get(), FFTW_ESTIMATE);
    }
    std::fill(real.get(), real.get() + n, 0.0);
    std::copy(a.begin(), a.end(), real.get());
    fftw_execute(forwardA);
    std::fill(real.get(), real.get() + n, 0.0);
    std::copy(b.begin(), b.end(), real.get());
    fftw_execute(forwardB);
    for (std::size_t k = 0; k < bins; ++k) { // conj(A) * B
        const double re = fa.get()[k][0] * fb.get()[k][0] + fa.get()[k][1] * fb.get()[k][1];
        const double im = fa.get()[k][0] * fb.get()[k][1] - fa.get()[k][1] * fb.get()[k][0];
        fa.get()[k][0] = re;
        fa.get()[k][1] = im;
    }
    fftw_execute(backward);
    {
        std::lock_guard lock(plannerMutex());
        fftw_destroy_plan(forwardA);
        fftw_destroy_plan(forwardB);
        fftw_destroy_plan(backward);
    }
    std::vector<double> out(real.get(), real.get() + n);
    for (double &v : out)
        v /= static_cast<double>(n);
    return out;
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
