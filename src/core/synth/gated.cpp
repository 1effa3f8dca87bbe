#include "core/synth/generators.h"

#include "core/synth/block_size.h"
#include "core/synth/channel_factors.h"
#include "core/synth/parallel_frames.h"

#include <cmath>

namespace kelvo {
namespace {

// The number of loop frames n with n < floor(P): none when P is not a number.
FrameIndex OnPartFrames(double P, FrameIndex frames)
{
    const double limit = std::floor(P);
    if (!(limit > 0))
        return 0;
    if (limit >= static_cast<double>(frames))
        return frames;
    return static_cast<FrameIndex>(limit);
}

// A tone of BurstCycles cycles under a Hann window (sin^2), starting and ending at
// zero, then silence for the rest of the block.
template <typename Context> void RenderWindowedBurst(Context& c)
{
    const SynthState& st = c.state;
    const double omega = 2 * c.Pi * c.settings.Freq[0] / c.sampleRate;
    const double length = c.sampleRate * BurstOnMs(c.settings) / 1000;
    const FrameIndex onFrames = OnPartFrames(std::ceil(length), c.frames);
    const double scaleL = FullScale(st.AmpL) * st.GainL;
    const double scaleR = FullScale(st.AmpR) * st.GainR;
    ForEachFrameRange(onFrames, [&](FrameIndex begin, FrameIndex end) {
        for (FrameIndex n = begin; n < end; ++n) {
            const double t = static_cast<double>(n);
            const double root = std::sin(c.Pi * t / length);
            const double window = root * root;
            StoreSample(c.left(n), scaleL * window * std::sin((t + st.OffsetL) * omega));
            StoreSample(c.right(n), scaleR * window * std::sin((t + st.OffsetR) * omega));
        }
    });
}

} // namespace

template <typename Context> void RenderBurst(Context& c)
{
    if (c.settings.BurstWindow == 1) {
        RenderWindowedBurst(c);
        return;
    }
    SynthState& st = c.state;
    const SignalSettings& s = c.settings;
    const double BurstLowL = Amplitude(-s.BurstLevelDiff) * st.AmpL;
    const double BurstLowR = Amplitude(-s.BurstLevelDiff) * st.AmpR;
    const double BurstAmpL0 = st.AmpL;
    const double BurstAmpR0 = st.AmpR;
    const double omega = 2 * c.Pi * s.Freq[0] / c.sampleRate;
    const double P = c.sampleRate * s.BurstOnTime / 1000;
    const FrameIndex onFrames = OnPartFrames(P, c.frames);
    const bool decay = s.BurstExpDecay == 1;
    // The decayed amplitude depends on the frame index alone, so the frames stay
    // independent of each other.
    const auto decayed = [P](double amp0, FrameIndex n) {
        return (std::exp((P - static_cast<double>(n)) / P) - 1) * amp0 / 1.718;
    };
    // Leading parts of the written products: hoisting them changes no bit.
    const double onScaleL = FullScale(BurstAmpL0);
    const double onScaleR = FullScale(BurstAmpR0);
    const double lowScaleL = FullScale(BurstLowL);
    const double lowScaleR = FullScale(BurstLowR);
    const bool sameArgument = st.OffsetL == st.OffsetR;
    ForEachFrameRange(c.frames, [&](FrameIndex begin, FrameIndex end) {
        for (FrameIndex n = begin; n < end; ++n) {
            double scaleL = lowScaleL;
            double scaleR = lowScaleR;
            if (n < onFrames) {
                scaleL = decay ? FullScale(decayed(BurstAmpL0, n)) : onScaleL;
                scaleR = decay ? FullScale(decayed(BurstAmpR0, n)) : onScaleR;
            }
            const double t = static_cast<double>(n + 1);
            const double cosL = std::cos((t + st.OffsetL) * omega);
            const double cosR = sameArgument ? cosL : std::cos((t + st.OffsetR) * omega);
            StoreSample(c.left(n), scaleL * cosL * st.GainL);
            StoreSample(c.right(n), scaleR * cosR * st.GainR);
        }
    });
    // The closing pair takes the amplitudes as the loop leaves them: the last decayed
    // ones when the decay ran, the full ones otherwise. They stay in the state as well.
    if (decay && onFrames > 0) {
        st.AmpL = decayed(BurstAmpL0, onFrames - 1);
        st.AmpR = decayed(BurstAmpR0, onFrames - 1);
    }
    const double t = static_cast<double>(c.frames + 2);
    c.storeClosingPair(FullScale(st.AmpL) * std::cos((t + st.OffsetL) * omega) * st.GainL,
                       FullScale(st.AmpR) * std::cos((t + st.OffsetR) * omega) * st.GainR);
}

// The on intervals are the silent parts of the train, the off and rest intervals its
// high parts. The steps run in this order within a frame, so a change to the off interval
// writes its first high frame at once while a change back to the on interval leaves its
// frame silent.
template <typename Context> void RenderPulse(Context& c)
{
    const SignalSettings& s = c.settings;
    const double A = std::floor(c.sampleRate * s.PulseOnTime / 1000);
    const double B = std::floor(c.sampleRate * s.PulseOffTime / 1000);
    const double R = std::floor(c.sampleRate * s.PulseRestTime / 1000);
    // One high value for both channels, from the left level.
    typename Context::Element H = 0;
    StoreSample(H, FullScale(c.state.AmpL));
    const double pulseCount = s.PulseCount;

    double PulseGroupCount = 0;
    double PulseOnCount = 0;
    double PulseOffCount = 0;
    double PulseRestCount = 0;
    bool PulseInOn = true;
    bool PulseInOff = false;
    bool PulseInRest = false;
    for (FrameIndex n = 0; n < c.frames; ++n) {
        if (PulseGroupCount >= pulseCount) {
            PulseGroupCount = PulseOnCount = PulseOffCount = PulseRestCount = 0;
            PulseInOn = false;
            PulseInOff = false;
            PulseInRest = true;
        }
        if (PulseInOn) {
            if (PulseOnCount < A) {
                PulseOnCount = PulseOnCount + 1; // the frame stays at zero
            } else {
                PulseGroupCount = PulseGroupCount + 1;
                PulseInOn = false;
                PulseInOff = true;
                PulseOnCount = 0;
            }
        }
        if (PulseInOff) {
            if (PulseOffCount < B) {
                c.left(n) = H;
                c.right(n) = H;
                PulseOffCount = PulseOffCount + 1;
            } else {
                PulseInOn = true;
                PulseInOff = false;
                PulseOffCount = 0;
            }
        }
        if (PulseInRest) {
            if (PulseRestCount < R) {
                c.left(n) = H;
                c.right(n) = H;
                PulseRestCount = PulseRestCount + 1;
            } else {
                PulseInRest = false;
                PulseInOn = true;
                PulseInOff = false;
                PulseRestCount = 0;
            }
        }
    }
}

KELVO_GENERATOR(RenderBurst);
KELVO_GENERATOR(RenderPulse);

} // namespace kelvo
