#pragma once

#include "playback/audio_device.h"
#include "runtime/event_loop.h"

#include <cstddef>
#include <deque>
#include <string>
#include <vector>

namespace kelvo::test {

// An output device that plays when the test says so: it records every queued buffer,
// appends the whole frames of each buffer it plays to `played`, and hands buffers back
// through the event loop like a real device.
class FakeAudioDevice final : public AudioDevice {
public:
    explicit FakeAudioDevice(EventLoop& loop)
        : m_loop(loop)
    {
    }

    std::string open(int index, const AudioFormat& format, BufferDone done, Failure failed) override;
    void write(int index, std::span<const std::byte> bytes) override;
    void reset() override;
    void close() override;
    bool isOpen() const override { return m_open; }
    std::int64_t underruns() const override { return m_underruns; }

    // Plays the oldest `count` queued buffers in order (fewer when fewer are queued) and
    // posts their hand-backs; counts an underrun when the queue runs dry. Returns how many played.
    int play(int count);
    // Reports that the device stopped by itself.
    void breakDown(const std::string& text);

    struct Queued {
        int index;
        std::span<const std::byte> bytes;
    };
    const std::deque<Queued>& queued() const { return m_queued; }

    std::string openError;           // when set, open() fails with this text
    int opens = 0;
    int lastIndex = 0;               // the device index of the last open
    AudioFormat lastFormat;
    std::vector<std::size_t> writtenSizes; // the length of every queued buffer, in order
    std::vector<std::byte> played;

private:
    void handBack(int index);

    EventLoop& m_loop;
    bool m_open = false;
    BufferDone m_done;
    Failure m_failed;
    std::deque<Queued> m_queued;
    std::int64_t m_underruns = 0;
};

} // namespace kelvo::test
