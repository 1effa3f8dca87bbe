#pragma once

#include "core/oscillator/oscillator.h"
#include "core/playback/portaudio_device.h"
#include "plain_event_loop.h"
#include "support/test_support.h"

#include <chrono>

namespace kelvo::test {

// Plays `file` as the user player's PLAY does, in this process, into the sound server
// `server` for `duration`, then stops it. Returns what went wrong: no output, a gap, or
// what the player said; empty when nothing did.
inline std::string PlayUserFile(const std::filesystem::path& folder, const std::filesystem::path& file, const std::string& server,
                                std::chrono::milliseconds duration, bool legacy = false)
{
    ::setenv("PULSE_SERVER", server.c_str(), 1);
    std::filesystem::create_directories(folder);
    RecordingMessages messages;
    cli::PlainEventLoop loop;
    PortAudioBackend streamDevice = PortAudioDevice::create(loop), legacyDevice = PortAudioDevice::create(loop);
    if (!streamDevice.device || !legacyDevice.device)
        return "no output: " + streamDevice.error + legacyDevice.error;
    Oscillator oscillator(folder, *streamDevice.device, *legacyDevice.device, loop, messages);
    oscillator.Start();
    oscillator.settings().LegacyDriver = legacy ? 1 : 0;
    oscillator.settings().PlaylistPath[7] = file.string();
    oscillator.settings().PlaylistSel = 7;
    oscillator.playUserFile();
    loop.run(std::chrono::steady_clock::now() + duration);
    // Counted before the stop: the legacy player's stop file runs dry by design.
    const std::int64_t gaps = streamDevice.device->underruns() + legacyDevice.device->underruns();
    oscillator.stopUserFile();
    loop.run(std::chrono::steady_clock::now() + std::chrono::milliseconds(400));
    std::string fault = gaps > 0 ? "the output ran dry " + std::to_string(gaps) + " times" : "";
    for (const std::string& shown : messages.shown)
        fault += (fault.empty() ? "the player said: " : "; ") + shown;
    return fault;
}

} // namespace kelvo::test
