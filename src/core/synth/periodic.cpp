#include "core/synth/generators.h"

#include "core/synth/band_limited.h"
#include "core/synth/channel_factors.h"
#include "core/synth/parallel_frames.h"

#include <cmath>

namespace kelvo {
namespace {

// -1, 0 or +1 by the sign of x; a NaN stays NaN, so its sample is not stored.
double Sign(double x)
{
    return x > 0 ? 1.0 : (x < 0 ? -1.0 : x);
}

template <typename Context> double Omega(const Context& c)
{
    return 2 * c.Pi * c.settings.Freq[0] / c.sampleRate;
}

// The ramps of the first cycle were built on an incomplete previous half cycle, so the
// second cycle, 4 * prev elements further on, is copied over them. An index outside the
// buffer skips only that one step.
template <typename Context> void ReplaceFirstCycle(Context& c, double prev)
{
    const auto last = NearestInteger(4 * prev);
    if (!last)
        return;
    for (std::int64_t i = 0; i <= *last && i <= c.N; ++i) {
        const auto from = NearestInteger(4 * prev + static_cast<double>(i));
        if (!from || *from > c.N)
            break; // the source only moves further out from here
        if (*from >= 0)
            c.buffer[static_cast<std::size_t>(i)] = c.buffer[static_cast<std::size_t>(*from)];
    }
}

// The ramp generators' running state: the count of the current half cycle, its direction
// and the final count of the previous half cycle (kept between renders).
struct Ramp {
    double count = 1;
    double dir = 1;
    double prev = 0;

    void turn()
    {
        prev = count;
        count = 1;
        dir = -dir;
    }
};

// Keeps the last half cycle's count for the next render and repairs the block's start.
template <typename Context> void FinishRamp(Context& c, const Ramp& ramp)
{
    c.state.RampPrev = ramp.prev;
    ReplaceFirstCycle(c, ramp.prev);
}

// The shape of peak `peak` (times the channel's full scale) built from its harmonics below
// half the rate, at the plain shape's phase: time index n + timeShift, each channel at its own
// offset or both at the left one.
template <typename Context>
void RenderBandLimited(Context& c, HarmonicShape shape, double peak, double timeShift, bool ownOffsets)
{
    const SynthState& st = c.state;
    const double freq = c.settings.Freq[0];
    const BandLimitedCycle cycle(shape, freq, c.sampleRate);
    const double cyclesPerFrame = freq / c.sampleRate;
    const double offsetR = ownOffsets ? st.OffsetR : st.OffsetL;
    const double scaleL = st.AmpL * peak * 32767 * st.GainL;
    const double scaleR = st.AmpR * peak * 32767 * st.GainR;
    ForEachFrameRange(c.frames, [&](FrameIndex begin, FrameIndex end) {
        for (FrameIndex n = begin; n < end; ++n) {
            const double t = static_cast<double>(n) + timeShift;
            const double left = cycle.at((t + st.OffsetL) * cyclesPerFrame);
            const double right = offsetR == st.OffsetL ? left : cycle.at((t + offsetR) * cyclesPerFrame);
            StoreSample(c.left(n), scaleL * left);
            StoreSample(c.right(n), scaleR * right);
        }
    });
}

} // namespace

template <typename Context> void RenderSquare(Context& c)
{
    if (c.settings.BandLimited == 1) {
        RenderBandLimited(c, HarmonicShape::Square, 0.99, 1, true);
        return;
    }
    const SynthState& st = c.state;
    const double omega = Omega(c);
    // (Amp * 0.99) * 32767 is the leading part of the written product, so hoisting it
    // changes no bit of the result.
    const double scaleL = FullScale(st.AmpL);
    const double scaleR = FullScale(st.AmpR);
    const bool sameArgument = st.OffsetL == st.OffsetR;
    ForEachFrameRange(c.frames, [&](FrameIndex begin, FrameIndex end) {
        for (FrameIndex n = begin; n < end; ++n) {
            const double t = static_cast<double>(n + 1);
            const double signL = Sign(std::cos((t + st.OffsetL) * omega));
            const double signR = sameArgument ? signL : Sign(std::cos((t + st.OffsetR) * omega));
            StoreSample(c.left(n), scaleL * signL * st.GainL);
            StoreSample(c.right(n), scaleR * signR * st.GainR);
        }
    });
    const double t = static_cast<double>(c.frames + 2);
    c.storeClosingPair(scaleL * Sign(std::cos((t + st.OffsetL) * omega)) * st.GainL,
                       scaleR * Sign(std::cos((t + st.OffsetR) * omega)) * st.GainR);
}

// Both ramp generators run one ramp at the left channel's phase; the right channel
// differs only by its gain and amplitude.
template <typename Context> void RenderTriangle(Context& c)
{
    if (c.settings.BandLimited == 1) {
        RenderBandLimited(c, HarmonicShape::Triangle, 0.95, 0, false);
        return;
    }
    const SynthState& st = c.state;
    const double omega = Omega(c);
    const double S = c.sampleRate * c.Period;
    Ramp r{.prev = st.RampPrev};
    for (FrameIndex n = 0; n < c.frames; ++n) {
        const double x = std::cos((static_cast<double>(n) + st.OffsetL) * omega);
        const double ramp = r.dir * (r.count - r.prev / 2);
        StoreSample(c.left(n), ramp * st.GainL * st.AmpL * 3.8 * 32767 / S);
        StoreSample(c.right(n), ramp * st.GainR * st.AmpR * 3.8 * 32767 / S);
        // The frame of a turn was written with the old count and direction.
        if (r.dir * x < 0)
            r.turn();
        else
            r.count = r.count + 1;
    }
    FinishRamp(c, r);
}

template <typename Context> void RenderSawtooth(Context& c)
{
    if (c.settings.BandLimited == 1) {
        RenderBandLimited(c, HarmonicShape::Sawtooth, 0.995, 1, false);
        return;
    }
    const SynthState& st = c.state;
    const double omega = Omega(c);
    const double S = c.sampleRate * c.Period;
    Ramp r{.prev = st.RampPrev};
    for (FrameIndex n = 0; n < c.frames; ++n) {
        const double x = std::cos((static_cast<double>(n + 1) + st.OffsetL) * omega);
        if (r.dir * x > 0) {
            const double ramp = r.dir > 0 ? r.count * r.dir : (r.prev - r.count) * r.dir;
            StoreSample(c.left(n), ramp * st.GainL * st.AmpL * 1.99 * 32767 / S);
            StoreSample(c.right(n), ramp * st.GainR * st.AmpR * 1.99 * 32767 / S);
            r.count = r.count + 1;
        } else {
            r.turn(); // the turn frame stays silent
        }
    }
    FinishRamp(c, r);
}

// One impulse at the start of the block, whatever the levels, channel mode and phases.
// The block arrives zeroed, so every other element, the closing pair included, is
// already silent.
template <typename Context> void RenderDirac(Context& c)
{
    if (c.frames > 0) {
        StoreSample(c.left(0), FullScale(1.0));
        StoreSample(c.right(0), FullScale(1.0));
    }
}

KELVO_GENERATOR(RenderSquare);
KELVO_GENERATOR(RenderTriangle);
KELVO_GENERATOR(RenderSawtooth);
KELVO_GENERATOR(RenderDirac);

} // namespace kelvo
