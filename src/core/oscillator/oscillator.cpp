#include "oscillator/oscillator.h"

#include "settings/memories.h"
#include "settings/settings_files.h"
#include "settings/signal_codes.h"
#include "settings/text_rules.h"

#include <algorithm>

namespace kelvo {

Oscillator::Oscillator(std::filesystem::path folder, AudioDevice& streamDevice, AudioDevice& legacyDevice,
                       EventLoop& loop, Messages& messages)
    : m_folder(std::move(folder))
    , m_messages(messages)
    , m_stream(m_reader, streamDevice, loop, messages)
    , m_legacy(legacyDevice, messages)
    , m_control({m_settings, m_engine, m_reader, m_stream, m_legacy, loop, messages, m_folder})
{
    m_control.setObserver(this);
}

Oscillator::~Oscillator()
{
    m_control.setObserver(nullptr);
}

void Oscillator::addObserver(PanelObserver* observer)
{
    if (std::find(m_observers.begin(), m_observers.end(), observer) == m_observers.end())
        m_observers.push_back(observer);
}

void Oscillator::removeObserver(PanelObserver* observer)
{
    std::erase(m_observers, observer);
}

void Oscillator::Start()
{
    m_settings = SignalSettings{};
    m_settings.MemIndex = 1;
    DefaultMems();
    if (const std::string error = m_engine.MakeStopFile(m_settings, m_folder); !error.empty())
        m_messages.show("The stop file could not be written: " + error);
    LoadSettings();
    m_view.memDisplay = "M1";
    m_view.memHighlight = 1;
    Update();
}

void Oscillator::Exit()
{
    SaveSettings();
    StopSig();
}

void Oscillator::Update()
{
    const SignalSettings& s = m_settings;
    const WaveformInfo& waveform = WaveformFor(s.Waveform[0]);
    m_view.waveform = std::string(waveform.name);
    m_view.waveformCode = static_cast<std::int32_t>(waveform.code);
    // Noise of an unknown type keeps whatever the display showed.
    if (auto freq = FrequencyDisplay(s))
        m_view.freq = std::move(*freq);

    const ChannelModeInfo& mode = ChannelModeFor(s.ChanMode[0]);
    m_view.mode = std::string(mode.caption);
    m_view.modeCode = static_cast<std::int32_t>(mode.code);
    m_view.leftPhase = LeftPhaseDisplay(s);
    m_view.rightPhase = RightPhaseDisplay(s);

    m_view.sampleRate = FormatNumber(s.SampleRate[0]);
    m_view.bits = FormatNumber(s.Bits[0]);
    m_view.levelL = FormatNumber(s.LevelL[0]) + " dB";
    m_view.levelR = FormatNumber(s.LevelR[0]) + " dB";
    showSteps();
    showAdjust();
    notify();

    if (s.Playing != 0)
        PlaySig();
}

void Oscillator::PlaySig()
{
    m_control.PlaySig();
}

void Oscillator::StopSig()
{
    m_control.StopSig();
}

void Oscillator::LoadMems()
{
    const std::int32_t memory = m_settings.MemIndex;
    CopySlot(m_settings, memory, 0);
    m_view.memDisplay = "M" + FormatNumber(memory);
    if (memory >= 1 && memory <= kMemoryCount)
        m_view.memHighlight = memory;
    Update();
    if (m_settings.Playing != 0)
        PlaySig();
}

void Oscillator::DefaultMems()
{
    kelvo::DefaultMems(m_settings);
}

void Oscillator::LoadSettings()
{
    m_damagedFiles = kelvo::LoadSettings(m_settings, m_folder);
    if (!m_damagedFiles.empty())
        m_messages.show(SettingsProblemsMessage(m_damagedFiles, m_folder));
}

void Oscillator::SaveSettings()
{
    if (const std::string error = kelvo::SaveSettings(m_settings, m_folder, &m_damagedFiles); !error.empty())
        m_messages.show("The settings could not be saved:\n" + error);
}

void Oscillator::lblSigOn_Click()
{
    Update();
    PlaySig();
}

std::string_view Oscillator::lblCfgSig_Click() const
{
    return WaveformFor(m_settings.Waveform[0]).setupDialog;
}

void Oscillator::lblMem_Click()
{
    CopySlot(m_settings, 0, m_settings.MemIndex);
    Update();
}

void Oscillator::lblMemLoad_Click(std::int32_t memory)
{
    m_settings.MemIndex = memory;
    LoadMems();
}

void Oscillator::lblMemUp_Click()
{
    m_settings.MemIndex = m_settings.MemIndex + 1 > kMemoryCount ? 1 : m_settings.MemIndex + 1;
    LoadMems();
}

void Oscillator::lblMemDn_Click()
{
    m_settings.MemIndex = m_settings.MemIndex - 1 < 1 ? kMemoryCount : m_settings.MemIndex - 1;
    LoadMems();
}

bool Oscillator::KeyDown(int keyCode)
{
    if (keyCode >= keys::F1 && keyCode <= keys::F10) {
        lblMemLoad_Click(keyCode - keys::F1 + 1);
        return true;
    }
    switch (keyCode) {
    case keys::Enter: lblSigOn_Click(); return true;
    case keys::Escape: StopSig(); return true;
    case keys::Up: lblVup_Click(); return true;
    case keys::Down: lblVdn_Click(); return true;
    case keys::Left: lblFdn_Click(); return true;
    case keys::Right: lblFup_Click(); return true;
    default: return false;
    }
}

void Oscillator::signalStateChanged(const SignalIndicators& indicators, bool playing)
{
    m_view.indicators = indicators;
    m_view.playing = playing;
    notify();
}

void Oscillator::showSteps()
{
    m_view.deltaF = FormatNumber(m_settings.FreqStep) + " Hz";
    m_view.deltaV = FormatNumber(m_settings.LevelStep) + " dB";
}

void Oscillator::showAdjust()
{
    m_view.leftAdjust = m_settings.AdjustL != 0 ? "L adj" : "L locked";
    m_view.rightAdjust = m_settings.AdjustR != 0 ? "R adj" : "R locked";
}

void Oscillator::notify()
{
    // A copy: an observer may remove itself while being told.
    const std::vector<PanelObserver*> observers = m_observers;
    for (PanelObserver* observer : observers)
        observer->panelChanged(m_view);
}

} // namespace kelvo
