#pragma once

#include "core/oscillator/main_panel_rules.h"
#include "core/oscillator/memory_rules.h"
#include "core/oscillator/panel_view.h"
#include "core/oscillator/signal_chain.h"
#include "core/playback/audio_device.h"
#include "core/player/user_player.h"
#include "core/runtime/event_loop.h"
#include "core/runtime/messages.h"
#include "core/settings/settings_files.h"
#include "core/settings/signal_settings.h"

#include <filesystem>
#include <functional>
#include <vector>

namespace kelvo {

// The application object: owns the settings record and the signal chain, and is the hub
// that tells every window what to show. The rules of each window's controls live in classes
// of their own (panel(), memories()), which change the record through it.
// UI thread only. The devices, the loop and the message sink outlive it.
class Oscillator final : private SignalObserver {
public:
    Oscillator(std::filesystem::path folder, AudioDevice& streamDevice, AudioDevice& legacyDevice, EventLoop& loop,
               Messages& messages);
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
    // Reset to Defaults: deletes the settings files so that the next start begins from the
    // start values, then the output stops as at Exit, without saving. Closing the windows is
    // up to the caller.
    void ResetToDefaults();

    // The public operations of the main panel.
    void Update();
    void startSignal();
    void stopSignal();
    void recallSelectedMemory();
    // Shows the levels and the measured block again, in the unit now chosen; the signal
    // goes on as it was.
    void showLevels();
    // Plays the calibration tone: a 1 kHz sine on both channels at -20 dB (or the level
    // limit below that), to be read on a meter. Returns the level it plays at.
    double playCalibrationTone();
    void DefaultMems();
    void LoadSettings();
    void SaveSettings();
    // Renders the record into test.wav (the arbitrary table while ArbBuild is 1) and shows
    // the sample rate it was rendered at. False, after a message, when nothing was written.
    bool renderSignal();
    // Saves test.wav as `target` (SignalFiles::copyRendered); returns the message, empty on success.
    [[nodiscard]] std::string SaveRenderedSignal(const std::filesystem::path& target);

    // The user wave player's operations: play the selected playlist entry (the main
    // panel's ON with the User waveform, PLAY, a double click and Enter in the list), and
    // its STOP, which is the same stop as stopSignal: every stop ends the player's clock too.
    void playUserFile();
    void stopUserFile();
    UserPlayer& player() { return m_player; }
    const UserPlayer& player() const { return m_player; }

    MainPanelRules& panel() { return m_panel; }
    // Where the windows' messages to the user go.
    Messages& messages() { return m_messages; }
    MemoryRules& memories() { return m_memories; }

    const PanelView& view() const { return m_view; }
    SignalSettings& settings() { return m_settings; }
    const SignalSettings& settings() const { return m_settings; }
    const std::filesystem::path& folder() const { return m_chain.folder(); }
    bool starting() const { return m_chain.control().starting(); }

    // For the rules classes: the view they change before they tell the windows.
    PanelView& editView() { return m_view; }
    void notify();

private:
    void signalStateChanged(const SignalState& state) override;

    Messages& m_messages;
    SignalSettings m_settings;
    SignalChain m_chain;
    UserPlayer m_player;
    PanelView m_view;
    MainPanelRules m_panel{*this};
    MemoryRules m_memories{*this};
    std::vector<PanelObserver*> m_observers;
    // Settings files that could not be read whole at start; the next save keeps each as .bak.
    std::vector<SettingsFileProblem> m_damagedFiles;
};

} // namespace kelvo
