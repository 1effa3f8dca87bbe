#include "core/oscillator/panel_view.h"

#include "core/settings/signal_settings.h"
#include "core/settings/text_rules.h"

namespace kelvo {

std::string PanelStatusLine(const PanelView& view)
{
    std::string line = StatusLine(view.signal);
    const bool generated = view.signal.on() && view.signal.source != SignalSource::UserFile;
    for (const std::string* part : {&view.levelNote, generated ? &view.measured : nullptr}) {
        if (part == nullptr || part->empty())
            continue;
        line += (line.empty() ? "" : "\n") + *part;
    }
    return line;
}

void ShowSteps(PanelView& view, const SignalSettings& s)
{
    view.deltaF = FormatNumber(s.FreqStep) + " Hz";
    view.deltaV = FormatNumber(s.LevelStep) + " dB";
}

void ShowAdjust(PanelView& view, const SignalSettings& s)
{
    view.leftAdjust = s.AdjustL != 0 ? "L adj" : "L locked";
    view.rightAdjust = s.AdjustR != 0 ? "R adj" : "R locked";
}

} // namespace kelvo
