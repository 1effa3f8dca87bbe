#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace kelvo {

struct SignalSettings;

enum class WaveformCode : std::int32_t {
    Sine = 1,
    Square = 2,
    Triangle = 3,
    Sawtooth = 4,
    Noise = 5,
    Burst = 6,
    Pulse = 7,
    Dirac = 8,
    TwoTone = 9,
    Multitone = 10,
    Sweep = 11,
    Warble = 12,
    AmplitudeModulation = 13,
    FrequencyModulation = 14,
    DoubleSideband = 15,
    User = 16,
};

enum class ChannelMode : std::int32_t {
    Left = 1,
    Right = 2,
    LeftPlusRight = 3,
    LeftMinusRight = 4,
    Quadrature = 5,
    UserDefined = 6,
};

// The codes of the waveform parameters stored as numbers in the record and its files.
enum class NoiseType : std::int32_t { White = 0, MidFrequency = 1, LowFrequency = 2, Pink = 3 };
enum class SweepKind : std::int32_t {
    Continuous = 1,
    Stepped = 2,
    UserSteps = 3,
    ThirdOctaveWarble = 4,
    HalfOctaveWarble = 5,
    Logarithmic = 6,
    LogarithmicStepped = 7,
};
enum class SweepParam : std::int32_t { Frequency = 0, Level = 1, Phase = 2 };
enum class WarbleKind : std::int32_t { ThirdOctave = 0, HalfOctave = 1 };

// True when a stored number holds the code `code`.
template <typename Code> constexpr bool Is(std::int32_t stored, Code code)
{
    return stored == static_cast<std::int32_t>(code);
}

// A waveform's texts.
struct WaveformInfo {
    WaveformCode code;
    std::string_view caption; // shown in lblWaveform right after a click
    std::string_view name;    // shown by the panel's refresh
};

struct ChannelModeInfo {
    ChannelMode code;
    std::string_view caption;
};

std::span<const WaveformInfo> Waveforms();
std::span<const ChannelModeInfo> ChannelModes();

// The table entry of a code; a code outside the table reads as Sine (resp. L+R).
const WaveformInfo& WaveformFor(std::int32_t code);
const ChannelModeInfo& ChannelModeFor(std::int32_t code);

// The frequency display of the live signal; empty for noise of an unknown type,
// where the display keeps what it showed.
std::optional<std::string> FrequencyDisplay(const SignalSettings& settings);

// The left and right phase captions of the live signal ("0 deg", "180 deg", ...).
std::string LeftPhaseDisplay(const SignalSettings& settings);
std::string RightPhaseDisplay(const SignalSettings& settings);

// The sample-rate cycle of the steppers; a rate outside the cycle steps to 44100.
std::int32_t NextSampleRate(std::int32_t rate);
std::int32_t PreviousSampleRate(std::int32_t rate);

// Step-size cycles; a value outside the cycle steps to 100 Hz and 1 dB.
double NextFreqStep(double step);
double PreviousFreqStep(double step);
double NextLevelStep(double step);
double PreviousLevelStep(double step);

} // namespace kelvo
