#pragma once

#include <cstdint>
#include <vector>

namespace kelvo {

// Pink noise's peaks stay within this many times its RMS: a crest factor of 12 dB.
inline constexpr double kPinkCrest = 4;

// The period of the pink noise in a block of `frames` frames: the block itself, or for a
// block too long to transform quickly, its longest whole fraction that is not. Either way
// the block holds whole periods, so its loop point is seamless.
std::int64_t PinkNoisePeriod(std::int64_t frames);

// One period of pink noise, `period` values: equal power in every octave from 10 Hz up
// to 24 kHz or half the sample rate, nothing outside that band, RMS 1 and peaks within
// kPinkCrest. Every bin of the band has exactly its share of the power; only the phases
// are random, drawn from `seed`.
std::vector<double> PinkNoiseCycle(std::int64_t period, double rate, std::uint64_t seed);

} // namespace kelvo
