#pragma once

#include "playback/audio_device.h"
#include "playback/wave_reader.h"
#include "runtime/event_loop.h"
#include "runtime/messages.h"

#include <cstdint>
#include <functional>
#include <string>

namespace kelvo {

// Plays the reader's open file endlessly through twenty buffers: each buffer the device
// hands back is refilled from the file and queued again, and the file is rewound when its
// data runs out, so the loop has no gap. Used on the UI thread only.
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
    bool StartStream(int outDevice);
    // Stops the output and releases the device; harmless when idle.
    void StopStream();

    bool StreamActive() const { return m_streamActive; }

private:
    void bufferDone(std::uint64_t generation, int index);
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
    std::int64_t m_bytesLeft = 0;
};

} // namespace kelvo
