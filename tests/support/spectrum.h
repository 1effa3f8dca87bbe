#pragma once

// Measurements of a rendered file as an analyser makes them: the spectrum of one second
// through a Blackman-Harris window (FFTW).
#include "support/decoded_wave.h"

#include <fftw3.h>

#include <cmath>
#include <complex>
#include <numbers>
#include <vector>

namespace kelvo::test {

// The 4-term Blackman-Harris window of n points at point i.
inline double BlackmanHarris(std::size_t i, std::size_t n)
{
    const double a = 2 * std::numbers::pi * static_cast<double>(i) / static_cast<double>(n);
    return 0.35875 - 0.48829 * std::cos(a) + 0.14128 * std::cos(2 * a) - 0.01168 * std::cos(3 * a);
}

// The power spectrum of x[0 .. n - 1] through a Blackman-Harris window, bins of rate / n
// Hz. A tone of a whole number of cycles in the window lies in 7 bins.
inline std::vector<double> PowerSpectrum(const std::vector<double>& x, std::size_t n)
{
    std::vector<double> in(n);
    std::vector<std::complex<double>> out(n / 2 + 1);
    for (std::size_t i = 0; i < n; ++i)
        in[i] = x[i] * BlackmanHarris(i, n);
    fftw_plan plan =
        fftw_plan_dft_r2c_1d(static_cast<int>(n), in.data(), reinterpret_cast<fftw_complex*>(out.data()), FFTW_ESTIMATE);
    fftw_execute(plan);
    fftw_destroy_plan(plan);
    std::vector<double> power(out.size());
    for (std::size_t k = 0; k < out.size(); ++k)
        power[k] = std::norm(out[k]);
    return power;
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

} // namespace kelvo::test
