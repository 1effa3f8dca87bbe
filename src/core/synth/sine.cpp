#include "core/synth/generators.h"

#include "core/synth/channel_factors.h"
#include "core/synth/parallel_frames.h"
#include "core/synth/sine_rotor.h"

#include <algorithm>
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
    const auto exactL = [&](double t) { return scaleL * std::sin((t + st.OffsetL) * omega) * st.GainL; };
    const auto exactR = [&](double t) { return scaleR * std::sin((t + st.OffsetR) * omega) * st.GainR; };

    // How far a product from a rotor may lie from the exact one; where that is too far for
    // the rotor to help (absurd lengths or frequencies), every sample takes its exact sine.
    const double last = static_cast<double>(c.frames);
    const double error = std::max(SineRotorError(last, st.OffsetL, omega), SineRotorError(last, st.OffsetR, omega));
    const double margin = 2 * error * std::max(std::abs(scaleL * st.GainL), std::abs(scaleR * st.GainR)) + 1e-9;
    if (!(margin < 0.25)) {
        ForEachFrameRange(c.frames, [&](FrameIndex begin, FrameIndex end) {
            for (FrameIndex n = begin; n < end; ++n) {
                const double t = static_cast<double>(n + 1);
                StoreSample(c.left(n), exactL(t));
                StoreSample(c.right(n), exactR(t));
            }
        });
        return;
    }
    ForEachFrameRange(c.frames, [&](FrameIndex begin, FrameIndex end) {
        SineRotor left(st.OffsetL, omega);
        SineRotor right(sameArgument ? st.OffsetL : st.OffsetR, omega);
        for (FrameIndex restart = begin; restart < end; restart += SineRotor::kRestartEvery) {
            left.restart(restart);
            right.restart(restart);
            const FrameIndex stop = std::min(end, restart + SineRotor::kRestartEvery);
            for (FrameIndex n = restart; n < stop; ++n) {
                const double t = static_cast<double>(n + 1);
                StoreNear(c.left(n), scaleL * left.value() * st.GainL, margin, [&] { return exactL(t); });
                StoreNear(c.right(n), scaleR * right.value() * st.GainR, margin, [&] { return exactR(t); });
                left.step();
                right.step();
            }
        }
    });
}

KELVO_GENERATOR(RenderSine);

} // namespace kelvo
