#pragma once

#include "core/playback/audio_device.h"

#include <string>
#include <utility>

namespace kelvo {

// Stands in for an output device that could not be had: every open fails with the reason,
// so the program runs without sound and says why when asked to play.
class UnavailableDevice final : public AudioDevice {
public:
    explicit UnavailableDevice(std::string reason)
        : m_reason(std::move(reason))
    {
    }

    std::string open(int, const AudioFormat&, BufferDone, Failure) override { return m_reason; }
    void write(int, std::span<const std::byte>) override {}
    void reset() override {}
    void close() override {}
    bool isOpen() const override { return false; }
    std::int64_t underruns() const override { return 0; }

private:
    std::string m_reason;
};

} // namespace kelvo
