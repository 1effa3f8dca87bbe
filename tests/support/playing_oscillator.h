#pragma once

#include "core/oscillator/oscillator.h"
#include "core/playback/system_output.h"
#include "plain_event_loop.h"
#include "support/test_support.h"

#include <chrono>
#include <filesystem>

namespace kelvo::test {

// The oscillator as the desktop program has it, without its windows, playing into the sound
// server in PULSE_SERVER: a 1 kHz sine at -20 dB in blocks of half a second at `rate`, with
// changes while it plays made seamless.
struct PlayingOscillator {
    PlayingOscillator(const std::filesystem::path& folder, int rate)
        : osc(folder, device, legacy, loop, messages)
    {
        std::filesystem::create_directories(folder);
        osc.Start();
        SignalSettings& s = osc.settings();
        s.SampleRate[0] = rate;
        s.WaveBuildLength = 0.25;
        s.OutDevice = -1;
        s.Freq[0] = s.FreqR[0] = 1000;
        s.FreqStep = 100;
        s.LevelL[0] = s.LevelR[0] = -20;
        s.LevelStep = 6;
        s.SeamlessChanges = 1;
    }

    void run(std::chrono::milliseconds time) { loop.run(std::chrono::steady_clock::now() + time); }

    cli::PlainEventLoop loop;
    SystemOutput device{loop};
    SystemOutput legacy{loop};
    RecordingMessages messages;
    Oscillator osc;
};

} // namespace kelvo::test
