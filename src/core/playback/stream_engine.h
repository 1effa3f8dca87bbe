#pragma once

#include "core/playback/audio_device.h"
#include "core/playback/read_ahead.h"
#include "core/playback/wave_reader.h"
#include "core/runtime/event_loop.h"
#include "core/runtime/messages.h"

#include <cstdint>
#include <filesystem>
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

    // Where a spliced file starts: its frame for the old file's frame `oldFrame`, where the
    // crossfade begins; taken modulo the new file's `newFrames`.
    using SpliceStart = std::function<std::int64_t(std::int64_t oldFrame, std::int64_t newFrames)>;
    // Switches the running stream to `file` without stopping the device: the sound not yet
    // heard is replaced from a few milliseconds ahead on, crossfading over `fadeFrames` from
    // the old file into the new one, which then loops. False, with nothing changed, when no
    // stream runs, the file cannot be played in the same format, or the device cannot replace
    // the sound it holds; the caller then restarts.
    bool splice(const std::filesystem::path& file, std::int64_t fadeFrames, const SpliceStart& start);

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
    // Where the file's data lies in the stream: byte m_originData of the data plays at byte
    // m_originStream since the device was opened, and the data loops from there.
    std::int64_t m_originStream = 0;
    std::int64_t m_originData = 0;
    // The crossfade and the new sound right after it, queued in one piece by a splice.
    std::vector<std::byte> m_splice;
    // Buffers handed back while the read-ahead had nothing ready, refilled on a timer.
    std::vector<int> m_waiting;
    EventLoop::TimerId m_retry = 0;
};

} // namespace kelvo
