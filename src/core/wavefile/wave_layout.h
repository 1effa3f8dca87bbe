#pragma once

#include "core/wavefile/audio_format.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace kelvo {

// The first 18 bytes of a format chunk; bytes a short chunk does not supply are zero.
struct PlayFormat {
    std::uint16_t formatTag = 0;
    std::uint16_t channels = 0;
    std::uint32_t samplesPerSec = 0;
    std::uint32_t avgBytesPerSec = 0;
    std::uint16_t blockAlign = 0;
    std::uint16_t bitsPerSample = 0;
    std::uint16_t extraSize = 0;
};

// Where a wave file keeps its format and its sound data, found by walking its chunks.
struct WaveLayout {
    PlayFormat format;
    std::array<std::byte, 50> formatChunk{}; // the first 50 bytes of the format chunk
    std::int64_t dataOffset = 0;
    std::int64_t dataSize = 0; // as the data chunk's header states it
    std::int64_t fileSize = 0;
    bool formatRead = false; // the format chunk was found and read
    std::string error;       // the user's message when the walk failed; empty on success
};

// Walks the RIFF structure of the open file `fd`: the RIFF "WAVE" chunk among the top-level
// chunks, then "fmt " and "data" inside it in any order, other chunks skipped, odd sizes
// padded. The messages are the reader's exact texts.
WaveLayout WalkWaveChunks(int fd);

// The format tag, or for WAVE_FORMAT_EXTENSIBLE the tag its sub-format stands for (0 when
// the sub-format is not one of the standard ones).
std::uint16_t EffectiveFormatTag(const WaveLayout& layout);

// The sample layout of a format the device can play; nullopt for any other, with the
// message naming the format in `refusal`.
std::optional<AudioFormat> PlayableFormat(const WaveLayout& layout, std::string& refusal);

// The data size limited to the file's real length and to whole frames.
std::int64_t PlayableDataSize(const WaveLayout& layout, int blockAlign);

} // namespace kelvo
