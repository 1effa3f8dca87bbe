#pragma once

#include "core/settings/signal_settings.h"
#include "core/synth/render_context.h"

#include <cstdint>

namespace kelvo {

// How a rendered block's left channel runs through its cycles: at frame n it has done
// (n + 1 + offset) * frequency / rate of them. Only the periodic waveforms have one.
struct BlockClock {
    bool periodic = false;
    double frequency = 0;
    double rate = 0;
    double offset = 0;
};

// The clock of the block that `settings` rendered, leaving `state` behind.
BlockClock ClockOf(const SignalSettings& settings, const SynthState& state);

// Where a new block joins an old one that plays: the new block's frame at which a crossfade
// of `fadeFrames` starts when it starts at the old block's `oldFrame`, such that both stand at
// the same phase in the middle of the fade. The new block's first frame when either block is
// not periodic.
std::int64_t JoinFrame(const BlockClock& old, const BlockClock& next, std::int64_t oldFrame, std::int64_t fadeFrames);

} // namespace kelvo
