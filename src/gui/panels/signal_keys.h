#pragma once

#include "core/oscillator/signal_control.h"
#include "core/settings/signal_codes.h"
#include "gui/app/window_id.h"

#include <QColor>
#include <QString>

#include <optional>
#include <span>

class QKeyEvent;

namespace kelvo {
class Oscillator;
}

namespace kelvo::gui {

// A waveform's selector key on the front panel and the setup window its CFG SIG opens.
struct WaveformKey {
    WaveformCode code;
    const char* objectName;
    const char* caption;
    std::optional<WindowId> setupWindow; // none for a waveform without one
};

// A channel mode's selector key.
struct ModeKey {
    ChannelMode code;
    const char* objectName;
    const char* caption;
};

std::span<const WaveformKey> WaveformKeys();
std::span<const ModeKey> ModeKeys();

// The setup window of a stored waveform code; none for a waveform without one or a code
// outside the table.
std::optional<WindowId> SetupWindowFor(std::int32_t waveform);

// The lamps that show the signal's state, one colour rule each.
enum class LampSite { Panel, Remote, Arb, User };
QColor LampColour(LampSite lamp, const SignalState& state);

// The keyboard table shared by both panels: Enter plays, Escape stops, the arrows step the
// frequency and the free levels, F1 to F10 recall the memories. False for any other key.
bool HandlePanelKey(Oscillator& oscillator, const QKeyEvent& event);

} // namespace kelvo::gui
