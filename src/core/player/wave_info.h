#pragma once

#include "core/wavefile/wave_layout.h"

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

namespace kelvo {

// What the user player shows about the file it starts: the texts of its information labels
// and the values behind them. A file the display cannot read keeps the previous texts.
struct WaveInfo {
    std::string type;                  // Label33: "PCM WAV", "DOLBY D" or empty
    std::string channels;              // Label19: "MONO" or "STEREO"
    std::string bits;                  // Label20: "8 bit" ... "32 bit float"
    std::string rate;                  // Label21: the sample rate in digits
    std::string size;                  // Label34: the RIFF size field + " bytes"
    std::string duration = "00:00:00"; // Label16
    int channelCount = 0;
    int sampleBytes = 0;
    std::uint32_t sampleRate = 0;
};

// The parts of a wave file the display reads: its first bytes and, where the chunk walk
// found them, its format chunk and the first word of its data.
struct WaveProbe {
    bool opened = false;                // the file could be opened for reading
    std::array<std::byte, 50> header{}; // its first 50 bytes; bytes past its end are zero
    WaveLayout layout;
    bool dolbyDigital = false; // the data begins with the word 0xF872
};

// Reads what the display needs from `path` without changing the file. Only a regular file
// is read, so a FIFO or a device never blocks the caller.
WaveProbe ProbeWave(const std::filesystem::path& path);

// Updates `info` from `probe`: a file that did not open changes nothing; one that does not
// begin with "RIFF" clears only the type; otherwise channels, bits and rate come from the
// format chunk wherever it lies, the size from the RIFF size field, and the duration is
// size / (rate x channels x bytes per sample).
void ShowWaveInfo(WaveInfo& info, const WaveProbe& probe);

// A span as "hh:mm:ss", whole seconds, hours as many as there are.
std::string ClockText(std::chrono::milliseconds span);

// The duration text of `seconds`: whole seconds, but at least one second when `size` is not
// zero; "00:00:00" for what is not a finite positive number.
std::string DurationText(double seconds, std::uint32_t size);

} // namespace kelvo
