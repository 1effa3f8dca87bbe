#include "synth/generators.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <thread>
#include <type_traits>
#include <vector>

namespace kelvo {
namespace {

using Wet = std::true_type;
using Dry = std::false_type;

// Runs a frame loop whose frames share a running state (a frequency, a step, a position).
// `frame(state, n, write)` is one whole pass of frame n: it advances the state and, when
// `decltype(write)::value`, stores the samples. The state is cheap to advance compared with
// the samples, so each core but the first advances a copy of the initial state "dry" through
// the frames before its own range and then renders that range: every frame sees exactly the
// state the plain sequential loop gives it. `dryShare` is the cost of a dry frame as a share
// of a rendered one; it only balances the ranges. Returns the state after the last frame.
template <typename State, typename Frame>
State RunSequence(FrameIndex frames, const State& initial, double dryShare, Frame&& frame)
{
    constexpr FrameIndex kMinFramesPerThread = 32768;
    constexpr int kMaxParts = 64;
    const auto cores = static_cast<FrameIndex>(std::max(1u, std::thread::hardware_concurrency()));
    const FrameIndex wanted =
        std::clamp<FrameIndex>(frames / kMinFramesPerThread, 1, std::min<FrameIndex>(cores, kMaxParts));

    // Range j takes the length that makes every core finish together: it starts after a dry
    // run over all earlier ranges, so each range is shorter than the one before.
    double weights[kMaxParts];
    double total = 0;
    FrameIndex parts = 0;
    for (; parts < wanted; ++parts) {
        const double weight = 1 - dryShare * total;
        if (weight <= 0.05)
            break;
        weights[parts] = weight;
        total += weight;
    }
    FrameIndex bounds[kMaxParts + 1] = {0};
    double sum = 0;
    for (FrameIndex j = 0; j < parts; ++j) {
        sum += weights[j];
        bounds[j + 1] =
            j + 1 == parts ? frames : static_cast<FrameIndex>(static_cast<double>(frames) * (sum / total));
    }

    auto run = [&frame, &initial](FrameIndex begin, FrameIndex end) {
        State state = initial;
        for (FrameIndex n = 0; n < begin; ++n)
            frame(state, n, Dry{});
        for (FrameIndex n = begin; n < end; ++n)
            frame(state, n, Wet{});
        return state;
    };
    std::vector<std::jthread> helpers;
    helpers.reserve(static_cast<std::size_t>(parts - 1));
    for (FrameIndex j = 0; j + 1 < parts; ++j)
        helpers.emplace_back([&run, &bounds, j] { run(bounds[j], bounds[j + 1]); });
    return run(bounds[parts - 1], bounds[parts]);
}

// The sine sample of a sweep: 32767 times the channel's amplitude and gain.
struct SineScales {
    double left;
    double right;
};

SineScales SweepScales(const SynthState& st)
{
    return {st.AmpL * st.GainL * 32767, st.AmpR * st.GainR * 32767};
}

// Stores the sine sample of frame n at time index t with radians per sample `omega`, each
// channel with its own offset.
void StoreSinePair(RenderContext& c, const SineScales& scale, FrameIndex n, double t, double omega)
{
    const SynthState& st = c.state;
    const double sinL = std::sin((t + st.OffsetL) * omega);
    const double sinR = st.OffsetL == st.OffsetR ? sinL : std::sin((t + st.OffsetR) * omega);
    StoreSample(c.left(n), scale.left * sinL);
    StoreSample(c.right(n), scale.right * sinR);
}

double SweepOmega(const RenderContext& c, double freq)
{
    return 2 * c.Pi * freq / c.sampleRate;
}

// The user step counts are 32-bit: a value outside that range is not stored.
bool FitsInt32(std::int64_t value)
{
    using Limits = std::numeric_limits<std::int32_t>;
    return value >= Limits::min() && value <= Limits::max();
}

// Frames per step of the stepped sweeps.
double SweepStepLength(const RenderContext& c)
{
    const double steps = c.settings.SweepSteps;
    return steps > 1 ? static_cast<double>(c.N) / (2 * steps - 1) : 1;
}

void RenderContinuousSweep(RenderContext& c)
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
void RenderSteppedSweep(RenderContext& c)
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
void RenderUserSteps(RenderContext& c)
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

// sin(W / 1000) of every frame of a warble, W climbing by 0.146 x rate and falling back to
// exactly -3140 once it reaches 3140. After a fall W retraces its values from the start, so
// one period of the sines is computed up front and reused; without a fall within the table
// the frames past it compute their own.
class WarbleTable {
public:
    WarbleTable(double rate, FrameIndex frames)
        : m_step(0.146 * rate)
    {
        constexpr FrameIndex kMaxEntries = FrameIndex{1} << 20;
        const FrameIndex limit = std::min(frames, kMaxEntries);
        double W = -3140;
        for (FrameIndex n = 0; n < limit && m_period == 0; ++n) {
            W = advance(W);
            m_values.push_back(W);
            if (W == -3140)
                m_period = n + 1;
        }
        ForEachFrameRange(static_cast<FrameIndex>(m_values.size()), [this](FrameIndex begin, FrameIndex end) {
            for (auto j = static_cast<std::size_t>(begin); j < static_cast<std::size_t>(end); ++j)
                m_values[j] = std::sin(m_values[j] / 1000);
        });
    }

    // The position W of a frame from that of the frame before.
    double advance(double W) const
    {
        W = W + m_step;
        if (W >= 3140)
            W = -3140;
        return W;
    }

    // sin(W / 1000) of frame n, whose position is W and whose table slot is `slot`.
    double value(FrameIndex slot, double W) const
    {
        return slot < static_cast<FrameIndex>(m_values.size()) ? m_values[static_cast<std::size_t>(slot)]
                                                               : std::sin(W / 1000);
    }

    // The table slot of the frame after one in `slot`.
    FrameIndex next(FrameIndex slot) const { return slot + 1 == m_period ? 0 : slot + 1; }

private:
    double m_step;
    FrameIndex m_period = 0; // frames of one period, 0 while no fall was seen
    std::vector<double> m_values;
};

// The frequency recurrence shared by the warble tone and the octave warble sweeps: each frame
// moves W, renders the sine sample at time index n + timeShift, then moves omega by its
// wobble and, for a sweep, by the sweep increment.
void RenderWarbleRecurrence(RenderContext& c, double omega, double q, double rate, double timeShift,
                            bool sweeping, double increment)
{
    struct Position {
        double W;
        FrameIndex slot;
        double omega;
    };
    const WarbleTable table(rate, c.frames);
    const SineScales scale = SweepScales(c.state);
    auto frame = [&](Position& p, FrameIndex n, auto write) {
        p.W = table.advance(p.W);
        const double wobble = table.value(p.slot, p.W);
        p.slot = table.next(p.slot);
        if constexpr (decltype(write)::value)
            StoreSinePair(c, scale, n, static_cast<double>(n) + timeShift, p.omega);
        p.omega = p.omega + p.omega / static_cast<double>(n + 1) * q * wobble;
        if (sweeping)
            p.omega = p.omega + increment;
    };
    RunSequence(c.frames, Position{-3140, 0, omega}, 0.4, frame);
}

void RenderOctaveWarbleSweep(RenderContext& c, double a, double q)
{
    const double startOmega = SweepOmega(c, c.settings.SweepStartFreq);
    const double endOmega = SweepOmega(c, c.settings.SweepEndFreq);
    const double increment = (endOmega - startOmega) / static_cast<double>(c.N);
    RenderWarbleRecurrence(c, a * startOmega, q, c.settings.SweepWarbleRate, 0, true, increment);
}

// Level steps evenly spaced in decibels, both channels at the swept level.
void RenderLevelSweep(RenderContext& c)
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
                step.scale = std::pow(10.0, dB / 20) * 0.99 * 32767;
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
    const double startLevel = std::pow(10.0, s.SweepStartLevel / 20);
    const Step last = RunSequence(c.frames, Step{1, startLevel * 0.99 * 32767}, 0.08, frame);
    const double t = static_cast<double>(c.frames + 2);
    c.storeClosingPair(value(last, t, st.OffsetL, st.GainL), value(last, t, st.OffsetR, st.GainR));
}

// The right channel's phase against the left, in steps; the left keeps its channel-mode offset.
void RenderPhaseSweep(RenderContext& c)
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
    const double scaleL = st.AmpL * 0.99 * 32767;
    const double scaleR = st.AmpR * 0.99 * 32767;
    auto left = [&](double t) { return scaleL * std::cos((t + st.OffsetL) * omega) * st.GainL; };
    auto right = [&](double t, double offsetR) {
        return scaleR * std::cos((t + offsetR) * omega) * st.GainR;
    };
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

void RenderSweep(RenderContext& c)
{
    const SignalSettings& s = c.settings;
    if (s.SweepParam == 1) {
        RenderLevelSweep(c);
        return;
    }
    if (s.SweepParam == 2) {
        RenderPhaseSweep(c);
        return;
    }
    if (s.SweepParam != 0)
        return;
    switch (s.SweepKind) {
    case 1: RenderContinuousSweep(c); break;
    case 2: RenderSteppedSweep(c); break;
    case 3: RenderUserSteps(c); break;
    case 4: RenderOctaveWarbleSweep(c, 1.3, 0.165); break;
    case 5: RenderOctaveWarbleSweep(c, 1.5, 0.25); break;
    default: break;
    }
}

// The warble tone always takes the 1/3-octave constants; WarbleKind only labels the setup.
void RenderWarble(RenderContext& c)
{
    const double omega = 1.3 * 2 * c.Pi * c.settings.Freq[0] / c.sampleRate;
    RenderWarbleRecurrence(c, omega, 0.165, c.settings.WarbleRate, 1, false, 0);
}

} // namespace kelvo
