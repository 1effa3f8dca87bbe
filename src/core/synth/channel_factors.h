#pragma once

#include "settings/signal_settings.h"
#include "synth/render_context.h"

namespace kelvo {

// Sets the gains and phase offsets of the live channel mode, and the amplitudes of the
// live levels. A channel mode outside the table leaves the previous gains and offsets.
void SetChannelFactors(SynthState& state, const SignalSettings& settings);

// Sets the gains of the arbitrary render's channel choice; a choice outside the table
// leaves the previous gains.
void SetArbChannelFactors(SynthState& state, const SignalSettings& settings);

// A level in dB relative to full scale as a linear amplitude.
double Amplitude(double levelDb);

} // namespace kelvo
