#pragma once

#include "core/synth/sample_buffer.h"

#include <cmath>
#include <limits>

namespace kelvo {

// sin((t + offset) * omega) for t = n + 1 frame after frame, by rotation: a few
// multiplications a frame instead of a sine. Restarted from the exact sine every
// kRestartEvery frames, so its error stays within SineRotorError.
class SineRotor {
public:
    static constexpr FrameIndex kRestartEvery = 64;

    SineRotor(double offset, double omega)
        : m_offset(offset)
        , m_omega(omega)
        , m_stepSin(std::sin(omega))
        , m_stepCos(std::cos(omega))
    {
    }

    // Starts again at frame `n` from the exact sine and cosine.
    void restart(FrameIndex n)
    {
        const double argument = (static_cast<double>(n + 1) + m_offset) * m_omega;
        m_sin = std::sin(argument);
        m_cos = std::cos(argument);
    }
    double value() const { return m_sin; }
    void step()
    {
        const double sin = m_sin * m_stepCos + m_cos * m_stepSin;
        m_cos = m_cos * m_stepCos - m_sin * m_stepSin;
        m_sin = sin;
    }

private:
    double m_offset;
    double m_omega;
    double m_stepSin;
    double m_stepCos;
    double m_sin = 0;
    double m_cos = 1;
};

// How far a rotor's value may lie from std::sin((t + offset) * omega) for t up to `last`:
// the rounding of the argument as the exact sine computes it, twice, the steps since the
// last restart and the sine's own error.
inline double SineRotorError(double last, double offset, double omega)
{
    const auto ulp = [](double x) { return std::nextafter(x, std::numeric_limits<double>::infinity()) - x; };
    const double t = last + std::abs(offset);
    const double argumentError = 2 * (ulp(t) * std::abs(omega) + ulp(t * std::abs(omega)));
    return argumentError + static_cast<double>(SineRotor::kRestartEvery) * 2e-15 + 1e-15;
}

// Stores `approx` (a product computed from a rotor's value, within `margin` of the exact
// one) as StoreSample would store the exact product: where rounding the two could differ
// (near a half, or near the ends of the range) `exact()` is stored instead.
template <typename Exact> void StoreNear(Sample& element, double approx, double margin, Exact&& exact)
{
    if (std::abs(approx) < 32766) {
        const std::int32_t nearest = RoundHalfEven(approx);
        if (std::abs(approx - nearest) < 0.5 - margin) {
            element = static_cast<Sample>(nearest);
            return;
        }
    }
    StoreSample(element, exact());
}

// A fine sample is not rounded: the rotor's value is as good as the exact one.
template <typename Exact> void StoreNear(FineSample& element, double approx, double, Exact&&)
{
    StoreSample(element, approx);
}

} // namespace kelvo
