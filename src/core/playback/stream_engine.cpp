#include "playback/stream_engine.h"

#include <algorithm>

namespace kelvo {

StreamEngine::StreamEngine(WaveReader& reader, AudioDevice& device, EventLoop& loop, Messages& messages)
    : m_reader(reader)
    , m_device(device)
    , m_loop(loop)
    , m_messages(messages)
{
    m_reader.setBeforeOpen([this] { StopStream(); });
}

StreamEngine::~StreamEngine()
{
    StopStream();
    m_reader.setBeforeOpen(nullptr);
}

void StreamEngine::setOnFailure(std::function<void()> stopped)
{
    m_onFailure = std::move(stopped);
}

bool StreamEngine::StartStream(int outDevice)
{
    if (m_streamActive)
        return true;
    if (!m_reader.WaveFileOpen())
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
    // As if the device had just handed every buffer back: the loop fills and queues them.
    for (int index = 0; index < PlayerBufferCount; ++index)
        m_loop.post([this, generation, index] { bufferDone(generation, index); });
    return true;
}

void StreamEngine::StopStream()
{
    const bool wasActive = m_streamActive;
    m_streamActive = false;
    m_reader.SeekWaveData(0);
    if (wasActive || m_device.isOpen()) {
        m_device.reset();
        m_device.close();
    }
}

void StreamEngine::bufferDone(std::uint64_t generation, int index)
{
    if (!m_streamActive || generation != m_generation)
        return;
    const std::span<std::byte> buffer = m_reader.buffer(index);
    const std::int64_t bufferSize = m_reader.BufferSize();
    std::size_t count = 0;
    // A read that returns nothing at the start of a piece means the file lost its data
    // since it was opened; one rewind is tried before the stream gives up.
    for (int attempt = 0; attempt < 2 && count == 0; ++attempt) {
        m_bytesLeft = std::max<std::int64_t>(m_reader.DataOffset() + m_reader.DataSize() - m_reader.position(), 0);
        if (bufferSize < m_bytesLeft) {
            count = m_reader.read(buffer.first(static_cast<std::size_t>(bufferSize)));
            // A short read is the end of the data as the file now stands.
            if (count < static_cast<std::size_t>(bufferSize))
                m_reader.SeekWaveData(0);
        } else {
            count = m_reader.read(buffer.first(static_cast<std::size_t>(m_bytesLeft)));
            m_reader.SeekWaveData(0);
        }
    }
    if (count == 0) {
        fail("The wave file can no longer be read; the output has stopped.");
        return;
    }
    m_device.write(index, buffer.first(count));
}

void StreamEngine::deviceFailed(std::uint64_t generation, const std::string& text)
{
    if (m_streamActive && generation == m_generation)
        fail(text);
}

void StreamEngine::fail(const std::string& text)
{
    StopStream();
    m_messages.show(text);
    if (m_onFailure)
        m_onFailure();
}

} // namespace kelvo
