#include "core/synth/unknown_codes.h"

#include "core/settings/signal_codes.h"
#include "core/settings/text_rules.h"

#include <initializer_list>
#include <string_view>

namespace kelvo {
namespace {

// A code that decides whether anything is rendered, with the codes the program knows.
struct Code {
    bool decides;
    bool choosesGains; // outside the table, it keeps the gains of the previous render
    std::string_view what;
    std::int32_t value;
    std::int32_t first;
    std::int32_t last;
};

} // namespace

std::string SilentRenderRefusal(const SignalSettings& s, const SynthState& state)
{
    const bool arb = s.ArbBuild == 1;
    const std::int32_t rate = arb ? s.ArbSampleRate : s.SampleRate[0];
    if (rate < 1)
        return "A sample rate of " + FormatNumber(rate) + " Hz cannot be rendered.";
    const bool silentGains = state.GainL == 0 && state.GainR == 0;
    const auto waveform = WaveformCode{s.Waveform[0]};
    const std::initializer_list<Code> codes = {
        {arb, true, "Channel choice of the arbitrary waveform", s.ArbChanMode, 0, 3},
        {!arb, false, "Waveform code", s.Waveform[0], 1, 16},
        {!arb, true, "Channel mode", s.ChanMode[0], 1, 6},
        {!arb && waveform == WaveformCode::Noise, false, "Noise type", s.NoiseType, 0, 3},
        {!arb && waveform == WaveformCode::Sweep, false, "Sweep parameter", s.SweepParam, 0, 2},
        {!arb && waveform == WaveformCode::Sweep && s.SweepParam == 0, false, "Sweep kind", s.SweepKind, 1, 7},
    };
    for (const Code& code : codes) {
        const bool unknown = code.value < code.first || code.value > code.last;
        if (code.decides && unknown && (!code.choosesGains || silentGains))
            return std::string(code.what) + " " + FormatNumber(code.value) + " is unknown (the program knows " +
                   FormatNumber(code.first) + " to " + FormatNumber(code.last) + "): there is no signal to render.";
    }
    return {};
}

} // namespace kelvo
