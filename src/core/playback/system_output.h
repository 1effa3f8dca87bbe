#pragma once

#include "core/playback/audio_device.h"
#include "core/playback/portaudio_device.h"
#include "core/playback/pulse_device.h"
#include "core/runtime/event_loop.h"

#include <memory>
#include <string>

namespace kelvo {

// The output the oscillator plays on. The default output (-1, or 0 in the device list) is
// played as a native client of the sound server where one answers; every other device, and
// the default where no server answers, through PortAudio. KELVO_AUDIO_BACKEND=portaudio
// sends the default through PortAudio too. Each backend starts when first needed.
class SystemOutput final : public AudioDevice {
public:
    explicit SystemOutput(EventLoop& loop);

    [[nodiscard]] std::string open(int index, const AudioFormat& format, BufferDone done, Failure failed) override;
    void write(int index, std::span<const std::byte> bytes) override;
    void reset() override;
    void close() override;
    bool isOpen() const override { return m_active != nullptr && m_active->isOpen(); }
    std::int64_t cut() override { return m_active != nullptr ? m_active->cut() : -1; }
    std::int64_t underruns() const override;
    double outputLatency() const override { return m_active != nullptr ? m_active->outputLatency() : 0; }
    std::chrono::steady_clock::time_point firstSoundTime() const override;
    bool feedRealtime() const override { return m_active != nullptr && m_active->feedRealtime(); }

private:
    AudioDevice* pulse();
    AudioDevice* portAudio(std::string& error);

    EventLoop& m_loop;
    std::unique_ptr<PulseDevice> m_pulse;
    bool m_pulseTried = false;
    std::unique_ptr<PortAudioDevice> m_portAudio;
    AudioDevice* m_active = nullptr;
};

} // namespace kelvo
