#include "core/synth/generators.h"

#include "core/synth/channel_factors.h"
#include "core/synth/parallel_frames.h"

#include <cmath>

namespace kelvo {

template <typename Context> void RenderSine(Context& c)
{
    const SynthState& st = c.state;
    const double omega = 2 * c.Pi * c.settings.Freq[0] / c.sampleRate;
    // (Amp * 0.99) * 32767 is the leading part of the written product, so hoisting it
    // changes no bit of the result.
    const double scaleL = FullScale(st.AmpL);
    const double scaleR = FullScale(st.AmpR);
    const bool sameArgument = st.OffsetL == st.OffsetR;
    ForEachFrameRange(c.frames, [&](FrameIndex begin, FrameIndex end) {
        for (FrameIndex n = begin; n < end; ++n) {
            const double t = static_cast<double>(n + 1);
            const double sinL = std::sin((t + st.OffsetL) * omega);
            const double sinR = sameArgument ? sinL : std::sin((t + st.OffsetR) * omega);
            StoreSample(c.left(n), scaleL * sinL * st.GainL);
            StoreSample(c.right(n), scaleR * sinR * st.GainR);
        }
    });
}

KELVO_GENERATOR(RenderSine);

} // namespace kelvo
