#pragma once

#include "core/playback/audio_device.h"
#include "core/playback/buffer_feed.h"
#include "core/runtime/event_loop.h"

#include <atomic>
#include <chrono>
#include <memory>
#include <portaudio.h>
#include <semaphore.h>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <thread>
#include <vector>

namespace kelvo {

class PortAudioDevice;

// A PortAudio backend, or nothing plus the reason when PortAudio cannot start.
struct PortAudioBackend {
    std::unique_ptr<PortAudioDevice> device;
    std::string error;
};

// What is said when the system offers no sound output at all.
inline constexpr std::string_view kNoSoundOutput = "No sound output was found: no sound server or sound card answered";

// The names of the output devices: entry 0 is the default output (where the sound server
// routes), then every other output device in PortAudio's order; a device's position is
// its OutDevice index. Empty, with the reason in `error`, when PortAudio cannot start.
std::vector<std::string> ListOutputDevices(std::string& error);

// Plays queued buffers strictly in order through a PortAudio callback stream. The callback
// only copies bytes and moves indices through lock-free queues; a helper thread wakes the
// UI thread through EventLoop::post, so done buffers and failures reach the listeners there.
class PortAudioDevice final : public AudioDevice {
public:
    static PortAudioBackend create(EventLoop& loop);
    ~PortAudioDevice() override;

    [[nodiscard]] std::string open(int index, const AudioFormat& format, BufferDone done, Failure failed) override;
    void write(int index, std::span<const std::byte> bytes) override;
    void reset() override;
    void close() override;
    bool isOpen() const override { return m_stream != nullptr; }
    std::int64_t underruns() const override { return m_feed.underruns(); }

    double outputLatency() const override;
    std::chrono::steady_clock::time_point firstSoundTime() const override;
    bool feedRealtime() const override;

private:
    explicit PortAudioDevice(EventLoop& loop);

    static int processStatic(const void* input, void* output, unsigned long frames, const PaStreamCallbackTimeInfo* time,
                             PaStreamCallbackFlags flags, void* self);
    static void finishedStatic(void* self);
    int process(void* output, unsigned long frames, PaStreamCallbackFlags flags);
    void startStream();
    void stopStream();
    void wakeLoop();
    void watch();
    void deliver();

    EventLoop& m_loop;
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
    PaStream* m_stream = nullptr;
    std::string m_name;
    BufferDone m_done;
    Failure m_failed;

    // The callback's work: fed by write, emptied by deliver.
    BufferFeed m_feed;
    std::atomic<bool> m_running{false};
    std::atomic<bool> m_broken{false};
    bool m_failureReported = false;
    // A start posted behind the first write, for the stream opened `m_opened`-th.
    bool m_startPending = false;
    std::uint64_t m_opened = 0;
    std::atomic<std::uint64_t> m_heartbeat{0};
    std::atomic<pid_t> m_callbackThread{0};

    // The helper thread that turns the callback's signals into posted events.
    sem_t m_wake{};
    std::atomic<bool> m_quit{false};
    std::atomic<bool> m_deliveryPending{false};
    std::thread m_watcher;
};

} // namespace kelvo
