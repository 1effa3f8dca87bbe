#include "core/synth/channel_factors.h"
#include "core/synth/generators.h"
#include "core/synth/parallel_frames.h"
#include "core/synth/sweep_sine.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace kelvo {
namespace {

// The fade gain of frame n of a block of `frames` frames: sin^2 rising over `fade` frames
// from 0 at frame 0, and falling over the last ones towards 0 at frame `frames`, where the
// loop starts again.
double FadeGain(FrameIndex n, FrameIndex frames, FrameIndex fade)
{
    const FrameIndex edge = std::min(n, frames - n);
    if (edge >= fade)
        return 1;
    const double s = std::sin(std::numbers::pi / 2 * static_cast<double>(edge) / static_cast<double>(fade));
    return s * s;
}

template <typename Context> FrameIndex FadeFrames(const Context& c)
{
    const auto fade = NearestInteger(c.settings.SweepFadeMs * c.sampleRate / 1000);
    return std::clamp<FrameIndex>(fade.value_or(0), 0, c.frames / 2);
}

// Stores frame n of a sweep whose phase there is `phase`.
template <typename Context> void StoreSweepFrame(Context& c, FrameIndex n, double phase, FrameIndex fade)
{
    const double s = std::sin(phase) * FadeGain(n, c.frames, fade);
    StoreSample(c.left(n), FullScale(c.state.AmpL) * c.state.GainL * s);
    StoreSample(c.right(n), FullScale(c.state.AmpR) * c.state.GainR * s);
}

} // namespace

template <typename Context> void RenderLogSweep(Context& c)
{
    const double f0 = c.settings.SweepStartFreq;
    const double f1 = c.settings.SweepEndFreq;
    const auto frames = static_cast<double>(c.frames);
    // The phase is the integral of f0 * (f1/f0)^(n/frames); at equal frequencies the sweep is a tone.
    const double octaves = std::log(f1 / f0);
    const double omega0 = 2 * std::numbers::pi * f0 / c.sampleRate;
    const FrameIndex fade = FadeFrames(c);
    // (f1/f0)^(n/frames) grows by one factor per frame; it is taken afresh from exp() every
    // kExactEvery frames (counted from frame 0, so the threads agree), which keeps the
    // product's error far below a microradian of phase.
    constexpr FrameIndex kExactEvery = 1024;
    const double step = std::exp(octaves / frames);
    const double scale = octaves != 0 ? omega0 * frames / octaves : 0;
    ForEachFrameRange(c.frames, [&](FrameIndex begin, FrameIndex end) {
        // A range starting between two exact frames steps up from the one before it, as a
        // single thread would.
        const FrameIndex exact = begin - begin % kExactEvery;
        double growth = std::exp(octaves * static_cast<double>(exact) / frames);
        for (FrameIndex n = exact; n < begin; ++n)
            growth *= step;
        for (FrameIndex n = begin; n < end; ++n) {
            const double x = static_cast<double>(n);
            if (n % kExactEvery == 0)
                growth = std::exp(octaves * x / frames);
            else if (n != begin)
                growth *= step;
            const double phase = octaves != 0 ? scale * (growth - 1) : omega0 * x;
            StoreSweepFrame(c, n, phase, fade);
        }
    });
}

template <typename Context> void RenderLogSteps(Context& c)
{
    const SignalSettings& s = c.settings;
    const std::int64_t steps = std::clamp<std::int64_t>(s.SweepSteps, 1, kListMax);
    struct Step {
        FrameIndex begin;
        double phase; // at its first frame
        double omega;
    };
    // Each step starts where the previous one ends, at the phase it reached.
    std::vector<Step> table;
    double phase = 0;
    for (std::int64_t k = 0; k < steps; ++k) {
        const double position = steps > 1 ? static_cast<double>(k) / static_cast<double>(steps - 1) : 0;
        const double hz = s.SweepStartFreq * std::pow(s.SweepEndFreq / s.SweepStartFreq, position);
        const FrameIndex begin = c.frames * k / steps;
        if (!table.empty())
            phase = std::fmod(phase + table.back().omega * static_cast<double>(begin - table.back().begin), 2 * std::numbers::pi);
        table.push_back({begin, phase, 2 * std::numbers::pi * hz / c.sampleRate});
    }
    const FrameIndex fade = FadeFrames(c);
    ForEachFrameRange(c.frames, [&](FrameIndex begin, FrameIndex end) {
        auto step =
            std::upper_bound(table.begin(), table.end(), begin, [](FrameIndex n, const Step& at) { return n < at.begin; }) - 1;
        for (FrameIndex n = begin; n < end; ++n) {
            if (step + 1 != table.end() && n >= (step + 1)->begin)
                ++step;
            StoreSweepFrame(c, n, step->phase + step->omega * static_cast<double>(n - step->begin), fade);
        }
    });
}

KELVO_GENERATOR(RenderLogSweep);
KELVO_GENERATOR(RenderLogSteps);

} // namespace kelvo
