#pragma once

#include "core/playback/audio_device.h"
#include "core/runtime/event_loop.h"

#include <atomic>
#include <deque>
#include <memory>
#include <string>
#include <sys/time.h>
#include <sys/types.h>
#include <vector>

struct pa_context;
struct pa_mainloop_api;
struct pa_time_event;
struct pa_stream;
struct pa_threaded_mainloop;

namespace kelvo {

class PulseDevice;

// A connection to the sound server, or nothing plus the reason when none answers.
struct PulseBackend {
    std::unique_ptr<PulseDevice> device;
    std::string error;
};

// Plays on the sound server's default output as a native client (PulseAudio, or PipeWire
// through its PulseAudio service). The server holds two seconds of sound, as its own
// players do, and reports every time it ran out, which the ALSA route keeps to itself.
// Queued buffers are copied to the server by the client library's thread as the server
// asks for them, and handed back once copied.
class PulseDevice final : public AudioDevice {
public:
    // Connects to the server PULSE_SERVER names, or the user's; never starts one.
    static PulseBackend create(EventLoop& loop);
    ~PulseDevice() override;
    PulseDevice(const PulseDevice&) = delete;
    PulseDevice& operator=(const PulseDevice&) = delete;

    // Only the default output: `index` must be -1 or 0.
    [[nodiscard]] std::string open(int index, const AudioFormat& format, BufferDone done, Failure failed) override;
    void write(int index, std::span<const std::byte> bytes) override;
    void reset() override;
    void close() override;
    bool isOpen() const override { return m_stream != nullptr; }
    std::int64_t cut() override;
    std::int64_t underruns() const override { return m_underruns.load(); }
    double outputLatency() const override;
    std::chrono::steady_clock::time_point firstSoundTime() const override;
    bool feedRealtime() const override;

private:
    struct Pending {
        int index;
        std::span<const std::byte> bytes;
    };

    explicit PulseDevice(EventLoop& loop);
    [[nodiscard]] std::string connect();
    void pump();
    void stopShortSoundTimer();
    void handBack(int index);
    void postDelivery();
    void deliver();
    void streamStopped(const std::string& why);

    static void contextState(pa_context* context, void* self);
    static void streamState(pa_stream* stream, void* self);
    static void streamWritable(pa_stream* stream, std::size_t bytes, void* self);
    static void streamUnderflow(pa_stream* stream, void* self);
    static void startShortSound(pa_mainloop_api* api, pa_time_event* timer, const timeval* at, void* self);

    EventLoop& m_loop;
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
    pa_threaded_mainloop* m_mainloop = nullptr;
    pa_context* m_context = nullptr;
    pa_stream* m_stream = nullptr;
    BufferDone m_done;
    Failure m_failed;

    // Shared with the client library's thread, under its lock.
    std::deque<Pending> m_pending;
    std::size_t m_pendingOffset = 0;
    std::vector<int> m_finished;
    std::int64_t m_written = 0;
    // After a cut: the next write goes to this byte of the server's queue instead of its end,
    // and this many bytes may be written beyond the room the server offers, since the cut
    // took them back.
    std::int64_t m_seekTo = -1;
    std::int64_t m_cutCredit = 0;
    std::int64_t m_prebufBytes = 0;
    pa_time_event* m_shortSoundTimer = nullptr;
    std::size_t m_blockAlign = 1;
    // Whether the server takes back sound it has read but not yet played (PulseAudio does).
    bool m_serverRewinds = true;
    bool m_deliveryPending = false;
    bool m_closing = false;
    std::string m_failure;
    bool m_failureReported = false;

    std::atomic<std::int64_t> m_underruns{0};
    std::atomic<std::int64_t> m_firstSound{0};
    std::atomic<pid_t> m_feedThread{0};
    double m_latency = 0;
};

} // namespace kelvo
