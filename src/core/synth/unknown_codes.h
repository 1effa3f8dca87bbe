#pragma once

#include "core/settings/signal_settings.h"
#include "core/synth/render_context.h"

#include <string>

namespace kelvo {

// Why a render would give no signal at all because a code from a settings file is one
// the program does not know (waveform, channel mode, noise type, sweep parameter or kind,
// the arbitrary render's channel choice) or the sample rate is not positive; empty when
// it gives a signal. A channel mode or channel choice outside the table counts only while
// it would keep silent gains: otherwise it keeps those of the previous render. `state`
// holds the factors of the previous render.
[[nodiscard]] std::string SilentRenderRefusal(const SignalSettings& settings, const SynthState& state);

} // namespace kelvo
