#pragma once

#include "core/wavefile/audio_format.h"

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

namespace kelvo {

// How a fine render (unrounded samples on the 16-bit scale, full scale 32767) is written:
// 16- or 24-bit PCM, rounded to the nearest step, or 32-bit float (a sample divided by
// 32768), so that the three agree within one 16-bit step. Dither adds triangular noise of
// ±1 step before rounding, the same noise on every write of the same block.
struct FineWaveFormat {
    SampleEncoding encoding = SampleEncoding::Signed24; // Signed16, Signed24 or Float32
    bool dither = false;
};

// Writes `samples` (interleaved stereo) to `path`, replacing the file whole: 16-bit as the
// canonical 44-byte header, 24-bit as WAVE_FORMAT_EXTENSIBLE, float as IEEE float, both
// with a fact chunk. Returns the error text naming the file, empty on success.
[[nodiscard]] std::string WriteFineWaveFile(const std::filesystem::path& path, std::span<const float> samples,
                                            std::int32_t sampleRate, FineWaveFormat format);

} // namespace kelvo
