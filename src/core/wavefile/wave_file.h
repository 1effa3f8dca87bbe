#pragma once

#include "core/runtime/regular_file.h"
#include "core/wavefile/audio_format.h"
#include "core/wavefile/wave_layout.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

namespace kelvo {

// A wave file opened for playing: the regular file itself, where its chunks lie and the
// playable part of its data. Owns the descriptor and closes it when destroyed.
class OpenedWave {
public:
    OpenedWave() = default;
    ~OpenedWave();
    OpenedWave(OpenedWave&& other) noexcept;
    OpenedWave& operator=(OpenedWave&& other) noexcept;
    OpenedWave(const OpenedWave&) = delete;
    OpenedWave& operator=(const OpenedWave&) = delete;

    bool isOpen() const { return m_fd >= 0; }
    int fd() const { return m_fd; }

    WaveLayout layout;
    AudioFormat format;
    std::int64_t dataSize = 0; // whole frames the file really holds, in bytes
    bool openFailed = false;   // the file itself could not be opened
    std::string refusal;       // why it cannot be played; empty when it can

private:
    friend OpenedWave OpenWave(const std::filesystem::path& path);
    int m_fd = -1;
};

// Opens `path` for playing. Only a regular file is opened (a FIFO or a device would block
// or stream forever); its chunks are walked, its format must be playable and it must hold
// at least one whole frame. On any failure the result is closed and says why.
OpenedWave OpenWave(const std::filesystem::path& path);

} // namespace kelvo
