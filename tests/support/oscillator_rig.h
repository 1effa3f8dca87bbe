#pragma once

#include "oscillator/oscillator.h"
#include "support/fake_audio_device.h"
#include "support/manual_event_loop.h"
#include "support/test_support.h"

namespace kelvo::test {

// An oscillator on fake devices and a manually advanced loop, in a folder of its own.
struct OscillatorRig {
    explicit OscillatorRig(const std::filesystem::path& folder)
        : oscillator(folder, streamDevice, legacyDevice, loop, messages)
    {
    }

    SignalSettings& settings() { return oscillator.settings(); }
    const PanelView& view() const { return oscillator.view(); }

    RecordingMessages messages;
    ManualEventLoop loop;
    FakeAudioDevice streamDevice{loop};
    FakeAudioDevice legacyDevice{loop};
    Oscillator oscillator;
};

} // namespace kelvo::test
