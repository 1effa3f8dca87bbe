#include "core/oscillator/main_panel_rules.h"

#include "core/oscillator/oscillator.h"

#include "core/runtime/rounding.h"
#include "core/settings/field_registry.h"
#include "core/settings/level_units.h"
#include "core/settings/signal_codes.h"
#include "core/settings/text_rules.h"

#include <algorithm>
#include <cmath>

namespace kelvo {
namespace {

// The panel keeps to the ranges that the setups and the command line give these fields.
const FieldInfo& Field(std::string_view name)
{
    return *FindField(name);
}

double ClampedNumber(std::string_view text, const FieldInfo& field)
{
    return std::clamp(ParseLeadingNumber(text), field.min, field.max);
}

// A typed level in the shown unit or its own, clamped to the range; a unit the channel
// cannot use (volts without a calibration) leaves the level as it was.
double LevelFrom(std::string_view text, const SignalSettings& s, Channel channel, double current, const FieldInfo& field)
{
    const auto dB = LevelFromText(text, s, channel);
    if (!dB || std::isnan(*dB))
        return current;
    return std::clamp(*dB, field.min, field.max);
}

// A phase outside the range reads as 0 rather than its nearest end.
double PhaseFrom(std::string_view text, const FieldInfo& field)
{
    const double phase = ParseLeadingNumber(text);
    return phase < field.min || phase > field.max ? 0 : phase;
}

} // namespace

void MainPanelRules::frequencyUp()
{
    SignalSettings& s = m_oscillator.settings();
    // The frequency controls act only while both frequencies agree exactly.
    if (s.Freq[0] == s.FreqR[0]) {
        s.Freq[0] = s.Freq[0] + s.FreqStep;
        if (const double top = Field("Freq").max; s.Freq[0] > top)
            s.Freq[0] = top;
        s.FreqR[0] = s.Freq[0];
    }
    m_oscillator.Update();
}

void MainPanelRules::frequencyDown()
{
    SignalSettings& s = m_oscillator.settings();
    if (s.Freq[0] == s.FreqR[0]) {
        s.Freq[0] = s.Freq[0] - s.FreqStep;
        if (const double bottom = Field("Freq").min; s.Freq[0] < bottom)
            s.Freq[0] = bottom;
        s.FreqR[0] = s.Freq[0];
    }
    m_oscillator.Update();
}

void MainPanelRules::levelUp()
{
    SignalSettings& s = m_oscillator.settings();
    if (s.AdjustL != 0)
        s.LevelL[0] = std::min(s.LevelL[0] + s.LevelStep, Field("LevelL").max);
    if (s.AdjustR != 0)
        s.LevelR[0] = std::min(s.LevelR[0] + s.LevelStep, Field("LevelR").max);
    m_oscillator.Update();
}

void MainPanelRules::levelDown()
{
    SignalSettings& s = m_oscillator.settings();
    if (s.AdjustL != 0)
        s.LevelL[0] = std::max(s.LevelL[0] - s.LevelStep, Field("LevelL").min);
    if (s.AdjustR != 0)
        s.LevelR[0] = std::max(s.LevelR[0] - s.LevelStep, Field("LevelR").min);
    m_oscillator.Update();
}

void MainPanelRules::selectWaveform(std::int32_t code)
{
    m_oscillator.settings().Waveform[0] = code;
    m_oscillator.Update();
}

void MainPanelRules::selectMode(std::int32_t code)
{
    m_oscillator.settings().ChanMode[0] = code;
    m_oscillator.Update();
}

void MainPanelRules::sampleRateUp()
{
    m_oscillator.settings().SampleRate[0] = NextSampleRate(m_oscillator.settings().SampleRate[0]);
    m_oscillator.Update();
}

void MainPanelRules::sampleRateDown()
{
    m_oscillator.settings().SampleRate[0] = PreviousSampleRate(m_oscillator.settings().SampleRate[0]);
    m_oscillator.Update();
}

void MainPanelRules::bitsUp()
{
    std::int32_t& bits = m_oscillator.settings().Bits[0];
    bits = bits == 24 || bits == 32 ? 32 : 24;
    m_oscillator.Update();
}

void MainPanelRules::bitsDown()
{
    std::int32_t& bits = m_oscillator.settings().Bits[0];
    bits = bits == 32 ? 24 : 16;
    m_oscillator.Update();
}

void MainPanelRules::showSettings()
{
    ShowSteps(m_oscillator.editView(), m_oscillator.settings());
    ShowAdjust(m_oscillator.editView(), m_oscillator.settings());
    m_oscillator.notify();
}

void MainPanelRules::frequencyStepUp()
{
    m_oscillator.settings().FreqStep = NextFreqStep(m_oscillator.settings().FreqStep);
    showSettings();
}

void MainPanelRules::frequencyStepDown()
{
    m_oscillator.settings().FreqStep = PreviousFreqStep(m_oscillator.settings().FreqStep);
    showSettings();
}

void MainPanelRules::levelStepUp()
{
    m_oscillator.settings().LevelStep = NextLevelStep(m_oscillator.settings().LevelStep);
    showSettings();
}

void MainPanelRules::levelStepDown()
{
    m_oscillator.settings().LevelStep = PreviousLevelStep(m_oscillator.settings().LevelStep);
    showSettings();
}

void MainPanelRules::toggleLeftLevelLock()
{
    m_oscillator.settings().AdjustL = m_oscillator.settings().AdjustL != 0 ? 0 : 1;
    showSettings();
}

void MainPanelRules::toggleRightLevelLock()
{
    m_oscillator.settings().AdjustR = m_oscillator.settings().AdjustR != 0 ? 0 : 1;
    showSettings();
}

void MainPanelRules::switchOn()
{
    m_oscillator.Update();
    m_oscillator.startSignal();
}

bool MainPanelRules::frequencyEditable() const
{
    const SignalSettings& s = m_oscillator.settings();
    switch (s.Waveform[0]) {
    case static_cast<std::int32_t>(WaveformCode::Sine):
    case static_cast<std::int32_t>(WaveformCode::Square):
    case static_cast<std::int32_t>(WaveformCode::Triangle):
    case static_cast<std::int32_t>(WaveformCode::Sawtooth):
    case static_cast<std::int32_t>(WaveformCode::Burst): return true;
    case static_cast<std::int32_t>(WaveformCode::Sweep): return s.SweepParam > 0;
    default: return false;
    }
}

bool MainPanelRules::phasesEditable() const
{
    return m_oscillator.view().mode == ChannelModeFor(static_cast<std::int32_t>(ChannelMode::UserDefined)).caption;
}

std::optional<std::string> MainPanelRules::frequencyBoxText()
{
    if (!frequencyEditable())
        return std::nullopt;
    const SignalSettings& s = m_oscillator.settings();
    PanelView& view = m_oscillator.editView();
    view.freq = FormatNumber(s.Freq[0]) + " Hz";
    m_oscillator.notify();
    return view.freq;
}

std::optional<std::string> MainPanelRules::leftPhaseBoxText() const
{
    if (!phasesEditable())
        return std::nullopt;
    return m_oscillator.view().leftPhase;
}

std::optional<std::string> MainPanelRules::rightPhaseBoxText() const
{
    if (!phasesEditable())
        return std::nullopt;
    return m_oscillator.view().rightPhase;
}

void MainPanelRules::takeFrequency(std::string_view text)
{
    SignalSettings& s = m_oscillator.settings();
    if (s.Freq[0] == s.FreqR[0]) {
        s.Freq[0] = ClampedNumber(text, Field("Freq"));
        s.FreqR[0] = s.Freq[0];
    }
    m_oscillator.Update();
}

void MainPanelRules::takeSampleRate(std::string_view text)
{
    // Clamped in double first, so the conversion to an integer always succeeds.
    const double rate = ClampedNumber(text, Field("SampleRate"));
    m_oscillator.settings().SampleRate[0] = static_cast<std::int32_t>(NearestInteger(rate).value_or(44100));
    m_oscillator.Update();
}

void MainPanelRules::takeLeftLevel(std::string_view text)
{
    SignalSettings& s = m_oscillator.settings();
    s.LevelL[0] = LevelFrom(text, s, Channel::Left, s.LevelL[0], Field("LevelL"));
    m_oscillator.Update();
}

void MainPanelRules::takeRightLevel(std::string_view text)
{
    SignalSettings& s = m_oscillator.settings();
    s.LevelR[0] = LevelFrom(text, s, Channel::Right, s.LevelR[0], Field("LevelR"));
    m_oscillator.Update();
}

void MainPanelRules::takeLeftPhase(std::string_view text)
{
    m_oscillator.settings().PhaseL[0] = PhaseFrom(text, Field("PhaseL"));
    m_oscillator.Update();
}

void MainPanelRules::takeRightPhase(std::string_view text)
{
    m_oscillator.settings().PhaseR[0] = PhaseFrom(text, Field("PhaseR"));
    m_oscillator.Update();
}

} // namespace kelvo
