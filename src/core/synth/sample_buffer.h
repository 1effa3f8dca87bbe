#pragma once

#include <cmath>
#include <cstdint>
#include <optional>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace kelvo {

using Sample = std::int16_t;
// Interleaved stereo: element 2n is the left sample of frame n, 2n + 1 its right sample.
// The element count may be odd (a trailing half frame).
using SampleBuffer = std::vector<Sample>;
using FrameIndex = std::int64_t;

// The nearest integer, halves to even, of a value already inside the int32 range.
inline std::int32_t RoundHalfEven(double value)
{
#if defined(__SSE2__)
    return _mm_cvtsd_si32(_mm_set_sd(value)); // the default MXCSR mode rounds half to even
#else
    return static_cast<std::int32_t>(std::nearbyint(value));
#endif
}

// Stores the nearest integer of `value`, saturated to -32768..32767. A NaN is not stored:
// the element keeps what it held.
inline void StoreSample(Sample& element, double value)
{
    if (std::isnan(value))
        return;
    const double limited = value < -32768.0 ? -32768.0 : (value > 32767.0 ? 32767.0 : value);
    element = static_cast<Sample>(RoundHalfEven(limited));
}

// nearest() for sizes, counts and indices: halves to even; nothing for a NaN or a value
// too large for any buffer.
inline std::optional<std::int64_t> NearestInteger(double value)
{
    constexpr double kLimit = 4.0e18;
    if (!(value > -kLimit && value < kLimit))
        return std::nullopt;
    return static_cast<std::int64_t>(std::nearbyint(value));
}

} // namespace kelvo
