#pragma once

#include "support/shell.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace kelvo::test {

// A private PulseAudio daemon with a null sink (scripts/test-audio), stopped by its PID
// when the object goes.
class PrivateAudio {
public:
    PrivateAudio(std::filesystem::path folder, int rate);
    ~PrivateAudio();
    PrivateAudio(const PrivateAudio&) = delete;
    PrivateAudio& operator=(const PrivateAudio&) = delete;

    // The PULSE_SERVER value, empty when the daemon did not start.
    const std::string& server() const { return m_server; }
    const std::string& error() const { return m_error; }

    // Records the sink's monitor into `file` (raw 16-bit stereo) until stop().
    bool record(const std::filesystem::path& file);
    void stop();

    // The shell command that stops the daemon, for scripts that stop it themselves.
    std::string stopCommand() const;

    // Whether pulseaudio and parec are installed.
    static bool available();

private:
    std::filesystem::path m_folder;
    std::string m_server;
    std::string m_error;
};

// 16-bit little-endian samples from raw bytes.
std::vector<std::int16_t> Int16Samples(const std::string& bytes);

// How a recording holds a rendered block played in a loop.
struct LoopedRecording {
    std::optional<std::size_t> start;  // frame where the block's first 2000 frames appear
    std::size_t matched = 0;           // frames from there that equal the block looped
    std::size_t silentAfter = 0;       // frames of digital silence right after the match
    std::size_t frames = 0;            // frames recorded
};

// Samples may differ from the block by `tolerance` (a sound server's rounding of other depths).
LoopedRecording MatchLoop(const std::vector<std::int16_t>& block, const std::vector<std::int16_t>& recorded,
                          int tolerance = 0);

} // namespace kelvo::test
