#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

namespace kelvo {

inline constexpr std::size_t kWaveHeaderSize = 44;

// The canonical 44-byte header of a 16-bit stereo PCM file holding `elementCount` samples.
std::array<std::byte, kWaveHeaderSize> WaveHeader(std::int32_t sampleRate, std::uint64_t elementCount);

// Writes `samples` (interleaved stereo) behind a WaveHeader to `path`, replacing the file
// whole. Returns the error text naming the file, empty on success.
[[nodiscard]] std::string WriteWaveFile(const std::filesystem::path& path, std::span<const std::int16_t> samples,
                                        std::int32_t sampleRate);

} // namespace kelvo
