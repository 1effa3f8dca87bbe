#pragma once

// Measurements of a rendered file as an analyser makes them: decoding of the file's
// samples, and the spectrum of one second through a Blackman-Harris window (FFTW).
#include "core/wavefile/wave_file.h"
#include "support/test_support.h"

#include <fftw3.h>

#include <cmath>
#include <complex>
#include <cstring>
#include <filesystem>
#include <numbers>
#include <vector>

namespace kelvo::test {

// One channel of a stereo wave file (16-, 24-bit PCM or 32-bit float), full scale 1.0.
inline std::vector<double> DecodedChannel(const std::filesystem::path& path, int channel)
{
    const OpenedWave wave = OpenWave(path);
    const std::string bytes = ReadFile(path).substr(static_cast<std::size_t>(wave.layout.dataOffset));
    const int width = wave.format.blockAlign / wave.format.channels;
    std::vector<double> x;
    for (std::size_t at = static_cast<std::size_t>(channel * width); at + static_cast<std::size_t>(width) <= bytes.size();
         at += static_cast<std::size_t>(wave.format.blockAlign)) {
        const auto* p = reinterpret_cast<const unsigned char*>(bytes.data() + at);
        switch (wave.format.encoding) {
        case SampleEncoding::Signed16: x.push_back(static_cast<std::int16_t>(p[0] | p[1] << 8) / 32768.0); break;
        case SampleEncoding::Signed24:
            x.push_back(static_cast<std::int32_t>(static_cast<std::uint32_t>(p[0] << 8 | p[1] << 16 | p[2] << 24)) /
                        2147483648.0);
            break;
        case SampleEncoding::Float32: {
            float value = 0;
            std::memcpy(&value, p, 4);
            x.push_back(value);
            break;
        }
        default: return {};
        }
    }
    return x;
}

// The power spectrum of x[0 .. n - 1] through a 4-term Blackman-Harris window, bins of
// rate / n Hz. A tone of a whole number of cycles in the window lies in 7 bins.
inline std::vector<double> PowerSpectrum(const std::vector<double>& x, std::size_t n)
{
    std::vector<double> in(n);
    std::vector<std::complex<double>> out(n / 2 + 1);
    for (std::size_t i = 0; i < n; ++i) {
        const double a = 2 * std::numbers::pi * static_cast<double>(i) / static_cast<double>(n);
        in[i] = x[i] * (0.35875 - 0.48829 * std::cos(a) + 0.14128 * std::cos(2 * a) - 0.01168 * std::cos(3 * a));
    }
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

} // namespace kelvo::test
