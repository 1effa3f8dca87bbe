#pragma once

#include "core/oscillator/signal_control.h"
#include "core/oscillator/signal_files.h"
#include "core/playback/audio_device.h"
#include "core/playback/legacy_player.h"
#include "core/playback/stream_engine.h"
#include "core/playback/wave_reader.h"
#include "core/runtime/event_loop.h"
#include "core/runtime/messages.h"
#include "core/runtime/random_source.h"
#include "core/settings/signal_settings.h"
#include "core/synth/wave_engine.h"

#include <filesystem>

namespace kelvo {

// The parts that turn the record into sound, wired together once for the desktop program
// and for kelvo-cli: the engine renders test.wav, the control starts and stops it through
// the stream engine or the legacy player. UI thread only; the record, the devices, the loop
// and the message sink outlive it.
class SignalChain {
public:
    SignalChain(SignalSettings& settings, std::filesystem::path folder, AudioDevice& streamDevice, AudioDevice& legacyDevice,
                EventLoop& loop, Messages& messages);
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
