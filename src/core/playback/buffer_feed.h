#pragma once

#include "core/playback/index_queue.h"
#include "core/wavefile/audio_format.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <span>

namespace kelvo {

// What PortAudioDevice's stream callback does, without PortAudio: buffers queued on the
// UI thread are copied out in order, whole frames only, and handed back by index. `fill`
// runs on the callback's thread and never locks, allocates or waits; the rest is called on
// the UI thread, the set-up and hand-back calls only while no callback runs.
class BufferFeed {
public:
    static constexpr int kSlots = 32;

    // For a newly opened stream: its frames, and how long a pause between callbacks may
    // be, once `steadyFrames` have been handed over, before it counts as a gap.
    void configure(const AudioFormat& format, std::int64_t lateNanoseconds, std::int64_t steadyFrames);
    // Before the stream starts (again): no sound handed over yet.
    void restart();
    // After a stop: the buffer playing and every queued one go back in playing order.
    void handBackAll();
    // After a close: every buffer is forgotten.
    void clear();

    // Queues `bytes` as buffer `index` (below kSlots); false when the queue is full.
    bool queue(int index, std::span<const std::byte> bytes);
    // The next finished buffer, in playing order.
    bool takeFinished(int& index) { return m_finished.pop(index); }

    // Writes `frames` frames to `output`, silence where nothing is queued; `now` is in
    // steady nanoseconds. True when a buffer was finished.
    bool fill(std::byte* output, unsigned long frames, bool hostUnderflow, std::int64_t now);

    std::int64_t underruns() const { return m_underruns.load(std::memory_order_relaxed); }
    // When the first sound since `configure` was handed over; 0 before.
    std::int64_t firstSound() const { return m_firstSound.load(std::memory_order_relaxed); }

private:
    struct Slot {
        const std::byte* data = nullptr;
        std::size_t bytes = 0;
    };

    // Shared with the callback: slots are written before their index is pushed.
    std::array<Slot, kSlots> m_slots{};
    IndexQueue<kSlots> m_queued;
    IndexQueue<kSlots> m_finished;
    std::atomic<std::int64_t> m_underruns{0};
    std::atomic<std::int64_t> m_firstSound{0};

    // Owned by the callback while the stream runs, by the UI thread while it is stopped.
    std::size_t m_blockAlign = 4;
    std::byte m_silence{0};
    std::int64_t m_lateNanoseconds = 0;
    std::int64_t m_steadyFrames = 0;
    int m_current = -1;
    std::size_t m_offset = 0;
    std::size_t m_currentBytes = 0;
    bool m_starved = true;
    std::int64_t m_lastCallback = 0;
    bool m_inHostGap = false;
    std::int64_t m_framesHanded = 0;
};

} // namespace kelvo
