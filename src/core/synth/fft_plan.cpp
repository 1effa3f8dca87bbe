#include "core/synth/fft_plan.h"

#include <mutex>
#include <new>

namespace kelvo {
namespace {

std::mutex& PlannerLock()
{
    static std::mutex lock;
    return lock;
}

} // namespace

RealSpectrum::RealSpectrum(int size)
    : m_size(size)
    , m_signal(fftw_alloc_real(static_cast<std::size_t>(size)))
    , m_spectrum(fftw_alloc_complex(static_cast<std::size_t>(size / 2 + 1)))
{
    if (m_signal == nullptr || m_spectrum == nullptr) {
        fftw_free(m_signal);
        fftw_free(m_spectrum);
        throw std::bad_alloc();
    }
    const std::lock_guard planning(PlannerLock());
    m_forward = fftw_plan_dft_r2c_1d(size, m_signal, m_spectrum, FFTW_ESTIMATE);
    m_backward = fftw_plan_dft_c2r_1d(size, m_spectrum, m_signal, FFTW_ESTIMATE);
}

RealSpectrum::~RealSpectrum()
{
    const std::lock_guard planning(PlannerLock());
    fftw_destroy_plan(m_forward);
    fftw_destroy_plan(m_backward);
    fftw_free(m_signal);
    fftw_free(m_spectrum);
}

void RealSpectrum::forward()
{
    fftw_execute(m_forward);
}

void RealSpectrum::backward()
{
    fftw_execute(m_backward);
}

} // namespace kelvo
