#pragma once

#include <fftw3.h>

#include <cstdint>

namespace kelvo {

// A real signal of `size` values and its half spectrum (size / 2 + 1 bins), with FFTW's
// plans between them. Plans are made under one lock, since FFTW's planner is not
// thread-safe; running them is, so each thread may own a RealSpectrum.
class RealSpectrum {
public:
    explicit RealSpectrum(int size);
    ~RealSpectrum();
    RealSpectrum(const RealSpectrum&) = delete;
    RealSpectrum& operator=(const RealSpectrum&) = delete;

    int size() const { return m_size; }
    int bins() const { return m_size / 2 + 1; }
    double* signal() { return m_signal; }
    fftw_complex* spectrum() { return m_spectrum; }

    // signal -> spectrum, unnormalised.
    void forward();
    // spectrum -> signal, unnormalised (size times the inverse); the spectrum is overwritten.
    void backward();

private:
    int m_size;
    double* m_signal;
    fftw_complex* m_spectrum;
    fftw_plan m_forward;
    fftw_plan m_backward;
};

} // namespace kelvo
