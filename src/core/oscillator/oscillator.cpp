#include "core/oscillator/oscillator.h"

#include "core/oscillator/start_up.h"
#include "core/settings/level_units.h"
#include "core/settings/memories.h"
#include "core/settings/settings_files.h"
#include "core/settings/setup_file.h"
#include "core/settings/signal_codes.h"
#include "core/settings/text_rules.h"

#include <algorithm>

namespace kelvo {

Oscillator::Oscillator(std::filesystem::path folder, AudioDevice& streamDevice, AudioDevice& legacyDevice, EventLoop& loop,
                       Messages& messages)
    : m_messages(messages)
    , m_chain(m_settings, std::move(folder), streamDevice, legacyDevice, loop, messages)
    , m_player(m_settings, m_chain.control(), loop)
{
    m_chain.control().setObserver(this);
    m_chain.control().setUserPlayer([this] { playUserFile(); });
}

Oscillator::~Oscillator()
{
    m_chain.control().setUserPlayer(nullptr);
    m_chain.control().setObserver(nullptr);
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
    m_damagedFiles = StartUp(m_settings, folder(), m_messages).damagedFiles;
    m_view.memDisplay = "M1";
    m_view.memHighlight = 1;
    Update();
}

void Oscillator::Exit()
{
    SaveSettings();
    stopSignal();
}

void Oscillator::ResetToDefaults()
{
    DeleteSettingsFiles(folder());
    stopSignal();
}

void Oscillator::Update()
{
    // Whatever changed the levels, neither may pass the limit.
    m_view.levelNote = ApplyLevelLimit(m_settings);
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
    m_view.bits = SampleFormatText(s.Bits[0]);
    m_view.levelL = LevelText(s.LevelL[0], s, Channel::Left);
    m_view.levelR = LevelText(s.LevelR[0], s, Channel::Right);
    ShowSteps(m_view, s);
    ShowAdjust(m_view, s);
    notify();

    if (s.Playing != 0)
        m_chain.control().change();
}

void Oscillator::startSignal()
{
    m_chain.control().start();
}

void Oscillator::stopSignal()
{
    m_chain.control().stop();
}

void Oscillator::recallSelectedMemory()
{
    const std::int32_t memory = m_settings.MemIndex;
    CopySlot(m_settings, memory, 0);
    m_view.memDisplay = "M" + FormatNumber(memory);
    if (memory >= 1 && memory <= kMemoryCount)
        m_view.memHighlight = memory;
    Update();
    // Update has restarted a playing signal already; recalling restarts it once more, as the
    // panel always has: the second start replaces the first within its delay.
    if (m_settings.Playing != 0)
        m_chain.control().change();
}

void Oscillator::showLevels()
{
    m_chain.control().settle();
    m_view.levelL = LevelText(m_settings.LevelL[0], m_settings, Channel::Left);
    m_view.levelR = LevelText(m_settings.LevelR[0], m_settings, Channel::Right);
    if (!m_view.measured.empty())
        m_view.measured = LevelsText(m_chain.files().engine().levels(), m_settings, "\n");
    notify();
}

double Oscillator::playCalibrationTone()
{
    // 20 dB below full level spares the ears and the tweeters while a meter still reads it well.
    constexpr double kToneLevel = -20;
    SignalSettings& s = m_settings;
    s.Waveform[0] = static_cast<std::int32_t>(WaveformCode::Sine);
    s.ChanMode[0] = static_cast<std::int32_t>(ChannelMode::LeftPlusRight);
    s.Freq[0] = s.FreqR[0] = 1000;
    s.LevelL[0] = s.LevelR[0] = kToneLevel;
    s.Playing = 1;
    Update();
    return s.LevelL[0];
}

void Oscillator::DefaultMems()
{
    kelvo::DefaultMems(m_settings);
}

void Oscillator::LoadSettings()
{
    m_damagedFiles = kelvo::LoadSettings(m_settings, folder());
    if (!m_damagedFiles.empty())
        m_messages.show(SettingsProblemsMessage(m_damagedFiles, folder()));
}

void Oscillator::SaveSettings()
{
    if (const std::string error = kelvo::SaveSettings(m_settings, folder(), &m_damagedFiles); !error.empty())
        m_messages.show("The settings could not be saved:\n" + error);
}

bool Oscillator::renderSignal()
{
    m_chain.control().settle();
    const bool built = m_chain.files().renderToFile(m_settings, folder(), m_messages);
    m_view.sampleRate = FormatNumber(m_settings.SampleRate[0]);
    notify();
    return built;
}

std::string Oscillator::SaveRenderedSignal(const std::filesystem::path& target)
{
    m_chain.control().settle();
    return m_chain.files().copyRendered(folder(), target);
}

void Oscillator::playUserFile()
{
    m_player.playUserFile();
}

void Oscillator::stopUserFile()
{
    stopSignal();
}

void Oscillator::signalStateChanged(const SignalState& state)
{
    if (!state.on() || state.source != SignalSource::UserFile)
        m_player.outputEnded();
    m_view.signal = state;
    // The block a start rendered is measured once it plays.
    m_view.measured.clear();
    if (state.phase == SignalPhase::Playing && state.source != SignalSource::UserFile) {
        // A change may be rendering with the engine that measured the block.
        m_chain.control().settle();
        m_view.measured = LevelsText(m_chain.files().engine().levels(), m_settings, "\n");
    }
    notify();
}

void Oscillator::notify()
{
    // A copy: an observer may remove itself while being told.
    const std::vector<PanelObserver*> observers = m_observers;
    for (PanelObserver* observer : observers)
        observer->panelChanged(m_view);
}

} // namespace kelvo
