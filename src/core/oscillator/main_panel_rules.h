#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kelvo {

class Oscillator;

// The rules of the front panel's steppers, selectors and entry boxes (the remote panel's
// boxes share them). Each changes the record and refreshes through the oscillator.
class MainPanelRules {
public:
    explicit MainPanelRules(Oscillator& oscillator)
        : m_oscillator(oscillator)
    {
    }

    void frequencyUp();
    void frequencyDown();
    void levelUp();
    void levelDown();
    void selectWaveform(std::int32_t code);
    void selectMode(std::int32_t code);
    void sampleRateUp();
    void sampleRateDown();
    // The sample format: 16 -> 24 -> 32 (float) and back.
    void bitsUp();
    void bitsDown();
    void frequencyStepUp();
    void frequencyStepDown();
    void levelStepUp();
    void levelStepDown();
    void toggleLeftLevelLock();
    void toggleRightLevelLock();
    void switchOn();

    // Whether a click on lblFreq opens its box: only for a waveform with one frequency.
    bool frequencyEditable() const;
    // Whether clicks on lblLdeg and lblRdeg open their boxes: only in User Defined mode.
    bool phasesEditable() const;

    // Entry boxes. An open operation returns the text the box starts with, or nothing
    // when the box stays closed; an Enter operation takes the box's text.
    std::optional<std::string> frequencyBoxText();
    std::optional<std::string> leftPhaseBoxText() const;
    std::optional<std::string> rightPhaseBoxText() const;
    void takeFrequency(std::string_view text);
    void takeSampleRate(std::string_view text);
    void takeLeftLevel(std::string_view text);
    void takeRightLevel(std::string_view text);
    void takeLeftPhase(std::string_view text);
    void takeRightPhase(std::string_view text);

private:
    // Shows the steps and the level locks, which change without a render.
    void showSettings();

    Oscillator& m_oscillator;
};

} // namespace kelvo
