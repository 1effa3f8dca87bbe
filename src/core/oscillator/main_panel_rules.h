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

    void lblFup_Click();
    void lblFdn_Click();
    void lblVup_Click();
    void lblVdn_Click();
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

    // Whether a click on lblFreq opens its box: only for a waveform with one frequency.
    bool frequencyEditable() const;
    // Whether clicks on lblLdeg and lblRdeg open their boxes: only in User Defined mode.
    bool phasesEditable() const;

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

private:
    // Shows the steps and the level locks, which change without a render.
    void showSettings();

    Oscillator& m_oscillator;
};

} // namespace kelvo
