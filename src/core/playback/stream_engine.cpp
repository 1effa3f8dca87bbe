#include "core/playback/stream_engine.h"

#include "core/playback/crossfade.h"

#include <algorithm>
#include <cmath>

namespace kelvo {
namespace {

// How soon a buffer that found no data ready asks again: well inside one buffer's length.
constexpr std::chrono::milliseconds kRetryInterval{10};
// The crossfade is queued with as much new sound behind it as the device holds, at least
// this many seconds: a sound server that dropped what followed the cut is full again at once,
// before the buffers handed back come round to be refilled on a busy UI thread.
constexpr double kSpliceTailSeconds = 0.1;
// The splice's buffer goes by this index, beyond those of the reader.
constexpr int kSpliceIndex = PlayerBufferCount;

std::int64_t Wrap(std::int64_t value, std::int64_t size)
{
    const std::int64_t rest = value % size;
    return rest < 0 ? rest + size : rest;
}

} // namespace

StreamEngine::StreamEngine(WaveReader& reader, AudioDevice& device, EventLoop& loop, Messages& messages)
    : m_reader(reader)
    , m_device(device)
    , m_loop(loop)
    , m_messages(messages)
{
    m_reader.setBeforeOpen([this] { stop(); });
}

StreamEngine::~StreamEngine()
{
    stop();
    m_reader.setBeforeOpen(nullptr);
}

void StreamEngine::setOnFailure(std::function<void()> stopped)
{
    m_onFailure = std::move(stopped);
}

bool StreamEngine::start(int outDevice)
{
    if (m_streamActive)
        return true;
    if (!m_reader.isOpen())
        return false;
    const std::uint64_t generation = ++m_generation;
    const std::string error = m_device.open(
        outDevice, m_reader.format(), [this, generation](int index) { bufferDone(generation, index); },
        [this, generation](const std::string& text) { deviceFailed(generation, text); });
    if (!error.empty()) {
        m_messages.show(error);
        return false;
    }
    m_streamActive = true;
    m_originStream = 0;
    m_originData = m_reader.position() - m_reader.dataOffset();
    // As if the device had just handed every buffer back: the loop fills and queues them.
    for (int index = 0; index < PlayerBufferCount; ++index)
        m_loop.post([this, generation, index] { bufferDone(generation, index); });
    return true;
}

void StreamEngine::stop()
{
    const bool wasActive = m_streamActive;
    m_streamActive = false;
    m_ahead.reset();
    m_waiting.clear();
    if (m_retry != 0)
        m_loop.stopTimer(m_retry);
    m_retry = 0;
    m_reader.seek(0);
    if (wasActive || m_device.isOpen()) {
        m_device.reset();
        m_device.close();
    }
}

void StreamEngine::bufferDone(std::uint64_t generation, int index)
{
    if (!m_streamActive || generation != m_generation || index == kSpliceIndex)
        return;
    // Made by the first refill, so the file is read as it stands when the sound starts.
    if (!m_ahead) {
        const AudioFormat& f = m_reader.format();
        const std::int64_t bytesPerSecond = std::int64_t{f.blockAlign} * f.sampleRate;
        // Enough to fill every play buffer at once: a sound server starts once it holds
        // about that much.
        m_ahead = std::make_unique<ReadAhead>(m_reader.loopedData(), ReadAheadMargin(bytesPerSecond),
                                              static_cast<std::size_t>(PlayerBufferCount * m_reader.bufferSize()));
    }
    const std::span<std::byte> buffer = m_reader.buffer(index).first(static_cast<std::size_t>(m_reader.bufferSize()));
    const std::size_t count = m_ahead->take(buffer);
    if (count > 0) {
        m_device.write(index, buffer.first(count));
    } else if (m_ahead->failed()) {
        fail("The wave file can no longer be read; the output has stopped.");
    } else {
        // The disk is behind: the device still plays what the read-ahead gave before.
        waitForData(index);
    }
}

bool StreamEngine::splice(const std::filesystem::path& file, std::int64_t fadeFrames, const SpliceStart& start)
{
    if (!m_streamActive || !m_ahead)
        return false;
    OpenedWave next = OpenWave(file);
    const AudioFormat format = m_reader.format();
    if (next.openFailed || !next.refusal.empty() || !(next.format == format) || next.dataSize < format.blockAlign)
        return false;
    const std::int64_t at = m_device.cut();
    if (at < 0)
        return false;
    const std::int64_t frameBytes = format.blockAlign;
    const LoopedData old = m_reader.loopedData();
    const std::int64_t oldByte = Wrap(m_originData + at - m_originStream, old.size);
    const std::int64_t newFrames = next.dataSize / frameBytes;
    const std::int64_t newFrame = Wrap(start(oldByte / frameBytes, newFrames), newFrames);
    const LoopedData fresh{next.fd(), next.layout.dataOffset, next.dataSize, next.layout.dataOffset, format.blockAlign};

    const auto fadeBytes = static_cast<std::size_t>(fadeFrames * frameBytes);
    const double tailSeconds = std::max(kSpliceTailSeconds, m_device.outputLatency());
    const auto tailBytes =
        static_cast<std::size_t>(std::llround(tailSeconds * format.sampleRate)) * static_cast<std::size_t>(frameBytes);
    std::vector<std::byte> from(fadeBytes);
    m_splice.assign(fadeBytes + tailBytes, std::byte{0});
    ReadLooped(old, oldByte, from);
    ReadLooped(fresh, newFrame * frameBytes, m_splice);
    Crossfade(from, std::span(m_splice).first(fadeBytes), std::span(m_splice).first(fadeBytes), format);
    // Queued before anything else is done: the device waits for it from the cut on.
    m_device.write(kSpliceIndex, m_splice);

    m_reader.replace(std::move(next));
    const std::int64_t queuedFrames = static_cast<std::int64_t>(m_splice.size()) / frameBytes;
    m_reader.seek(Wrap(newFrame + queuedFrames, newFrames));
    const std::int64_t bytesPerSecond = frameBytes * format.sampleRate;
    m_ahead = std::make_unique<ReadAhead>(m_reader.loopedData(), ReadAheadMargin(bytesPerSecond),
                                          static_cast<std::size_t>(PlayerBufferCount * m_reader.bufferSize()));
    m_originStream = at;
    m_originData = newFrame * frameBytes;
    return true;
}

void StreamEngine::waitForData(int index)
{
    m_waiting.push_back(index);
    if (m_retry != 0)
        return;
    const std::uint64_t generation = m_generation;
    m_retry = m_loop.startTimer(kRetryInterval, false, [this, generation] {
        m_retry = 0;
        std::vector<int> waiting;
        waiting.swap(m_waiting);
        for (const int index : waiting)
            bufferDone(generation, index);
    });
}

void StreamEngine::deviceFailed(std::uint64_t generation, const std::string& text)
{
    if (m_streamActive && generation == m_generation)
        fail(text);
}

void StreamEngine::fail(const std::string& text)
{
    stop();
    m_messages.show(text);
    if (m_onFailure)
        m_onFailure();
}

} // namespace kelvo
