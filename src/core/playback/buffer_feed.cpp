#include "core/playback/buffer_feed.h"

#include <algorithm>
#include <cstring>

namespace kelvo {

void BufferFeed::configure(const AudioFormat& format, std::int64_t lateNanoseconds, std::int64_t steadyFrames)
{
    m_blockAlign = static_cast<std::size_t>(format.blockAlign);
    m_silence = format.encoding == SampleEncoding::Unsigned8 ? std::byte{0x80} : std::byte{0};
    m_lateNanoseconds = lateNanoseconds;
    m_steadyFrames = steadyFrames;
    m_firstSound.store(0);
    m_current = -1;
}

void BufferFeed::restart()
{
    m_current = -1;
    m_lastCallback = 0;
    m_inHostGap = false;
    m_framesHanded = 0;
    m_starved = true;
}

void BufferFeed::handBackAll()
{
    if (m_current >= 0)
        m_finished.push(m_current);
    m_current = -1;
    for (int index; m_queued.pop(index);)
        m_finished.push(index);
}

void BufferFeed::clear()
{
    m_current = -1;
    for (int index; m_queued.pop(index);) {}
    for (int index; m_finished.pop(index);) {}
}

bool BufferFeed::queue(int index, std::span<const std::byte> bytes)
{
    m_slots[static_cast<std::size_t>(index)] = {bytes.data(), bytes.size()};
    return m_queued.push(index);
}

bool BufferFeed::fill(std::byte* output, unsigned long frames, bool hostUnderflow, std::int64_t now)
{
    // A sound server's plugin may keep its own underruns to itself, but once the sound
    // flows, a callback that comes later than the device's whole buffer lasts means the
    // sound has run out. Until then a server may take its time to start the stream.
    const bool late = m_framesHanded > m_steadyFrames && now - m_lastCallback > m_lateNanoseconds;
    m_lastCallback = now;
    m_framesHanded += static_cast<std::int64_t>(frames);
    // A host may flag several callbacks in a row while it recovers: one gap.
    const bool gap = hostUnderflow || late;
    if (gap && !m_inHostGap)
        m_underruns.fetch_add(1, std::memory_order_relaxed);
    m_inHostGap = gap;
    std::size_t wanted = frames * m_blockAlign;
    bool handedBack = false;
    while (wanted > 0) {
        if (m_current < 0) {
            if (!m_queued.pop(m_current))
                break;
            const Slot& slot = m_slots[static_cast<std::size_t>(m_current)];
            m_offset = 0;
            // Only whole frames play: a trailing partial frame would swap the channels.
            m_currentBytes = slot.bytes - slot.bytes % m_blockAlign;
        }
        const Slot& slot = m_slots[static_cast<std::size_t>(m_current)];
        const std::size_t count = std::min(wanted, m_currentBytes - m_offset);
        if (count > 0) {
            std::memcpy(output, slot.data + m_offset, count);
            if (m_firstSound.load(std::memory_order_relaxed) == 0)
                m_firstSound.store(now, std::memory_order_relaxed);
            m_starved = false;
        }
        output += count;
        wanted -= count;
        m_offset += count;
        if (m_offset == m_currentBytes) {
            m_finished.push(m_current);
            m_current = -1;
            handedBack = true;
        }
    }
    if (wanted > 0) {
        std::memset(output, std::to_integer<int>(m_silence), wanted);
        // Ran dry after playing: count the gap once.
        if (!m_starved)
            m_underruns.fetch_add(1, std::memory_order_relaxed);
        m_starved = true;
    }
    return handedBack;
}

} // namespace kelvo
