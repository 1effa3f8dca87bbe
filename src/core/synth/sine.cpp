#include "synth/generators.h"

#include <cmath>

namespace kelvo {

void RenderSine(RenderContext& c)
{
    const SynthState& st = c.state;
    const double omega = 2 * c.Pi * c.settings.Freq[0] / c.sampleRate;
    // (Amp * 0.99) * 32767 is the leading part of the written product, so hoisting it
    // changes no bit of the result.
    const double scaleL = st.AmpL * 0.99 * 32767;
    const double scaleR = st.AmpR * 0.99 * 32767;
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

void RenderArbTable(RenderContext& c)
{
    const SynthState& st = c.state;
    const auto& table = c.settings.ArbTable;
    const double step = 400 * c.settings.ArbFreq / c.settings.ArbSampleRate;
    const double scaleL = st.AmpL * 0.99 * 32767;
    const double scaleR = st.AmpR * 0.99 * 32767;
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

} // namespace kelvo
