#pragma once

#include "oscillator/signal_control.h"
#include "playback/audio_device.h"
#include "playback/legacy_player.h"
#include "playback/stream_engine.h"
#include "playback/wave_reader.h"
#include "runtime/event_loop.h"
#include "runtime/messages.h"
#include "runtime/random_source.h"
#include "settings/signal_settings.h"
#include "oscillator/signal_files.h"
#include "synth/wave_engine.h"

#include <filesystem>

namespace kelvo {

// The parts that turn the record into sound, wired together once for the desktop program
// and for kelvo-cli: the engine renders test.wav, the control starts and stops it through
// the stream engine or the legacy player. UI thread only; the record, the devices, the loop
// and the message sink outlive it.
class SignalChain {
public:
    SignalChain(SignalSettings& settings, std::filesystem::path folder, AudioDevice& streamDevice,
                AudioDevice& legacyDevice, EventLoop& loop, Messages& messages);
    SignalChain(const SignalChain&) = delete;
    SignalChain& operator=(const SignalChain&) = delete;

    SignalFiles& files() { return m_files; }
    SignalControl& control() { return m_control; }
    const SignalControl& control() const { return m_control; }
    LegacyPlayer& legacy() { return m_legacy; }
    const std::filesystem::path& folder() const { return m_folder; }

private:
    std::filesystem::path m_folder;
    RandomSource m_random;
    WaveEngine m_engine{m_random};
    SignalFiles m_files{m_engine};
    WaveReader m_reader;
    StreamEngine m_stream;
    LegacyPlayer m_legacy;
    SignalControl m_control;
};

} // namespace kelvo
