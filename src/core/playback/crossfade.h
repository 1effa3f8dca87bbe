#pragma once

#include "core/playback/read_ahead.h"
#include "core/wavefile/audio_format.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace kelvo {

// Mixes the frames of `from` into those of `to` under a raised cosine, frame by frame: the
// first frame of `out` is almost all `from`, the last almost all `to`, and the sum of the two
// weights is always one, so a signal faded into itself stays as it was. The three spans hold
// the same whole number of frames of `format`.
void Crossfade(std::span<const std::byte> from, std::span<const std::byte> to, std::span<std::byte> out,
               const AudioFormat& format);

// Copies `into.size()` bytes of a looped file's data from byte `at` of the data on, starting
// over at the data's end as often as needed. Returns the bytes read; fewer when the file holds
// less than it said.
std::size_t ReadLooped(const LoopedData& data, std::int64_t at, std::span<std::byte> into);

} // namespace kelvo
