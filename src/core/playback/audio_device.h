#pragma once

#include "core/wavefile/audio_format.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>

namespace kelvo {

// The face of an output device towards the stream engine: open a format, queue buffers,
// get them back one by one in order, reset, close. Every call is made on the UI thread,
// and the listeners are called there too (through the event loop).
class AudioDevice {
public:
    // A finished buffer, by the index it was queued with.
    using BufferDone = std::function<void(int index)>;
    // The device stopped by itself (unplugged, server gone); the text says why.
    using Failure = std::function<void(const std::string& text)>;

    virtual ~AudioDevice() = default;

    // Opens output device `index` (-1 = the default) for `format`. Returns the error text,
    // naming the device, and stays closed on failure; empty on success.
    [[nodiscard]] virtual std::string open(int index, const AudioFormat& format, BufferDone done, Failure failed) = 0;

    // Queues `bytes` as buffer `index` behind the buffers already queued. The caller keeps
    // the bytes alive and untouched until the buffer is handed back. Whole frames are
    // played; a trailing partial frame is dropped so the channels never swap.
    virtual void write(int index, std::span<const std::byte> bytes) = 0;

    // Stops at once; every queued buffer is handed back later through BufferDone.
    virtual void reset() = 0;

    // Stops and releases the device; harmless when closed. Hand-backs already on their way
    // may still arrive; the engine tells them apart by its stream generation.
    virtual void close() = 0;

    virtual bool isOpen() const = 0;

    // For a change of signal while it plays: gives up the queued sound from the earliest point
    // that has not been heard yet and can still be replaced (a few milliseconds ahead), hands
    // every queued buffer back, and returns that point in bytes since the open; the next
    // write plays from there. -1 when the device cannot replace queued sound, so the caller
    // restarts the stream instead.
    virtual std::int64_t cut() { return -1; }

    // Times the device ran out of queued sound while playing.
    virtual std::int64_t underruns() const = 0;

    // Figures for measuring the output. The sound the open stream holds ahead of the
    // listener, in seconds (0 when closed); when sound of the current stream was first handed
    // on (the epoch before); whether the thread that feeds it runs at real-time priority.
    virtual double outputLatency() const { return 0; }
    virtual std::chrono::steady_clock::time_point firstSoundTime() const { return {}; }
    virtual bool feedRealtime() const { return false; }
};

// The steady clock in nanoseconds, as the devices note when sound was first handed on.
inline std::int64_t SteadyNanoseconds()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

} // namespace kelvo
