#pragma once

#include "core/settings/signal_settings.h"

#include <cstdint>
#include <string>

namespace kelvo {

// The most elements a block may have: its WAV file's RIFF size must fit 2^31 - 1 bytes.
inline constexpr std::int64_t kMaxBlockElements = (2147483647 - 36) / 2;

// The size of the block a render fills: its upper index N (N + 1 elements), or the
// reason the render is refused.
struct BlockPlan {
    std::int64_t N = 0;
    std::string refusal;

    bool refused() const { return !refusal.empty(); }
};

// The block of a render of the live signal: the default length, or the waveform's own
// length where it has one. A waveform's own size that is negative or not a number keeps
// the default block.
BlockPlan PlanBlock(const SignalSettings& settings);

// The block of a render of the arbitrary waveform table.
BlockPlan PlanArbBlock(const SignalSettings& settings);

// Sum of the user step durations of steps 1..count; steps past 100 do not exist.
double UserStepTotal(const SignalSettings& settings, std::int64_t count);

// How long the burst is on, in milliseconds: BurstOnTime, or for the windowed burst
// BurstCycles cycles of the frequency.
double BurstOnMs(const SignalSettings& settings);

} // namespace kelvo
