#pragma once

#include "core/settings/signal_settings.h"

#include <cstdint>
#include <span>
#include <vector>

namespace kelvo {

// The loop length in frames, at most `frames` and at least 90 % of it, at which every tone
// of `frequencies` comes closest to a whole number of cycles at `rate` (the worst tone's
// distance, in cycles, is what counts; of equals the longest wins).
std::int64_t WholeCycleFrames(std::int64_t frames, double rate, std::span<const double> frequencies);

// The tones whose cycles a loop of the live signal should hold whole: those of the
// periodic waveforms (sine, square, triangle, sawtooth, two tone, multitone, AM, FM, DSB);
// none for the others.
std::vector<double> LoopTones(const SignalSettings& settings);

} // namespace kelvo
