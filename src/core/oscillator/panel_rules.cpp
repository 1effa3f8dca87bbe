// The front panel's steppers, selectors and entry boxes.
#include "oscillator/oscillator.h"

#include "settings/signal_codes.h"
#include "settings/text_rules.h"
#include "synth/sample_buffer.h"

#include <algorithm>

namespace kelvo {
namespace {

constexpr double kMinFreq = 1;
constexpr double kMaxFreq = 96000;
constexpr double kMinLevel = -200;
constexpr double kMaxLevel = 0;
constexpr double kMinRate = 11025;
constexpr double kMaxRate = 192000;

double ClampedNumber(std::string_view text, double low, double high)
{
    return std::clamp(ParseLeadingNumber(text), low, high);
}

double PhaseFrom(std::string_view text)
{
    const double phase = ParseLeadingNumber(text);
    return phase < 0 || phase > 360 ? 0 : phase;
}

} // namespace

void Oscillator::lblFup_Click()
{
    SignalSettings& s = m_settings;
    // The frequency controls act only while both frequencies agree exactly.
    if (s.Freq[0] == s.FreqR[0]) {
        s.Freq[0] = s.Freq[0] + s.FreqStep;
        if (s.Freq[0] > kMaxFreq)
            s.Freq[0] = kMaxFreq;
        s.FreqR[0] = s.Freq[0];
    }
    Update();
}

void Oscillator::lblFdn_Click()
{
    SignalSettings& s = m_settings;
    if (s.Freq[0] == s.FreqR[0]) {
        s.Freq[0] = s.Freq[0] - s.FreqStep;
        if (s.Freq[0] < kMinFreq)
            s.Freq[0] = kMinFreq;
        s.FreqR[0] = s.Freq[0];
    }
    Update();
}

void Oscillator::lblVup_Click()
{
    SignalSettings& s = m_settings;
    if (s.AdjustL != 0)
        s.LevelL[0] = std::min(s.LevelL[0] + s.LevelStep, kMaxLevel);
    if (s.AdjustR != 0)
        s.LevelR[0] = std::min(s.LevelR[0] + s.LevelStep, kMaxLevel);
    Update();
}

void Oscillator::lblVdn_Click()
{
    SignalSettings& s = m_settings;
    if (s.AdjustL != 0)
        s.LevelL[0] = std::max(s.LevelL[0] - s.LevelStep, kMinLevel);
    if (s.AdjustR != 0)
        s.LevelR[0] = std::max(s.LevelR[0] - s.LevelStep, kMinLevel);
    Update();
}

void Oscillator::selectWaveform(std::int32_t code)
{
    m_settings.Waveform[0] = code;
    Update();
}

void Oscillator::selectMode(std::int32_t code)
{
    m_settings.ChanMode[0] = code;
    Update();
}

void Oscillator::lblSRup_Click()
{
    m_settings.SampleRate[0] = NextSampleRate(m_settings.SampleRate[0]);
    Update();
}

void Oscillator::lblSRdn_Click()
{
    m_settings.SampleRate[0] = PreviousSampleRate(m_settings.SampleRate[0]);
    Update();
}

void Oscillator::lblBits_Click()
{
    // 16 bits is the only depth the renderer produces.
    m_settings.Bits[0] = 16;
    Update();
}

void Oscillator::lblDFup_Click()
{
    m_settings.FreqStep = NextFreqStep(m_settings.FreqStep);
    showSteps();
    notify();
}

void Oscillator::lblDFdn_Click()
{
    m_settings.FreqStep = PreviousFreqStep(m_settings.FreqStep);
    showSteps();
    notify();
}

void Oscillator::lblDVup_Click()
{
    m_settings.LevelStep = NextLevelStep(m_settings.LevelStep);
    showSteps();
    notify();
}

void Oscillator::lblDVdn_Click()
{
    m_settings.LevelStep = PreviousLevelStep(m_settings.LevelStep);
    showSteps();
    notify();
}

void Oscillator::lblLadjSet_Click()
{
    m_settings.AdjustL = m_settings.AdjustL != 0 ? 0 : 1;
    showAdjust();
    notify();
}

void Oscillator::lblRadjSet_Click()
{
    m_settings.AdjustR = m_settings.AdjustR != 0 ? 0 : 1;
    showAdjust();
    notify();
}

std::optional<std::string> Oscillator::lblFreq_Click()
{
    const SignalSettings& s = m_settings;
    switch (s.Waveform[0]) {
    case static_cast<std::int32_t>(WaveformCode::Sine):
    case static_cast<std::int32_t>(WaveformCode::Square):
    case static_cast<std::int32_t>(WaveformCode::Triangle):
    case static_cast<std::int32_t>(WaveformCode::Sawtooth):
    case static_cast<std::int32_t>(WaveformCode::Burst):
        break;
    case static_cast<std::int32_t>(WaveformCode::Sweep):
        if (s.SweepParam > 0)
            break;
        return std::nullopt;
    default:
        return std::nullopt;
    }
    m_view.freq = FormatNumber(s.Freq[0]) + " Hz";
    notify();
    return m_view.freq;
}

std::optional<std::string> Oscillator::lblLdeg_Click() const
{
    if (m_view.mode != ChannelModeFor(static_cast<std::int32_t>(ChannelMode::UserDefined)).caption)
        return std::nullopt;
    return m_view.leftPhase;
}

std::optional<std::string> Oscillator::lblRdeg_Click() const
{
    if (m_view.mode != ChannelModeFor(static_cast<std::int32_t>(ChannelMode::UserDefined)).caption)
        return std::nullopt;
    return m_view.rightPhase;
}

void Oscillator::txtFreq_Enter(std::string_view text)
{
    SignalSettings& s = m_settings;
    if (s.Freq[0] == s.FreqR[0]) {
        s.Freq[0] = ClampedNumber(text, kMinFreq, kMaxFreq);
        s.FreqR[0] = s.Freq[0];
    }
    Update();
}

void Oscillator::txtSR_Enter(std::string_view text)
{
    // Clamped in double first, so the conversion to an integer always succeeds.
    const double rate = ClampedNumber(text, kMinRate, kMaxRate);
    m_settings.SampleRate[0] = static_cast<std::int32_t>(NearestInteger(rate).value_or(44100));
    Update();
}

void Oscillator::txtLdB_Enter(std::string_view text)
{
    m_settings.LevelL[0] = ClampedNumber(text, kMinLevel, kMaxLevel);
    Update();
}

void Oscillator::txtRdB_Enter(std::string_view text)
{
    m_settings.LevelR[0] = ClampedNumber(text, kMinLevel, kMaxLevel);
    Update();
}

void Oscillator::txtLdeg_Enter(std::string_view text)
{
    m_settings.PhaseL[0] = PhaseFrom(text);
    Update();
}

void Oscillator::txtRdeg_Enter(std::string_view text)
{
    m_settings.PhaseR[0] = PhaseFrom(text);
    Update();
}

} // namespace kelvo
