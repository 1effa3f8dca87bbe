#pragma once

#include <cmath>
#include <cstdint>
#include <optional>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace kelvo {

// The nearest integer, halves to even, of a value already inside the int32 range.
inline std::int32_t RoundHalfEven(double value)
{
#if defined(__SSE2__)
    return _mm_cvtsd_si32(_mm_set_sd(value)); // the default MXCSR mode rounds half to even
#else
    return static_cast<std::int32_t>(std::nearbyint(value));
#endif
}

// The nearest multiple of one half, halves of a half to even (2.25 gives 2, 2.75 gives 3).
inline double RoundToHalf(double value)
{
    return std::nearbyint(value * 2) / 2;
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
