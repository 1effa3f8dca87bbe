#include "core/settings/signal_codes.h"

#include "core/settings/signal_settings.h"
#include "core/settings/text_rules.h"

#include <algorithm>
#include <array>

namespace kelvo {
namespace {

constexpr std::array kWaveforms{
    WaveformInfo{WaveformCode::Sine, "SINE", "Sine"},
    WaveformInfo{WaveformCode::Square, "SQUARE", "Square"},
    WaveformInfo{WaveformCode::Triangle, "TRIANGLE", "Triangle"},
    WaveformInfo{WaveformCode::Sawtooth, "SAWTOOTH", "Sawtooth"},
    WaveformInfo{WaveformCode::Noise, "NOISE", "Noise"},
    WaveformInfo{WaveformCode::Burst, "BURST", "Burst"},
    WaveformInfo{WaveformCode::Pulse, "PULSE", "Pulse"},
    WaveformInfo{WaveformCode::Dirac, "DIRAC", "Dirac"},
    WaveformInfo{WaveformCode::TwoTone, "TWO TONE", "Two Tone"},
    WaveformInfo{WaveformCode::Multitone, "MULTIBURST", "Multitone"},
    WaveformInfo{WaveformCode::Sweep, "SWEEP", "Sweep"},
    WaveformInfo{WaveformCode::Warble, "WARBLE", "Warble"},
    WaveformInfo{WaveformCode::AmplitudeModulation, "AMPLITUDE MODULATION", "Amplitude Modulation"},
    WaveformInfo{WaveformCode::FrequencyModulation, "FREQUENCY MODULATION", "Frequency Modulation"},
    WaveformInfo{WaveformCode::DoubleSideband, "DOUBLE SIDEBAND", "Double Sideband"},
    WaveformInfo{WaveformCode::User, "User Defined", "User Defined"},
};

constexpr std::array kChannelModes{
    ChannelModeInfo{ChannelMode::Left, "L"},
    ChannelModeInfo{ChannelMode::Right, "R"},
    ChannelModeInfo{ChannelMode::LeftPlusRight, "L+R"},
    ChannelModeInfo{ChannelMode::LeftMinusRight, "L-R"},
    ChannelModeInfo{ChannelMode::Quadrature, "Quadrature"},
    ChannelModeInfo{ChannelMode::UserDefined, "User Defined"},
};

constexpr std::array<std::int32_t, 8> kSampleRates{11025, 22050, 32000, 44100, 48000, 88000, 96000, 192000};
constexpr std::array kFreqSteps{0.1, 1.0, 10.0, 100.0, 1000.0};
constexpr std::array kLevelSteps{0.1, 1.0, 10.0};

std::string Hz(double value)
{
    return FormatNumber(value) + " Hz";
}

std::string Degrees(double value)
{
    return FormatNumber(value) + " deg";
}

// Steps through a cycle by exact comparison; a value outside it becomes `outside`.
template <typename T, std::size_t Size> T StepCycle(const std::array<T, Size>& cycle, T value, int direction, T outside)
{
    const auto found = std::find(cycle.begin(), cycle.end(), value);
    if (found == cycle.end())
        return outside;
    const auto size = static_cast<std::ptrdiff_t>(Size);
    const auto index = (found - cycle.begin() + direction + size) % size;
    return cycle[static_cast<std::size_t>(index)];
}

} // namespace

std::span<const WaveformInfo> Waveforms()
{
    return kWaveforms;
}

std::span<const ChannelModeInfo> ChannelModes()
{
    return kChannelModes;
}

const WaveformInfo& WaveformFor(std::int32_t code)
{
    if (code < 1 || code > static_cast<std::int32_t>(kWaveforms.size()))
        return kWaveforms[0];
    return kWaveforms[static_cast<std::size_t>(code - 1)];
}

const ChannelModeInfo& ChannelModeFor(std::int32_t code)
{
    if (code < 1 || code > static_cast<std::int32_t>(kChannelModes.size()))
        return kChannelModes[2];
    return kChannelModes[static_cast<std::size_t>(code - 1)];
}

std::optional<std::string> FrequencyDisplay(const SignalSettings& s)
{
    const double freq = s.Freq[0];
    switch (WaveformFor(s.Waveform[0]).code) {
    case WaveformCode::Noise:
        switch (static_cast<NoiseType>(s.NoiseType)) {
        case NoiseType::White: return "WH NOISE";
        case NoiseType::MidFrequency: return "MF NOISE";
        case NoiseType::LowFrequency: return "LF NOISE";
        case NoiseType::Pink: return "PK NOISE";
        default: return std::nullopt;
        }
    case WaveformCode::Pulse: return "PULSE";
    case WaveformCode::Dirac: return "DIRAC";
    case WaveformCode::TwoTone: return FormatNumber(s.ToneFreq1) + "/" + Hz(s.ToneFreq2);
    case WaveformCode::Multitone: return "MULTI";
    case WaveformCode::Sweep: return Is(s.SweepParam, SweepParam::Frequency) ? std::string("SWEEP") : FormatNumber(freq) + "Hz";
    case WaveformCode::AmplitudeModulation: return FormatNumber(s.AmCarrierFreq) + "/" + Hz(s.AmModFreq);
    case WaveformCode::FrequencyModulation: return FormatNumber(s.FmCarrierFreq) + "/" + Hz(s.FmModFreq);
    case WaveformCode::DoubleSideband: return FormatNumber(s.DsbCarrierFreq) + "/" + Hz(s.DsbModFreq);
    case WaveformCode::User: return "USER WAV";
    default: return Hz(freq);
    }
}

std::string LeftPhaseDisplay(const SignalSettings& s)
{
    return s.ChanMode[0] == static_cast<std::int32_t>(ChannelMode::UserDefined) ? Degrees(s.PhaseL[0]) : Degrees(0);
}

std::string RightPhaseDisplay(const SignalSettings& s)
{
    switch (s.ChanMode[0]) {
    case static_cast<std::int32_t>(ChannelMode::LeftMinusRight): return Degrees(180);
    case static_cast<std::int32_t>(ChannelMode::Quadrature): return Degrees(90);
    case static_cast<std::int32_t>(ChannelMode::UserDefined): return Degrees(s.PhaseR[0]);
    default: return Degrees(0);
    }
}

std::int32_t NextSampleRate(std::int32_t rate)
{
    return StepCycle(kSampleRates, rate, +1, 44100);
}

std::int32_t PreviousSampleRate(std::int32_t rate)
{
    return StepCycle(kSampleRates, rate, -1, 44100);
}

double NextFreqStep(double step)
{
    return StepCycle(kFreqSteps, step, +1, 100.0);
}

double PreviousFreqStep(double step)
{
    return StepCycle(kFreqSteps, step, -1, 100.0);
}

double NextLevelStep(double step)
{
    return StepCycle(kLevelSteps, step, +1, 1.0);
}

double PreviousLevelStep(double step)
{
    return StepCycle(kLevelSteps, step, -1, 1.0);
}

} // namespace kelvo
