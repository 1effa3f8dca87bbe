#pragma once

#include "core/playback/audio_device.h"
#include "core/playback/read_ahead.h"
#include "core/playback/wave_reader.h"
#include "core/runtime/event_loop.h"
#include "core/runtime/messages.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kelvo {

// Plays the reader's open file endlessly through twenty buffers: each buffer the device
// hands back is refilled and queued again, and the data starts over when it runs out, so
// the loop has no gap. The refills copy from a read-ahead that a thread of its own keeps
// filled from the file, so a disk that stalls never holds up the output or the UI thread.
// Used on the UI thread only.
class StreamEngine {
public:
    StreamEngine(WaveReader& reader, AudioDevice& device, EventLoop& loop, Messages& messages);
    ~StreamEngine();
    StreamEngine(const StreamEngine&) = delete;
    StreamEngine& operator=(const StreamEngine&) = delete;

    // Called after the stream stopped by itself (the device failed, the file became
    // unreadable), once its message has been shown.
    void setOnFailure(std::function<void()> stopped);

    // Starts playing the open file on output device `outDevice` (-1 = the default).
    // True when the stream runs, also when it already ran; false after showing why not.
    bool start(int outDevice);
    // Stops the output and releases the device; harmless when idle.
    void stop();

    bool active() const { return m_streamActive; }
    // Times the device ran dry since it was created.
    std::int64_t underruns() const { return m_device.underruns(); }

private:
    void bufferDone(std::uint64_t generation, int index);
    void waitForData(int index);
    void deviceFailed(std::uint64_t generation, const std::string& text);
    void fail(const std::string& text);

    WaveReader& m_reader;
    AudioDevice& m_device;
    EventLoop& m_loop;
    Messages& m_messages;
    std::function<void()> m_onFailure;
    bool m_streamActive = false;
    // Counts streams, so that hand-backs of a stopped stream are recognised and dropped.
    std::uint64_t m_generation = 0;
    std::unique_ptr<ReadAhead> m_ahead;
    // Buffers handed back while the read-ahead had nothing ready, refilled on a timer.
    std::vector<int> m_waiting;
    EventLoop::TimerId m_retry = 0;
};

} // namespace kelvo
