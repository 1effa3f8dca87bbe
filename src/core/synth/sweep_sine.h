#pragma once

// The sine sample shared by the frequency sweeps and the warble tone.
#include "core/synth/render_context.h"

#include <cmath>

namespace kelvo {

// The sine sample of a sweep: 32767 times the channel's amplitude and gain.
struct SineScales {
    double left;
    double right;
};

inline SineScales SweepScales(const SynthState& st)
{
    return {st.AmpL * st.GainL * 32767, st.AmpR * st.GainR * 32767};
}

// Stores the sine sample of frame n at time index t with radians per sample `omega`, each
// channel with its own offset.
template <typename Context> inline void StoreSinePair(Context& c, const SineScales& scale, FrameIndex n, double t, double omega)
{
    const SynthState& st = c.state;
    const double sinL = std::sin((t + st.OffsetL) * omega);
    const double sinR = st.OffsetL == st.OffsetR ? sinL : std::sin((t + st.OffsetR) * omega);
    StoreSample(c.left(n), scale.left * sinL);
    StoreSample(c.right(n), scale.right * sinR);
}

template <typename Context> inline double SweepOmega(const Context& c, double freq)
{
    return 2 * c.Pi * freq / c.sampleRate;
}

// The frequency recurrence shared by the warble tone and the octave warble sweeps: each frame
// moves W, renders the sine sample at time index n + timeShift, then moves omega by its
// wobble and, for a sweep, by the sweep increment.
template <typename Context>
void RenderWarbleRecurrence(Context& c, double omega, double q, double rate, double timeShift, bool sweeping, double increment);

// The logarithmic sweeps: one sine for both channels, each at its level and gain, with a
// continuous phase and raised-cosine fades of SweepFadeMs at both ends of the block.
// Continuous: the frequency rises by equal ratios in equal times from the start to the
// end frequency over the block. Stepped: SweepSteps steps of SweepStepTime whose
// frequencies are spaced by equal ratios, the first at the start frequency and the last
// at the end frequency.
template <typename Context> void RenderLogSweep(Context& c);
template <typename Context> void RenderLogSteps(Context& c);

} // namespace kelvo
