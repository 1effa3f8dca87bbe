#pragma once

#include "oscillator/oscillator.h"
#include "support/fake_audio_device.h"
#include "support/manual_event_loop.h"
#include "support/test_support.h"

namespace kelvo::test {

// Remembers the last view the oscillator published.
class RecordingPanel final : public PanelObserver {
public:
    void panelChanged(const PanelView& view) override { last = view; }
    PanelView last;
};

// An oscillator on fake devices and a manually advanced loop, in a folder of its own.
struct OscillatorRig {
    explicit OscillatorRig(const std::filesystem::path& folder)
        : oscillator(folder, streamDevice, legacyDevice, loop, messages)
    {
        oscillator.addObserver(&panel);
    }
    ~OscillatorRig() { oscillator.removeObserver(&panel); }

    SignalSettings& settings() { return oscillator.settings(); }

    RecordingMessages messages;
    ManualEventLoop loop;
    FakeAudioDevice streamDevice{loop};
    FakeAudioDevice legacyDevice{loop};
    Oscillator oscillator;
    RecordingPanel panel;
};

} // namespace kelvo::test
