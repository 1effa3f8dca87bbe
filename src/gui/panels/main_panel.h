#pragma once

#include "core/oscillator/oscillator.h"
#include "gui/app/window_id.h"
#include "gui/panels/panel_parts.h"
#include "gui/ui/borderless_window.h"

#include <array>
#include <memory>

namespace kelvo::gui {

class Highlight;
class Lamp;

// The front panel, objectName "Main": shows the oscillator's state and forwards clicks,
// typed values and keys to it. It holds no rules of its own.
class MainPanel final : public BorderlessWindow, private PanelObserver {
    Q_OBJECT
public:
    explicit MainPanel(Oscillator& oscillator, QWidget* parent = nullptr);
    ~MainPanel() override;

    // lblExit: saves the settings, stops the output and asks every window to close.
    void exitProgram();

Q_SIGNALS:
    // lblCfgSig for a waveform with a setup window.
    void setupRequested(WindowId window);
    void oscillatorSetupRequested();
    void helpRequested();
    void remoteRequested();
    // lblExit after the settings were saved and the output stopped: every window closes.
    void exitRequested();

protected:
    void refill() override;
    bool handleKey(QKeyEvent* event) override;

private:
    void panelChanged(const PanelView& view) override;
    void buildTitleKeys();
    QWidget* buildWaveforms();
    QWidget* buildDisplay();
    QWidget* buildSignal();
    QWidget* buildModes();
    QWidget* buildFrequency();
    QWidget* buildRateAndBits();
    QWidget* buildLevels();
    QWidget* buildMemories();

    Oscillator& m_oscillator;
    std::array<QWidget*, 16> m_waveSelectors{};
    std::array<QWidget*, 6> m_modeSelectors{};
    std::array<QWidget*, 10> m_memoryButtons{};
    Highlight* m_shpWave = nullptr;
    Highlight* m_shpMode = nullptr;
    Highlight* m_shpMem = nullptr;
    QLabel* m_waveform = nullptr;
    QLabel* m_mode = nullptr;
    QLabel* m_bits = nullptr;
    QLabel* m_deltaF = nullptr;
    QLabel* m_deltaV = nullptr;
    QLabel* m_ladj = nullptr;
    QLabel* m_radj = nullptr;
    QLabel* m_status = nullptr;
    Lamp* m_play1 = nullptr;
    Lamp* m_play2 = nullptr;
    std::unique_ptr<EntryField> m_freq;
    std::unique_ptr<EntryField> m_sampleRate;
    std::unique_ptr<EntryField> m_levelL;
    std::unique_ptr<EntryField> m_levelR;
    std::unique_ptr<EntryField> m_phaseL;
    std::unique_ptr<EntryField> m_phaseR;
    ObserverScope m_observing{m_oscillator, this};
};

} // namespace kelvo::gui
