#pragma once

#include "synth/sample_buffer.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

namespace kelvo {

inline constexpr std::size_t kWaveHeaderSize = 44;

// The canonical 44-byte header of a 16-bit stereo PCM file holding `elementCount` samples.
std::array<std::byte, kWaveHeaderSize> WaveHeader(std::int32_t sampleRate, std::uint64_t elementCount);

// Writes every element of `buffer` behind a WaveHeader to `path`, replacing the file
// whole. Returns the error text naming the file, empty on success.
std::string WriteWaveFile(const std::filesystem::path& path, const SampleBuffer& buffer,
                          std::int32_t sampleRate);

} // namespace kelvo
