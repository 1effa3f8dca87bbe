#include "core/synth/generators.h"

#include "core/settings/signal_codes.h"

#include "core/synth/channel_factors.h"
#include "core/synth/parallel_frames.h"
#include "core/synth/pink_noise.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace kelvo {
namespace {

constexpr int kTaperLength = 1000;

// Half of a channel's peak-to-peak span as the nearest integer. The value is held in a
// 32-bit integer, so an absurd level is clamped before the conversion.
double NoiseHalf(double amp, double gain)
{
    constexpr double lowest = std::numeric_limits<std::int32_t>::min();
    constexpr double highest = std::numeric_limits<std::int32_t>::max();
    return std::nearbyint(std::clamp(FullScale(amp) * gain / 2, lowest, highest));
}

template <typename Context> void RenderWhiteNoise(Context& c, double halfL, double halfR)
{
    const SynthState& st = c.state;
    const double scaleL = FullScale(st.AmpL);
    const double scaleR = FullScale(st.AmpR);
    // Named locals fix the draw order: left before right.
    const auto drawLeft = [&] { return -halfL + scaleL * c.random.next() * st.GainL; };
    const auto drawRight = [&] { return -halfR + scaleR * c.random.next() * st.GainR; };
    for (FrameIndex n = 0; n < c.frames; ++n) {
        const double left = drawLeft();
        const double right = drawRight();
        StoreSample(c.left(n), left);
        StoreSample(c.right(n), right);
    }
    // Both closing values are drawn even where the loop already filled their elements,
    // so the sequence of draws does not depend on the block's parity.
    const double closingLeft = drawLeft();
    const double closingRight = drawRight();
    c.storeClosingPair(closingLeft, closingRight);
}

// Divides both values of `frame` by `divisor`, each stored again as the nearest integer.
template <typename Context> void DivideFrame(Context& c, FrameIndex frame, double divisor)
{
    if (frame < 0 || frame >= c.frames)
        return;
    StoreSample(c.left(frame), c.left(frame) / divisor);
    StoreSample(c.right(frame), c.right(frame) / divisor);
}

// The end of the block fades from about 1 down to 1/2, then its start from 1/2 up to 1.
template <typename Context> void TaperEnds(Context& c)
{
    const FrameIndex last = c.frames - 1;
    for (int k = 1; k <= kTaperLength; ++k)
        DivideFrame(c, last - kTaperLength + k, 1 + k / 1000.0);
    for (int k = 1; k <= kTaperLength; ++k)
        DivideFrame(c, k - 1, 1 + (1000 - k) / 1000.0);
}

// One piecewise-linear random curve per channel, frame by frame over the whole loop:
// a segment of `spacing` frames runs from the previous target to a newly drawn one.
// The last segment is cut where the loop ends; its targets are where the next render starts.
template <typename Context> void RenderSmoothNoise(Context& c, double halfL, double halfR, double spacingAt44100)
{
    SynthState& st = c.state;
    const auto spacing = NearestInteger(c.sampleRate * spacingAt44100 / 44100);
    if (!spacing || *spacing <= 0)
        return; // a rate too low for even one sample between targets gives silence
    const FrameIndex S = *spacing;
    const double s = static_cast<double>(S);
    const double targetL = FullScale(st.GainL * st.AmpL);
    const double targetR = FullScale(st.GainR * st.AmpR);
    for (FrameIndex start = 0; start < c.frames; start += S) {
        const double prevL = st.NoiseCurL;
        const double prevR = st.NoiseCurR;
        st.NoiseCurL = targetL * c.random.next();
        st.NoiseCurR = targetR * c.random.next();
        const double riseL = st.NoiseCurL - prevL;
        const double riseR = st.NoiseCurR - prevR;
        const FrameIndex steps = std::min(S, c.frames - start);
        for (FrameIndex k = 1; k <= steps; ++k) {
            const double kk = static_cast<double>(k);
            StoreSample(c.left(start + k - 1), prevL + riseL * kk / s - halfL);
            StoreSample(c.right(start + k - 1), prevR + riseR * kk / s - halfR);
        }
    }
}

// A seed for a channel's pink noise, from two draws of the program's source: the noise is
// the same in every run, and each render continues the sequence.
std::uint64_t PinkSeed(RandomSource& random)
{
    const auto high = static_cast<std::uint64_t>(random.next() * 16777216.0f);
    const auto low = static_cast<std::uint64_t>(random.next() * 16777216.0f);
    return high << 24 | low;
}

// Each channel has its own noise, the same period repeated through the block; its peaks
// reach the channel's level and its RMS lies kPinkCrest below them.
template <typename Context> void RenderPinkNoise(Context& c)
{
    if (c.frames <= 0)
        return;
    const SynthState& st = c.state;
    const std::uint64_t seeds[] = {PinkSeed(c.random), PinkSeed(c.random)};
    const double gains[] = {st.GainL, st.GainR};
    const std::int64_t period = PinkNoisePeriod(c.frames);
    std::vector<double> cycles[2];
    RunParts(2, [&](FrameIndex channel) {
        const auto j = static_cast<std::size_t>(channel);
        if (gains[j] != 0)
            cycles[j] = PinkNoiseCycle(period, c.sampleRate, seeds[j]);
    });
    const double scaleL = FullScale(st.AmpL) * st.GainL / kPinkCrest;
    const double scaleR = FullScale(st.AmpR) * st.GainR / kPinkCrest;
    // A silent channel has no cycle: it reads zeros.
    const auto value = [&](int channel, double scale, std::int64_t at) {
        const std::vector<double>& cycle = cycles[channel];
        return cycle.empty() ? 0.0 : scale * cycle[static_cast<std::size_t>(at)];
    };
    ForEachFrameRange(c.frames, [&](FrameIndex begin, FrameIndex end) {
        std::int64_t at = begin % period;
        for (FrameIndex n = begin; n < end; ++n) {
            StoreSample(c.left(n), value(0, scaleL, at));
            StoreSample(c.right(n), value(1, scaleR, at));
            if (++at == period)
                at = 0;
        }
    });
    // The block holds whole periods: the frame after it is the first again.
    c.storeClosingPair(value(0, scaleL, 0), value(1, scaleR, 0));
}

} // namespace

template <typename Context> void RenderNoise(Context& c)
{
    const SynthState& st = c.state;
    const double halfL = NoiseHalf(st.AmpL, st.GainL);
    const double halfR = NoiseHalf(st.AmpR, st.GainR);
    switch (static_cast<NoiseType>(c.settings.NoiseType)) {
    case NoiseType::White: RenderWhiteNoise(c, halfL, halfR); break;
    case NoiseType::MidFrequency: RenderSmoothNoise(c, halfL, halfR, 20); break;
    case NoiseType::LowFrequency:
        RenderSmoothNoise(c, halfL, halfR, 200);
        TaperEnds(c);
        break;
    case NoiseType::Pink: RenderPinkNoise(c); break;
    default: break; // an unknown kind renders silence
    }
}

KELVO_GENERATOR(RenderNoise);

} // namespace kelvo
