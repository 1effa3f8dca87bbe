#include "core/synth/block_levels.h"

#include "core/settings/level_units.h"
#include "core/settings/signal_codes.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>

namespace kelvo {
namespace {

constexpr double kFullScale = 32768;

struct Sums {
    double peak = 0;
    double squares = 0;
};

// A level on the file's scale: a fine sample written to a PCM file is clamped to it.
template <typename T> double Written(T value, bool floatFile, bool& clipped)
{
    const auto v = static_cast<double>(value);
    if (floatFile || (v <= 32767 && v >= -32768))
        return v;
    clipped = true;
    return std::clamp(v, -32768.0, 32767.0);
}

std::string Decibels(double value)
{
    if (!(value > 0))
        return "-inf";
    char text[48];
    std::snprintf(text, sizeof text, "%.1f", 20 * std::log10(value));
    return text;
}

std::string VoltText(double volts)
{
    const char* prefix = volts < 1 ? "m" : "";
    char text[48];
    std::snprintf(text, sizeof text, "%.4g %sV", volts < 1 ? volts * 1000 : volts, prefix);
    return text;
}

// One channel's part of the line, in its shown unit: "L peak -20.1, RMS -23.1 dBFS".
std::string ChannelText(const char* name, const ChannelLevels& c, const SignalSettings& s, Channel channel)
{
    // A sample of the 0 dB sine's peak is that sine's rms volts times sqrt(2).
    const double voltsPerFullScale = kFullScale / (0.99 * 32767) * std::numbers::sqrt2 * CalibrationVolts(s, channel);
    const char* unit = "dBFS";
    double scale = 1;
    switch (ShownUnit(s, channel)) {
    case LevelUnit::Db:
    case LevelUnit::Dbfs: break;
    case LevelUnit::Dbu:
        unit = "dBu";
        scale = voltsPerFullScale / 0.7745966692414834;
        break;
    case LevelUnit::Dbv:
        unit = "dBV";
        scale = voltsPerFullScale;
        break;
    case LevelUnit::Vrms:
    case LevelUnit::Vpp:
        return std::string(name) + " peak " + VoltText(c.peak * voltsPerFullScale) + ", RMS " +
               VoltText(c.rms * voltsPerFullScale);
    }
    return std::string(name) + " peak " + Decibels(c.peak * scale) + ", RMS " + Decibels(c.rms * scale) + " " + unit;
}

} // namespace

template <typename T> BlockLevels MeasureBlock(const BasicSampleBuffer<T>& buffer, FrameIndex frames, bool floatFile)
{
    BlockLevels levels;
    Sums left, right;
    const auto count = std::min<FrameIndex>(frames, static_cast<FrameIndex>(buffer.size() / 2));
    for (FrameIndex n = 0; n < count; ++n) {
        const double l = Written(buffer[static_cast<std::size_t>(2 * n)], floatFile, levels.clipped);
        const double r = Written(buffer[static_cast<std::size_t>(2 * n + 1)], floatFile, levels.clipped);
        left.peak = std::max(left.peak, std::abs(l));
        right.peak = std::max(right.peak, std::abs(r));
        left.squares += l * l;
        right.squares += r * r;
    }
    if (count > 0) {
        const auto n = static_cast<double>(count);
        levels.left = {left.peak / kFullScale, std::sqrt(left.squares / n) / kFullScale};
        levels.right = {right.peak / kFullScale, std::sqrt(right.squares / n) / kFullScale};
    }
    return levels;
}

template BlockLevels MeasureBlock(const SampleBuffer&, FrameIndex, bool);
template BlockLevels MeasureBlock(const FineSampleBuffer&, FrameIndex, bool);

bool FollowsRmsReference(const SignalSettings& s)
{
    if (s.ArbBuild == 1)
        return true;
    switch (WaveformCode{s.Waveform[0]}) {
    case WaveformCode::Square:
    case WaveformCode::Triangle:
    case WaveformCode::Sawtooth:
    case WaveformCode::Noise:
    case WaveformCode::TwoTone:
    case WaveformCode::Multitone:
    case WaveformCode::AmplitudeModulation:
    case WaveformCode::FrequencyModulation:
    case WaveformCode::DoubleSideband: return true;
    default: return false;
    }
}

void MatchSineRms(FineSampleBuffer& buffer, FrameIndex frames, const SynthState& st)
{
    const auto count = std::min<FrameIndex>(frames, static_cast<FrameIndex>(buffer.size() / 2));
    if (count <= 0)
        return;
    const double targets[] = {st.AmpL * 0.99 * 32767 * std::abs(st.GainL) / std::numbers::sqrt2,
                              st.AmpR * 0.99 * 32767 * std::abs(st.GainR) / std::numbers::sqrt2};
    for (std::size_t channel = 0; channel < 2; ++channel) {
        double squares = 0;
        for (FrameIndex n = 0; n < count; ++n) {
            const double v = buffer[static_cast<std::size_t>(2 * n) + channel];
            squares += v * v;
        }
        const double rms = std::sqrt(squares / static_cast<double>(count));
        if (!(rms > 0) || !std::isfinite(targets[channel]))
            continue;
        const double factor = targets[channel] / rms;
        for (std::size_t i = channel; i < buffer.size(); i += 2)
            buffer[i] = static_cast<FineSample>(buffer[i] * factor);
    }
}

std::string LevelsText(const BlockLevels& levels, const SignalSettings& s, std::string_view separator)
{
    std::string text = ChannelText("L", levels.left, s, Channel::Left);
    text += separator;
    text += ChannelText("R", levels.right, s, Channel::Right);
    if (levels.clipped) {
        text += separator;
        text += "clipped";
    }
    return text;
}

} // namespace kelvo
