#include "core/synth/band_limited.h"

#include "core/synth/fft_plan.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <numbers>

namespace kelvo {
namespace {

// Reading between table points acts on harmonic k as (pi k / size)^2 / 8 of its own
// amplitude: at 64 points per cycle of the highest harmonic and never under 2^16 points,
// that stays below -120 dB of the fundamental.
int TableSize(int highestHarmonic)
{
    const auto wanted = static_cast<unsigned>(std::max(1 << 16, 64 * highestHarmonic));
    return static_cast<int>(std::bit_ceil(wanted));
}

// The cosine and sine amplitudes of harmonic k (k >= 1) of a shape of peak 1.
struct Harmonic {
    double cosine = 0;
    double sine = 0;
};

Harmonic Series(HarmonicShape shape, int k)
{
    constexpr double pi = std::numbers::pi;
    // (-1)^((k - 1) / 2) for odd k: the signs of cos and sin of k pi / 2.
    const double alternate = (k % 4 == 1) ? 1 : -1;
    switch (shape) {
    case HarmonicShape::Square: return k % 2 == 1 ? Harmonic{4 / pi * alternate / k, 0} : Harmonic{};
    case HarmonicShape::Triangle:
        return k % 2 == 1 ? Harmonic{0, 8 / (pi * pi) * alternate / (static_cast<double>(k) * k)} : Harmonic{};
    case HarmonicShape::Sawtooth: {
        // -(2/pi) sum sin(k (x - pi/2)) / k
        const double cosHalf[] = {1, 0, -1, 0};
        const double sinHalf[] = {0, 1, 0, -1};
        return {2 / pi * sinHalf[k % 4] / k, -2 / pi * cosHalf[k % 4] / k};
    }
    }
    return {};
}

} // namespace

BandLimitedCycle::BandLimitedCycle(HarmonicShape shape, double frequency, double sampleRate)
{
    // The harmonics strictly below half the rate; a tone at or past it has none.
    const double ratio = sampleRate / 2 / frequency;
    const double below = std::ceil(ratio) - 1;
    // Past 2^17 harmonics (a tone under 1 Hz) the rest lies 100 dB down and is left out.
    const int highest = std::isfinite(ratio) && ratio > 1 ? static_cast<int>(std::min(below, 131072.0)) : 0;
    const int size = TableSize(highest);
    m_size = size;
    m_table.assign(static_cast<std::size_t>(size) + 1, 0.0);
    if (highest < 1)
        return;

    RealSpectrum fft(size);
    fftw_complex* bins = fft.spectrum();
    std::fill_n(&bins[0][0], 2 * fft.bins(), 0.0);
    // The inverse transform sums 2 Re(X_k e^(i k x)), so X_k = (cosine - i sine) / 2.
    for (int k = 1; k <= highest && k < fft.bins(); ++k) {
        const Harmonic h = Series(shape, k);
        bins[k][0] = h.cosine / 2;
        bins[k][1] = -h.sine / 2;
    }
    fft.backward();
    const double* x = fft.signal();
    double peak = 0;
    for (int n = 0; n < size; ++n)
        peak = std::max(peak, std::abs(x[n]));
    if (!(peak > 0))
        return;
    for (int n = 0; n < size; ++n)
        m_table[static_cast<std::size_t>(n)] = x[n] / peak;
    m_table.back() = m_table.front();
}

} // namespace kelvo
