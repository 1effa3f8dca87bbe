#include "core/synth/generators.h"

#include "core/synth/parallel_frames.h"

#include <cmath>

namespace kelvo {
namespace {

// The two cosines a modulated sample is built from: carrier cX(t) and modulation mX(t).
struct Cosines {
    double carrier;
    double modulation;
};

Cosines CosinesAt(double t, double offset, double omega, double modOmega)
{
    return {std::cos((t + offset) * omega), std::cos((t + offset) * modOmega)};
}

// Renders every frame at t = n + 1 and the closing pair at t = F + 2. `value(channel, cosines)`
// gives one channel's sample; channel 0 is left, 1 right. Both channels see the same cosines
// when their offsets are equal, so those are computed once.
template <typename Context, typename Value> void RenderModulated(Context& c, double omega, double modOmega, Value&& value)
{
    const SynthState& st = c.state;
    const bool sameArgument = st.OffsetL == st.OffsetR;
    ForEachFrameRange(c.frames, [&](FrameIndex begin, FrameIndex end) {
        for (FrameIndex n = begin; n < end; ++n) {
            const double t = static_cast<double>(n + 1);
            const Cosines l = CosinesAt(t, st.OffsetL, omega, modOmega);
            const Cosines r = sameArgument ? l : CosinesAt(t, st.OffsetR, omega, modOmega);
            StoreSample(c.left(n), value(0, l));
            StoreSample(c.right(n), value(1, r));
        }
    });
    const double t = static_cast<double>(c.frames + 2);
    c.storeClosingPair(value(0, CosinesAt(t, st.OffsetL, omega, modOmega)), value(1, CosinesAt(t, st.OffsetR, omega, modOmega)));
}

} // namespace

template <typename Context> void RenderAm(Context& c)
{
    const SynthState& st = c.state;
    const double omega = 2 * c.Pi * c.settings.AmCarrierFreq / c.sampleRate;
    const double modOmega = 2 * c.Pi * c.settings.AmModFreq / c.sampleRate;
    const double d = c.settings.AmModDepth / 100;
    // Left prefixes of the three written products, per channel.
    const double carrierScale[2] = {st.AmpL * 0.5 * 32767, st.AmpR * 0.5 * 32767};
    const double modScale[2] = {d * st.AmpL * 0.0033 * 32767, d * st.AmpR * 0.0033 * 32767};
    const double sideScale[2] = {st.AmpL * 0.0033 * 32767, st.AmpR * 0.0033 * 32767};
    const double gain[2] = {st.GainL, st.GainR};
    RenderModulated(c, omega, modOmega, [&](int x, const Cosines& cs) {
        return (carrierScale[x] * cs.carrier + (modScale[x] * cs.modulation) * (sideScale[x] * cs.carrier)) * gain[x];
    });
}

template <typename Context> void RenderFm(Context& c)
{
    const SynthState& st = c.state;
    const double omega = 2 * c.Pi * c.settings.FmCarrierFreq / c.sampleRate;
    const double modOmega = 2 * c.Pi * c.settings.FmModFreq / c.sampleRate;
    const double deviation = c.settings.FmDeviation;
    const double scaleL = st.AmpL * 0.495 * 32767;
    const double scaleR = st.AmpR * 0.495 * 32767;
    // The modulation sits inside the carrier's argument: one cosine of a cosine per channel.
    auto carrier = [&](double t, double offset) {
        return std::cos((t + offset) * omega + deviation * std::cos((t + offset) * modOmega));
    };
    const bool sameArgument = st.OffsetL == st.OffsetR;
    ForEachFrameRange(c.frames, [&](FrameIndex begin, FrameIndex end) {
        for (FrameIndex n = begin; n < end; ++n) {
            const double t = static_cast<double>(n + 1);
            const double carrierL = carrier(t, st.OffsetL);
            const double carrierR = sameArgument ? carrierL : carrier(t, st.OffsetR);
            StoreSample(c.left(n), scaleL * carrierL * st.GainL);
            StoreSample(c.right(n), scaleR * carrierR * st.GainR);
        }
    });
    const double t = static_cast<double>(c.frames + 2);
    c.storeClosingPair(scaleL * carrier(t, st.OffsetL) * st.GainL, scaleR * carrier(t, st.OffsetR) * st.GainR);
}

template <typename Context> void RenderDsb(Context& c)
{
    const SynthState& st = c.state;
    const double omega = 2 * c.Pi * c.settings.DsbCarrierFreq / c.sampleRate;
    const double modOmega = 2 * c.Pi * c.settings.DsbModFreq / c.sampleRate;
    const double d = c.settings.DsbModDepth / 100;
    const double scale[2] = {d * st.AmpL * 0.005 * 32767, d * st.AmpR * 0.005 * 32767};
    const double gain[2] = {st.GainL, st.GainR};
    RenderModulated(c, omega, modOmega,
                    [&](int x, const Cosines& cs) { return (scale[x] * cs.modulation) * (scale[x] * cs.carrier) * gain[x]; });
}

KELVO_GENERATOR(RenderAm);
KELVO_GENERATOR(RenderFm);
KELVO_GENERATOR(RenderDsb);

} // namespace kelvo
