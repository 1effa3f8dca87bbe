#include "core/settings/memory_table.h"

#include "core/settings/text_rules.h"

#include <array>
#include <string_view>

namespace kelvo {
namespace {

constexpr std::size_t kChannelWidth = 12;
constexpr std::size_t kWaveformWidth = 20;

// Indexed by channel mode 0..6; 0 is an old spelling of L+R.
constexpr std::array<std::string_view, 7> kChannelNames{
    "L+R", "L", "R", "L+R", "L-R", "Quadrature", "User Defined",
};

// Indexed by waveform code 1..16.
constexpr std::array<std::string_view, 17> kWaveformNames{
    "",
    "Sine",
    "Square",
    "Triangle",
    "Sawtooth",
    "Noise",
    "Burst",
    "Pulse",
    "Dirac",
    "Two Tone",
    "Multitone",
    "Sweep",
    "Warble",
    "Amplitude Modulation",
    "Frequency Modulation",
    "Double Sideband",
    "User",
};

template <std::size_t Size>
std::string Column(const std::array<std::string_view, Size>& names, std::int32_t code, std::int32_t first, std::size_t width)
{
    std::string text = code >= first && code < static_cast<std::int32_t>(Size)
                           ? std::string(names[static_cast<std::size_t>(code)])
                           : FormatNumber(code);
    if (text.size() < width)
        text.append(width - text.size(), ' ');
    return text;
}

std::string MemoryTableChannel(std::int32_t code)
{
    return Column(kChannelNames, code, 0, kChannelWidth);
}

std::string MemoryTableWaveform(std::int32_t code)
{
    return Column(kWaveformNames, code, 1, kWaveformWidth);
}

} // namespace

std::string MemoryTableText(const SignalSettings& s)
{
    std::string text = "  Mem   Freq  S Rate  Mode          Waveform              Bits   Lvol  Rvol\r\n\r\n";
    for (int m = 1; m <= kMemoryCount; ++m) {
        // The memory numbers end in the same column.
        text += m < 10 ? "   " : "  ";
        text += FormatNumber(std::int32_t{m}) + "    " + FormatNumber(s.Freq[m]) + "  " + FormatNumber(s.SampleRate[m]) + "   " +
                MemoryTableChannel(s.ChanMode[m]) + "   " + MemoryTableWaveform(s.Waveform[m]) + "   " +
                SampleFormatText(s.Bits[m]) + "   " + FormatNumber(s.LevelL[m]) + "   " + FormatNumber(s.LevelR[m]) + "\r\n";
    }
    return text;
}

} // namespace kelvo
