#pragma once

#include "core/playback/audio_device.h"
#include "core/runtime/messages.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <vector>

namespace kelvo {

// The most sound data the simple looping player loads: it holds the whole file in memory
// and reads it while the window waits.
inline constexpr std::int64_t kLegacyDataLimit = std::int64_t{256} << 20;

// The simple output path: the whole file is loaded into memory and played on the default
// device, looped or once; a new sound replaces the one playing. Used on the UI thread only.
class LegacyPlayer {
public:
    LegacyPlayer(AudioDevice& device, Messages& messages);
    ~LegacyPlayer();
    LegacyPlayer(const LegacyPlayer&) = delete;
    LegacyPlayer& operator=(const LegacyPlayer&) = delete;

    // Called after the device stopped by itself during a loop, once its message has been shown.
    void setOnFailure(std::function<void()> stopped);

    // Replaces any sound by `path`, looped until the next sound or once. Returns false,
    // after showing why, when the file cannot be played; the old sound has then stopped.
    bool play(const std::filesystem::path& path, bool loop);
    // Ends any sound at once.
    void silence();

    // True while a sound played once has not finished.
    bool playingOnce() const { return !m_looping && m_device.isOpen(); }
    // Times the device ran dry since it was created.
    std::int64_t underruns() const { return m_device.underruns(); }

private:
    void bufferDone(std::uint64_t generation, int index);
    void deviceFailed(std::uint64_t generation, const std::string& text);

    AudioDevice& m_device;
    Messages& m_messages;
    std::function<void()> m_onFailure;
    std::vector<std::byte> m_data;
    bool m_looping = false;
    std::uint64_t m_generation = 0;
};

} // namespace kelvo
