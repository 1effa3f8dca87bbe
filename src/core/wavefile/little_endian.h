#pragma once

#include <cstddef>
#include <cstdint>

namespace kelvo {

// Little-endian integers as RIFF stores them.
inline std::uint16_t Le16(const std::byte* p)
{
    return static_cast<std::uint16_t>(std::to_integer<unsigned>(p[0]) | std::to_integer<unsigned>(p[1]) << 8);
}

inline std::uint32_t Le32(const std::byte* p)
{
    return Le16(p) | static_cast<std::uint32_t>(Le16(p + 2)) << 16;
}

} // namespace kelvo
