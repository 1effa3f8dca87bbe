#pragma once

#include "oscillator/panel_view.h"
#include "playback/audio_device.h"
#include "playback/legacy_player.h"
#include "playback/signal_control.h"
#include "playback/stream_engine.h"
#include "playback/wave_reader.h"
#include "runtime/event_loop.h"
#include "runtime/messages.h"
#include "runtime/random_source.h"
#include "settings/settings_files.h"
#include "settings/signal_settings.h"
#include "synth/wave_engine.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelvo {

// Key codes of the panels' keyboard shortcuts.
namespace keys {
inline constexpr int Enter = 13;
inline constexpr int Escape = 27;
inline constexpr int Left = 37;
inline constexpr int Up = 38;
inline constexpr int Right = 39;
inline constexpr int Down = 40;
inline constexpr int F1 = 112;
inline constexpr int F10 = 121;
} // namespace keys

// The application object: owns the settings record, the synthesis engine and the
// playback, and carries every rule of the front panel, the memories and the remote panel.
// Windows call its operations and learn what to show through PanelObserver.
// UI thread only. The devices, the loop and the message sink outlive it.
class Oscillator final : private SignalObserver {
public:
    Oscillator(std::filesystem::path folder, AudioDevice& streamDevice, AudioDevice& legacyDevice,
               EventLoop& loop, Messages& messages);
    ~Oscillator() override;
    Oscillator(const Oscillator&) = delete;
    Oscillator& operator=(const Oscillator&) = delete;

    void addObserver(PanelObserver* observer);
    void removeObserver(PanelObserver* observer);

    // Start values, DefaultMems, stop.wav, LoadSettings, Update; nothing plays.
    void Start();
    // Leaving through lblExit: SaveSettings (a failure is shown once), then the output stops.
    // Closing the windows is up to the caller.
    void Exit();

    // The public operations of the main panel.
    void Update();
    void PlaySig();
    void StopSig();
    void LoadMems();
    void DefaultMems();
    void LoadSettings();
    void SaveSettings();
    void lblFup_Click();
    void lblFdn_Click();
    void lblVup_Click();
    void lblVdn_Click();

    // Selectors and steppers of the main panel.
    void selectWaveform(std::int32_t code);
    void selectMode(std::int32_t code);
    void lblSRup_Click();
    void lblSRdn_Click();
    void lblBits_Click();
    void lblDFup_Click();
    void lblDFdn_Click();
    void lblDVup_Click();
    void lblDVdn_Click();
    void lblLadjSet_Click();
    void lblRadjSet_Click();
    void lblSigOn_Click();
    // The objectName of the current waveform's setup window; empty when it has none.
    std::string_view lblCfgSig_Click() const;

    // Entry boxes. An open operation returns the text the box starts with, or nothing
    // when the box stays closed; an Enter operation takes the box's text.
    std::optional<std::string> lblFreq_Click();
    std::optional<std::string> lblLdeg_Click() const;
    std::optional<std::string> lblRdeg_Click() const;
    void txtFreq_Enter(std::string_view text);
    void txtSR_Enter(std::string_view text);
    void txtLdB_Enter(std::string_view text);
    void txtRdB_Enter(std::string_view text);
    void txtLdeg_Enter(std::string_view text);
    void txtRdeg_Enter(std::string_view text);

    // Memories: store into MemIndex, recall k, and the remote panel's up and down.
    void lblMem_Click();
    void lblMemLoad_Click(std::int32_t memory);
    void lblMemUp_Click();
    void lblMemDn_Click();

    // The keyboard table shared by both panels; false for a key it does not handle.
    bool KeyDown(int keyCode);

    const PanelView& view() const { return m_view; }
    SignalSettings& settings() { return m_settings; }
    const SignalSettings& settings() const { return m_settings; }
    bool starting() const { return m_control.starting(); }

private:
    void signalStateChanged(const SignalIndicators& indicators, bool playing) override;
    void showSteps();
    void showAdjust();
    void notify();

    std::filesystem::path m_folder;
    Messages& m_messages;
    SignalSettings m_settings;
    RandomSource m_random;
    WaveEngine m_engine{m_random};
    WaveReader m_reader;
    StreamEngine m_stream;
    LegacyPlayer m_legacy;
    SignalControl m_control;
    PanelView m_view;
    std::vector<PanelObserver*> m_observers;
    // Settings files that could not be read whole at start; the next save keeps each as .bak.
    std::vector<SettingsFileProblem> m_damagedFiles;
};

} // namespace kelvo
