#pragma once

// Measurements of a rendered file as an analyser makes them: the spectrum of one second
// through a Blackman-Harris window (FFTW).
#include "support/decoded_wave.h"

#include <fftw3.h>

#include <cmath>
#include <complex>
#include <numbers>
#include <numeric>

namespace kelvo::test {

// The 4-term Blackman-Harris window of n points at point i.
inline double BlackmanHarris(std::size_t i, std::size_t n)
{
    const double a = 2 * std::numbers::pi * static_cast<double>(i) / static_cast<double>(n);
    return 0.35875 - 0.48829 * std::cos(a) + 0.14128 * std::cos(2 * a) - 0.01168 * std::cos(3 * a);
}

// The power of each bin of the transform of x, bins of rate / x.size() Hz: for a signal that
// repeats over x, each bin is one of its lines.
inline std::vector<double> LinePowers(std::vector<double> x)
{
    std::vector<std::complex<double>> out(x.size() / 2 + 1);
    fftw_plan plan =
        fftw_plan_dft_r2c_1d(static_cast<int>(x.size()), x.data(), reinterpret_cast<fftw_complex*>(out.data()), FFTW_ESTIMATE);
    fftw_execute(plan);
    fftw_destroy_plan(plan);
    std::vector<double> power(out.size());
    for (std::size_t k = 0; k < out.size(); ++k)
        power[k] = std::norm(out[k]);
    return power;
}

// The RMS of x (full scale 1.0 as decoded).
inline double Rms(const std::vector<double>& x)
{
    return std::sqrt(std::inner_product(x.begin(), x.end(), x.begin(), 0.0) / static_cast<double>(x.size()));
}

// The power spectrum of x[0 .. n - 1] through a Blackman-Harris window, bins of rate / n
// Hz. A tone of a whole number of cycles in the window lies in 7 bins.
inline std::vector<double> PowerSpectrum(const std::vector<double>& x, std::size_t n)
{
    std::vector<double> in(n);
    for (std::size_t i = 0; i < n; ++i)
        in[i] = x[i] * BlackmanHarris(i, n);
    return LinePowers(std::move(in));
}

// The power of bins [from, to] of a spectrum.
inline double BandPower(const std::vector<double>& power, std::size_t from, std::size_t to)
{
    double sum = 0;
    for (std::size_t k = from; k <= to && k < power.size(); ++k)
        sum += power[k];
    return sum;
}

// The peak amplitude (full scale 1.0) of a tone whose power in a spectrum of n points is
// `power`.
inline double ToneAmplitude(double power, std::size_t n)
{
    double windowEnergy = 0;
    for (std::size_t i = 0; i < n; ++i)
        windowEnergy += BlackmanHarris(i, n) * BlackmanHarris(i, n);
    return std::sqrt(4 * power / (static_cast<double>(n) * windowEnergy));
}

// The power spectral density of x by Welch's method: Hann-windowed segments of n points,
// half overlapping, averaged; bins of rate / n Hz, in arbitrary but consistent units.
inline std::vector<double> WelchDensity(const std::vector<double>& x, std::size_t n)
{
    std::vector<double> sum(n / 2 + 1, 0.0);
    std::size_t count = 0;
    for (std::size_t start = 0; start + n <= x.size(); start += n / 2, ++count) {
        std::vector<double> segment(n);
        for (std::size_t i = 0; i < n; ++i)
            segment[i] = x[start + i] * std::pow(std::sin(std::numbers::pi * static_cast<double>(i) / static_cast<double>(n)), 2);
        const std::vector<double> power = LinePowers(std::move(segment));
        for (std::size_t k = 0; k < power.size(); ++k)
            sum[k] += power[k];
    }
    for (double& p : sum)
        p /= static_cast<double>(count);
    return sum;
}

// The analytic signal of x (x plus i times its Hilbert transform), through one transform
// of the whole signal: its magnitude is the envelope, its angle the phase.
inline std::vector<std::complex<double>> AnalyticSignal(const std::vector<double>& x)
{
    const std::size_t n = x.size();
    std::vector<std::complex<double>> z(x.begin(), x.end());
    auto* data = reinterpret_cast<fftw_complex*>(z.data());
    fftw_plan forward = fftw_plan_dft_1d(static_cast<int>(n), data, data, FFTW_FORWARD, FFTW_ESTIMATE);
    fftw_execute(forward);
    fftw_destroy_plan(forward);
    for (std::size_t k = 1; k < n; ++k)
        z[k] *= 2 * k < n ? 2.0 : (2 * k == n ? 1.0 : 0.0);
    fftw_plan backward = fftw_plan_dft_1d(static_cast<int>(n), data, data, FFTW_BACKWARD, FFTW_ESTIMATE);
    fftw_execute(backward);
    fftw_destroy_plan(backward);
    for (auto& v : z)
        v /= static_cast<double>(n);
    return z;
}

// The mean frequency of an analytic signal between samples `from` and `to`, in cycles per
// sample: the phase it turns through, unwrapped, over the samples.
inline double MeanFrequency(const std::vector<std::complex<double>>& z, std::size_t from, std::size_t to)
{
    double turned = 0;
    for (std::size_t i = from; i < to; ++i)
        turned += std::arg(z[i + 1] * std::conj(z[i]));
    return turned / (2 * std::numbers::pi * static_cast<double>(to - from));
}

} // namespace kelvo::test
