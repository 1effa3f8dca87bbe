#include "core/synth/block_size.h"

#include "core/settings/signal_codes.h"
#include "core/settings/text_rules.h"
#include "core/synth/sample_buffer.h"
#include "core/synth/whole_cycles.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace kelvo {
namespace {

// The upper index of a block of `frames` frames, rounded to whole frames.
double WholeFrames(double frames)
{
    return 2 * std::nearbyint(frames);
}

// The waveform's own raw block size (before nearest), or nothing where it uses the default.
std::optional<double> OwnSize(const SignalSettings& s)
{
    const double rate = s.SampleRate[0];
    switch (WaveformCode{s.Waveform[0]}) {
    case WaveformCode::Burst: return rate * 4 * s.WaveBuildLength * (BurstOnMs(s) + s.BurstOffTime) / 2000;
    case WaveformCode::Pulse:
        return ((s.PulseOnTime + s.PulseOffTime) * (s.PulseCount - 1.0) + s.PulseRestTime) * rate * 4 / 1000;
    case WaveformCode::TwoTone:
    case WaveformCode::Warble:
    case WaveformCode::AmplitudeModulation:
    case WaveformCode::FrequencyModulation:
    case WaveformCode::DoubleSideband: return rate * 10;
    case WaveformCode::Sweep:
        if (Is(s.SweepParam, SweepParam::Level) || Is(s.SweepParam, SweepParam::Phase) ||
            (Is(s.SweepParam, SweepParam::Frequency) && Is(s.SweepKind, SweepKind::Stepped)))
            return static_cast<double>(s.SweepStepTime) * s.SweepSteps * rate * 4 / 2;
        if (!Is(s.SweepParam, SweepParam::Frequency))
            return std::nullopt;
        if (Is(s.SweepKind, SweepKind::UserSteps))
            return rate * 2 * UserStepTotal(s, s.UserStepCount) - 1;
        // The logarithmic and the continuous sweeps hold whole frames, with the trailing half frame.
        if (Is(s.SweepKind, SweepKind::LogarithmicStepped))
            return WholeFrames(static_cast<double>(s.SweepStepTime) * s.SweepSteps * rate);
        if ((Is(s.SweepKind, SweepKind::Continuous) || Is(s.SweepKind, SweepKind::Logarithmic)) && s.SweepSeconds > 0)
            return WholeFrames(s.SweepSeconds * rate);
        return std::nullopt;
    default: return std::nullopt;
    }
}

std::string TooLong(double elements, double rate)
{
    std::string text = "This signal is too long to render: ";
    if (rate > 0)
        text += FormatNumber(elements / 2 / rate) + " seconds of sound at " + FormatNumber(rate) +
                " Hz are more than a WAV file can hold.";
    else
        text += FormatNumber(elements) + " samples are more than a WAV file can hold.";
    return text + " Shorten the signal or lower the sample rate.";
}

BlockPlan Plan(double raw, double rate, const std::string& invalid)
{
    const auto N = NearestInteger(raw);
    if (!N || *N < 0)
        return {0, invalid};
    if (*N + 1 > kMaxBlockElements)
        return {0, TooLong(raw + 1, rate)};
    return {*N, {}};
}

std::string InvalidLength(double rate, double length)
{
    return "This signal cannot be rendered: a sample rate of " + FormatNumber(rate) + " Hz and a rendered length of " +
           FormatNumber(length) + " seconds give no valid block.";
}

// The block of the live signal: the default length, or the waveform's own.
BlockPlan PlanOwnBlock(const SignalSettings& s)
{
    const double rate = s.SampleRate[0];
    const BlockPlan standard = Plan(rate * s.WaveBuildLength * 4, rate, InvalidLength(rate, s.WaveBuildLength));
    if (standard.refused())
        return standard;
    const auto own = OwnSize(s);
    if (!own)
        return standard;
    const auto N = NearestInteger(*own);
    if (!N || *N < 0)
        return standard;
    return Plan(*own, rate, {});
}

// The block of `plan` shortened to a whole number of cycles of the signal's tones, where
// the option asks for it. The trailing half frame, if any, stays.
BlockPlan WithWholeCycles(const SignalSettings& s, BlockPlan plan)
{
    if (s.WholeCycles != 1 || plan.refused())
        return plan;
    const std::int64_t frames = (plan.N + 1) / 2;
    const std::int64_t loop = WholeCycleFrames(frames, s.SampleRate[0], LoopTones(s));
    plan.N = 2 * loop - (plan.N % 2);
    return plan;
}

} // namespace

double UserStepTotal(const SignalSettings& s, std::int64_t count)
{
    double total = 0;
    for (std::int64_t k = 1; k <= std::min<std::int64_t>(count, kListMax); ++k)
        total += s.UserStepPeriod[static_cast<std::size_t>(k)];
    return total;
}

double BurstOnMs(const SignalSettings& s)
{
    return s.BurstWindow == 1 ? 1000 * s.BurstCycles / s.Freq[0] : s.BurstOnTime;
}

BlockPlan PlanBlock(const SignalSettings& s)
{
    return WithWholeCycles(s, PlanOwnBlock(s));
}

BlockPlan PlanArbBlock(const SignalSettings& s)
{
    const double rate = s.ArbSampleRate;
    return Plan(rate * s.WaveBuildLength * 4, rate, InvalidLength(rate, s.WaveBuildLength));
}

} // namespace kelvo
