#include "core/synth/pink_noise.h"

#include "core/synth/fft_plan.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>

namespace kelvo {
namespace {

constexpr double kLowestHz = 10;
constexpr double kHighestHz = 24000;
// About 11 s at 192 kHz: its transforms take tens of milliseconds.
constexpr std::int64_t kLongestPeriod = std::int64_t{1} << 21;
// A block with no whole fraction at least this long is transformed whole.
constexpr std::int64_t kShortestFraction = std::int64_t{1} << 16;
// Clipping below the target and restoring the spectrum pulls the peaks in (iterative
// clipping); a few passes bring Gaussian peaks of about 5 times the RMS under 4.
constexpr double kClipAt = 3.3;
constexpr int kCrestPasses = 12;

double Rms(const double* x, int size)
{
    double sum = 0;
    for (int n = 0; n < size; ++n)
        sum += x[n] * x[n];
    return std::sqrt(sum / size);
}

double Peak(const double* x, int size)
{
    double peak = 0;
    for (int n = 0; n < size; ++n)
        peak = std::max(peak, std::abs(x[n]));
    return peak;
}

void Scale(double* x, int size, double factor)
{
    for (int n = 0; n < size; ++n)
        x[n] *= factor;
}

// Gives every bin of the spectrum the magnitude of `magnitude`, keeping its phase.
void ImposeMagnitudes(RealSpectrum& fft, const std::vector<double>& magnitude)
{
    fftw_complex* bins = fft.spectrum();
    for (int k = 0; k < fft.bins(); ++k) {
        const double length = std::hypot(bins[k][0], bins[k][1]);
        const double factor = length > 0 ? magnitude[static_cast<std::size_t>(k)] / length : 0;
        bins[k][0] *= factor;
        bins[k][1] *= factor;
    }
}

} // namespace

std::int64_t PinkNoisePeriod(std::int64_t frames)
{
    if (frames <= kLongestPeriod)
        return frames;
    for (std::int64_t parts = (frames + kLongestPeriod - 1) / kLongestPeriod; frames / parts >= kShortestFraction; ++parts)
        if (frames % parts == 0)
            return frames / parts;
    return frames;
}

std::vector<double> PinkNoiseCycle(std::int64_t period, double rate, std::uint64_t seed)
{
    if (period < 2 || period > std::int64_t{1} << 30 || !(rate > 0))
        return std::vector<double>(static_cast<std::size_t>(std::max<std::int64_t>(period, 0)), 0.0);
    const int size = static_cast<int>(period);
    RealSpectrum fft(size);

    // Power falling as 1/f: amplitudes as 1/sqrt(f). The Nyquist bin has no phase of its own.
    std::vector<double> magnitude(static_cast<std::size_t>(fft.bins()), 0.0);
    const double highest = std::min(kHighestHz, rate / 2);
    for (int k = 1; 2 * k < size; ++k) {
        const double hz = k * rate / size;
        if (hz >= kLowestHz && hz <= highest)
            magnitude[static_cast<std::size_t>(k)] = 1 / std::sqrt(hz);
    }
    std::mt19937_64 phases(seed);
    fftw_complex* bins = fft.spectrum();
    for (int k = 0; k < fft.bins(); ++k) {
        const double phase = 2 * std::numbers::pi * static_cast<double>(phases() >> 11) * 0x1p-53;
        bins[k][0] = magnitude[static_cast<std::size_t>(k)] * std::cos(phase);
        bins[k][1] = magnitude[static_cast<std::size_t>(k)] * std::sin(phase);
    }
    fft.backward();

    double* x = fft.signal();
    const double rms = Rms(x, size);
    if (!(rms > 0))
        return std::vector<double>(static_cast<std::size_t>(size), 0.0);
    Scale(x, size, 1 / rms);
    for (int pass = 0; pass < kCrestPasses && Peak(x, size) > kPinkCrest; ++pass) {
        for (int n = 0; n < size; ++n)
            x[n] = std::clamp(x[n], -kClipAt, kClipAt);
        fft.forward();
        ImposeMagnitudes(fft, magnitude);
        fft.backward();
        Scale(x, size, 1 / Rms(x, size));
    }
    // Peaks the passes left over the limit are scaled under it, at a small cost in RMS.
    const double peak = Peak(x, size);
    if (peak > kPinkCrest)
        Scale(x, size, kPinkCrest / peak);
    return {x, x + size};
}

} // namespace kelvo
