#pragma once

#include "core/oscillator/signal_control.h"

#include <cstdint>
#include <string>

namespace kelvo {

// Everything the front panel and the remote panel show: the captions of their display
// labels, where the highlight shapes sit, and the signal's state.
struct PanelView {
    std::string waveform;          // lblWaveform
    std::string freq;              // lblFreq, on both panels
    std::string mode;              // lblMode
    std::string leftPhase;         // lblLdeg
    std::string rightPhase;        // lblRdeg
    std::string sampleRate;        // lblSR
    std::string bits;              // lblBits
    std::string levelL;            // lblLdB, on both panels
    std::string levelR;            // lblRdB, on both panels
    std::string deltaF;            // lblDeltaF
    std::string deltaV;            // lblDeltaV
    std::string leftAdjust;        // lblLadj
    std::string rightAdjust;       // lblRadj
    std::string memDisplay;        // Remote's lblMemDisplay
    std::int32_t waveformCode = 1; // the selector shown as selected
    std::int32_t modeCode = 3;     // the mode selector under shpMode
    std::int32_t memHighlight = 1; // the recall button under shpMem
    SignalState signal;            // the on indicators and the status line
    std::string levelNote;         // the status line's word on a level held at its limit
    std::string measured;          // the peak and RMS of the rendered block, while it plays
};

struct SignalSettings;

// The main panel's status line: the signal's status and gaps, a level held at its limit,
// and what the playing block measures, each on a line of its own.
std::string PanelStatusLine(const PanelView& view);

// Shows the frequency and level steps (lblDeltaF, lblDeltaV) of the record.
void ShowSteps(PanelView& view, const SignalSettings& settings);
// Shows whether each level follows the steppers (lblLadj, lblRadj).
void ShowAdjust(PanelView& view, const SignalSettings& settings);

// Told on the UI thread after every operation that changed what the panels show.
class PanelObserver {
public:
    virtual ~PanelObserver() = default;
    virtual void panelChanged(const PanelView& view) = 0;
};

} // namespace kelvo
