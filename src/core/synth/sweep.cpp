#include "core/synth/generators.h"

#include "core/settings/signal_codes.h"

#include "core/synth/channel_factors.h"
#include "core/synth/parallel_frames.h"
#include "core/synth/sweep_sine.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <vector>

namespace kelvo {
namespace {

// The user step counts are 32-bit: a value outside that range is not stored.
bool FitsInt32(std::int64_t value)
{
    using Limits = std::numeric_limits<std::int32_t>;
    return value >= Limits::min() && value <= Limits::max();
}

// Frames per step of the stepped sweeps.
template <typename Context> double SweepStepLength(const Context& c)
{
    const double steps = c.settings.SweepSteps;
    return steps > 1 ? static_cast<double>(c.N) / (2 * steps - 1) : 1;
}

template <typename Context> void RenderContinuousSweep(Context& c)
{
    const SynthState& st = c.state;
    const double startOmega = SweepOmega(c, c.settings.SweepStartFreq);
    const double endOmega = SweepOmega(c, c.settings.SweepEndFreq);
    const double increment = (endOmega - startOmega) / static_cast<double>(c.N);
    const SineScales scale = SweepScales(st);
    // Both channels take the left offset, so one sine serves the frame.
    auto frame = [&](double& omega, FrameIndex n, auto write) {
        if constexpr (decltype(write)::value) {
            const double s = std::sin((static_cast<double>(n + 1) + st.OffsetL) * omega);
            StoreSample(c.left(n), scale.left * s);
            StoreSample(c.right(n), scale.right * s);
        }
        omega = omega + increment;
    };
    RunSequence(c.frames, startOmega, 0.12, frame);
}

// Steps evenly spaced in hertz; with a single step the division has no value and the
// frequency stays at the start.
template <typename Context> void RenderSteppedSweep(Context& c)
{
    struct Step {
        double c;
        double omega;
    };
    const double startOmega = SweepOmega(c, c.settings.SweepStartFreq);
    const double endOmega = SweepOmega(c, c.settings.SweepEndFreq);
    const double divisor = c.settings.SweepSteps - 1.0;
    const double stepLength = SweepStepLength(c);
    auto stepOmega = [&](const Step& step) {
        return divisor != 0 ? startOmega + (endOmega - startOmega) * (step.c - 1) / divisor : step.omega;
    };
    const SineScales scale = SweepScales(c.state);
    auto frame = [&](Step& step, FrameIndex n, auto write) {
        if (step.c * stepLength < static_cast<double>(n)) {
            step.c = step.c + 1;
            step.omega = stepOmega(step);
        }
        if constexpr (decltype(write)::value)
            StoreSinePair(c, scale, n, static_cast<double>(n + 1), step.omega);
    };
    Step first{1, startOmega};
    first.omega = stepOmega(first);
    RunSequence(c.frames, first, 0.08, frame);
}

// Steps of the user's list, each with its own frequency and duration; the generator counts
// SweepSteps entries, and a step past the list's last entry leaves the frequency as it was.
template <typename Context> void RenderUserSteps(Context& c)
{
    const SignalSettings& s = c.settings;
    // Elements (two per frame) of each step. Entries past SweepSteps count as empty steps.
    std::array<std::int64_t, kListEntries> stepSamples{};
    for (std::int64_t k = 1; k <= std::min<std::int64_t>(s.SweepSteps, kListMax); ++k) {
        const auto samples = NearestInteger(2 * c.sampleRate * s.UserStepPeriod[static_cast<std::size_t>(k)]);
        if (samples && FitsInt32(*samples))
            stepSamples[static_cast<std::size_t>(k)] = *samples;
    }
    struct Step {
        std::int64_t k;
        std::int64_t end; // element index at which step k ends
        double omega;
    };
    const SineScales scale = SweepScales(c.state);
    auto frame = [&](Step& step, FrameIndex n, auto write) {
        if (2 * n >= step.end) {
            step.k = step.k + 1;
            if (step.k <= kListMax) {
                const auto k = static_cast<std::size_t>(step.k);
                // The end is a 32-bit count: a sum beyond it is skipped.
                const std::int64_t end = step.end + stepSamples[k];
                if (FitsInt32(end))
                    step.end = end;
                step.omega = SweepOmega(c, s.UserStepFreq[k]);
            }
        }
        if constexpr (decltype(write)::value)
            StoreSinePair(c, scale, n, static_cast<double>(n), step.omega);
    };
    RunSequence(c.frames, Step{0, 0, 0}, 0.08, frame);
}

template <typename Context> void RenderOctaveWarbleSweep(Context& c, double a, double q)
{
    const double startOmega = SweepOmega(c, c.settings.SweepStartFreq);
    const double endOmega = SweepOmega(c, c.settings.SweepEndFreq);
    const double increment = (endOmega - startOmega) / static_cast<double>(c.N);
    RenderWarbleRecurrence(c, a * startOmega, q, c.settings.SweepWarbleRate, 0, true, increment);
}

// Level steps evenly spaced in decibels, both channels at the swept level.
template <typename Context> void RenderLevelSweep(Context& c)
{
    struct Step {
        double c;
        double scale; // SweepLevel x 0.99 x 32767, the left part of the sample product
    };
    const SignalSettings& s = c.settings;
    const SynthState& st = c.state;
    const double omega = SweepOmega(c, s.Freq[0]);
    const double range = s.SweepStartLevel - s.SweepEndLevel;
    const double divisor = s.SweepSteps - 1.0;
    const double stepLength = SweepStepLength(c);
    auto value = [&](const Step& step, double t, double offset, double gain) {
        return step.scale * std::cos((t + offset) * omega) * gain;
    };
    auto frame = [&](Step& step, FrameIndex n, auto write) {
        if (step.c * stepLength <= static_cast<double>(n)) {
            step.c = step.c + 1;
            if (divisor != 0) {
                const double dB = s.SweepStartLevel - (step.c - 1) * range / divisor;
                step.scale = FullScale(Amplitude(dB));
            }
        }
        if constexpr (decltype(write)::value) {
            const double t = static_cast<double>(n + 1);
            const double cosL = std::cos((t + st.OffsetL) * omega);
            const double cosR = st.OffsetL == st.OffsetR ? cosL : std::cos((t + st.OffsetR) * omega);
            StoreSample(c.left(n), step.scale * cosL * st.GainL);
            StoreSample(c.right(n), step.scale * cosR * st.GainR);
        }
    };
    const double startLevel = Amplitude(s.SweepStartLevel);
    const Step last = RunSequence(c.frames, Step{1, FullScale(startLevel)}, 0.08, frame);
    const double t = static_cast<double>(c.frames + 2);
    c.storeClosingPair(value(last, t, st.OffsetL, st.GainL), value(last, t, st.OffsetR, st.GainR));
}

// The right channel's phase against the left, in steps; the left keeps its channel-mode offset.
template <typename Context> void RenderPhaseSweep(Context& c)
{
    struct Step {
        double c;
        double offsetR;
    };
    const SignalSettings& s = c.settings;
    const SynthState& st = c.state;
    const double omega = SweepOmega(c, s.Freq[0]);
    const double divisor = s.SweepSteps - 1.0;
    const double stepLength = SweepStepLength(c);
    // With no frequency the offsets have no value and stay at zero.
    double PS = 0;
    double PE = 0;
    if (s.Freq[0] != 0) {
        PS = s.SweepStartPhase / 360 * c.sampleRate / s.Freq[0];
        PE = s.SweepEndPhase / 360 * c.sampleRate / s.Freq[0];
    }
    const double scaleL = FullScale(st.AmpL);
    const double scaleR = FullScale(st.AmpR);
    auto left = [&](double t) { return scaleL * std::cos((t + st.OffsetL) * omega) * st.GainL; };
    auto right = [&](double t, double offsetR) { return scaleR * std::cos((t + offsetR) * omega) * st.GainR; };
    auto frame = [&](Step& step, FrameIndex n, auto write) {
        if (step.c * stepLength < static_cast<double>(n)) {
            step.c = step.c + 1;
            if (divisor != 0)
                step.offsetR = PS + (PE - PS) * (step.c - 1) / divisor;
        }
        if constexpr (decltype(write)::value) {
            const double t = static_cast<double>(n + 1);
            StoreSample(c.left(n), left(t));
            StoreSample(c.right(n), right(t, step.offsetR));
        }
    };
    const Step last = RunSequence(c.frames, Step{1, PS}, 0.08, frame);
    const double t = static_cast<double>(c.frames + 2);
    c.storeClosingPair(left(t), right(t, last.offsetR));
}

} // namespace

template <typename Context> void RenderSweep(Context& c)
{
    const SignalSettings& s = c.settings;
    switch (static_cast<SweepParam>(s.SweepParam)) {
    case SweepParam::Level: RenderLevelSweep(c); return;
    case SweepParam::Phase: RenderPhaseSweep(c); return;
    case SweepParam::Frequency: break;
    default: return;
    }
    switch (static_cast<SweepKind>(s.SweepKind)) {
    case SweepKind::Continuous: RenderContinuousSweep(c); break;
    case SweepKind::Stepped: RenderSteppedSweep(c); break;
    case SweepKind::UserSteps: RenderUserSteps(c); break;
    case SweepKind::ThirdOctaveWarble: RenderOctaveWarbleSweep(c, 1.3, 0.165); break;
    case SweepKind::HalfOctaveWarble: RenderOctaveWarbleSweep(c, 1.5, 0.25); break;
    case SweepKind::Logarithmic: RenderLogSweep(c); break;
    case SweepKind::LogarithmicStepped: RenderLogSteps(c); break;
    default: break;
    }
}

KELVO_GENERATOR(RenderSweep);

} // namespace kelvo
