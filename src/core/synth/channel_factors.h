#pragma once

#include "core/settings/signal_settings.h"
#include "core/synth/render_context.h"

#include <cmath>

namespace kelvo {

// Sets the gains and phase offsets of the live channel mode, and the amplitudes of the
// live levels. A channel mode outside the table leaves the previous gains and offsets.
void SetChannelFactors(SynthState& state, const SignalSettings& settings);

// Sets the gains of the arbitrary render's channel choice; a choice outside the table
// leaves the previous gains.
void SetArbChannelFactors(SynthState& state, const SignalSettings& settings);

// A level in dB relative to full scale as a linear amplitude.
inline double Amplitude(double levelDb)
{
    return std::pow(10.0, levelDb / 20);
}

// The sample value of a linear amplitude: (amplitude x 0.99) x 32767, the leading part of
// every generator's written product, evaluated in that order so no output bit changes.
inline double FullScale(double amplitude)
{
    return amplitude * 0.99 * 32767;
}

} // namespace kelvo
