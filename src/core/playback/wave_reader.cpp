#include "core/playback/wave_reader.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

namespace kelvo {

std::int64_t PlayBufferSize(const PlayFormat& f)
{
    const std::int64_t blockAlign = f.blockAlign;
    const std::int64_t product = blockAlign * f.samplesPerSec * f.channels;
    std::int64_t size = static_cast<std::int64_t>(std::nearbyint(static_cast<double>(product) * 0.1));
    size -= size % blockAlign;
    // A very low rate would round to nothing; a buffer always holds at least one frame.
    return std::max(size, blockAlign);
}

void WaveReader::setBeforeOpen(std::function<void()> stopStream)
{
    m_beforeOpen = std::move(stopStream);
}

void WaveReader::open(const std::filesystem::path& path, Messages& messages)
{
    if (m_beforeOpen)
        m_beforeOpen();
    close();
    if (path.empty())
        return;

    OpenedWave wave = OpenWave(path);
    if (wave.openFailed) {
        messages.show("\"" + path.string() + "\" cannot be played: " + wave.refusal + ".");
        return;
    }
    if (!wave.refusal.empty()) {
        messages.show(wave.refusal);
        return;
    }

    m_playFormat = wave.layout.format;
    m_format = wave.format;
    m_dataOffset = wave.layout.dataOffset;
    m_dataSize = wave.dataSize;
    m_bufferSize = PlayBufferSize(m_playFormat);
    m_position = m_dataOffset;
    for (auto& buffer : m_buffers) {
        // Free the old block before the new one is taken, so two sets never coexist.
        std::vector<std::byte>().swap(buffer);
        buffer.resize(static_cast<std::size_t>(m_bufferSize));
    }
    m_wave = std::move(wave);
}

void WaveReader::close()
{
    m_wave = OpenedWave();
}

void WaveReader::seek(std::int64_t sampleIndex)
{
    if (isOpen() && sampleIndex >= 0 && sampleIndex < m_dataSize / m_format.blockAlign)
        m_position = m_dataOffset + m_format.blockAlign * sampleIndex;
}

bool WaveReader::replace(OpenedWave wave)
{
    if (!isOpen() || wave.openFailed || !wave.refusal.empty() || !(wave.format == m_format) ||
        wave.dataSize < m_format.blockAlign)
        return false;
    m_playFormat = wave.layout.format;
    m_dataOffset = wave.layout.dataOffset;
    m_dataSize = wave.dataSize;
    m_position = m_dataOffset;
    m_wave = std::move(wave);
    return true;
}

LoopedData WaveReader::loopedData() const
{
    return {m_wave.fd(), m_dataOffset, m_dataSize, m_position, m_format.blockAlign};
}

} // namespace kelvo
