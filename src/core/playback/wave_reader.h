#pragma once

#include "core/playback/read_ahead.h"
#include "core/runtime/messages.h"
#include "core/wavefile/audio_format.h"
#include "core/wavefile/wave_file.h"
#include "core/wavefile/wave_layout.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <vector>

namespace kelvo {

inline constexpr int PlayerBufferCount = 20;

// Opens a wave file for streamed playback: finds its format and data, and owns the
// twenty play buffers the stream engine fills from it. Used on the UI thread only.
class WaveReader {
public:
    WaveReader() = default;
    WaveReader(const WaveReader&) = delete;
    WaveReader& operator=(const WaveReader&) = delete;

    // Called by open before it closes the file or frees the buffers, so that no
    // device still owns a buffer; the stream engine sets it to its stop.
    void setBeforeOpen(std::function<void()> stopStream);

    // Closes any open file, then opens `path`, positions at the data and allocates the
    // buffers. On failure shows one message and stays closed; an empty path does nothing.
    void open(const std::filesystem::path& path, Messages& messages);
    void close();
    // Plays `wave` from its start in place of the open file, keeping the buffers, which the
    // caller makes sure no device holds. False, with nothing changed, when it cannot be played
    // or holds another format than the open file.
    bool replace(OpenedWave wave);
    // Positions at frame `sampleIndex` of the data when a file is open and the position
    // lies inside the data; otherwise does nothing.
    void seek(std::int64_t sampleIndex);

    std::int64_t position() const { return m_position; }
    // The open file's data for a read-ahead, starting at the current position.
    LoopedData loopedData() const;

    bool isOpen() const { return m_wave.isOpen(); }
    const PlayFormat& playFormat() const { return m_playFormat; }
    const AudioFormat& format() const { return m_format; }
    std::int64_t dataOffset() const { return m_dataOffset; }
    // The sound data in bytes: whole frames that the file really holds.
    std::int64_t dataSize() const { return m_dataSize; }
    std::int64_t bufferSize() const { return m_bufferSize; }
    std::span<std::byte> buffer(int index) { return m_buffers[static_cast<std::size_t>(index)]; }

private:
    std::function<void()> m_beforeOpen;
    OpenedWave m_wave;
    PlayFormat m_playFormat;
    AudioFormat m_format;
    std::int64_t m_dataOffset = 0;
    std::int64_t m_dataSize = 0;
    std::int64_t m_bufferSize = 0;
    std::int64_t m_position = 0;
    std::array<std::vector<std::byte>, PlayerBufferCount> m_buffers;
};

// Bytes per play buffer: a tenth of a second times the channel count, in whole frames.
std::int64_t PlayBufferSize(const PlayFormat& format);

} // namespace kelvo
