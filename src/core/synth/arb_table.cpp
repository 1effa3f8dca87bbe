#include "core/synth/generators.h"

#include "core/synth/channel_factors.h"

namespace kelvo {

template <typename Context> void RenderArbTable(Context& c)
{
    const SynthState& st = c.state;
    const auto& table = c.settings.ArbTable;
    const double step = 400 * c.settings.ArbFreq / c.settings.ArbSampleRate;
    const double scaleL = FullScale(st.AmpL);
    const double scaleR = FullScale(st.AmpR);
    // The table position is a running sum, so the frames are rendered in order.
    double p = 0;
    for (FrameIndex n = 0; n < c.frames; ++n) {
        if (p > 400)
            p = p - 400;
        const auto k = NearestInteger(p);
        if (k && *k >= 0 && *k < kArbTableSize) {
            const double value = table[static_cast<std::size_t>(*k)];
            StoreSample(c.left(n), scaleL * value / 150 * st.GainL);
            StoreSample(c.right(n), scaleR * value / 150 * st.GainR);
        }
        p = p + step;
    }
}

KELVO_GENERATOR(RenderArbTable);

} // namespace kelvo
