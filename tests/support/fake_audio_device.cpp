#include "support/fake_audio_device.h"

namespace kelvo::test {

std::string FakeAudioDevice::open(int index, const AudioFormat& format, BufferDone done, Failure failed)
{
    if (!openError.empty())
        return openError;
    close();
    ++opens;
    lastIndex = index;
    lastFormat = format;
    m_done = std::move(done);
    m_failed = std::move(failed);
    m_open = true;
    return {};
}

void FakeAudioDevice::write(int index, std::span<const std::byte> bytes)
{
    if (!m_open)
        return;
    writtenSizes.push_back(bytes.size());
    m_queued.push_back({index, bytes});
}

int FakeAudioDevice::play(int count)
{
    int playedCount = 0;
    for (; playedCount < count; ++playedCount) {
        if (m_queued.empty()) {
            ++m_underruns;
            break;
        }
        const Queued buffer = m_queued.front();
        m_queued.pop_front();
        const std::size_t whole = buffer.bytes.size() - buffer.bytes.size() % static_cast<std::size_t>(lastFormat.blockAlign);
        played.insert(played.end(), buffer.bytes.begin(), buffer.bytes.begin() + static_cast<std::ptrdiff_t>(whole));
        handBack(buffer.index);
    }
    return playedCount;
}

void FakeAudioDevice::reset()
{
    while (!m_queued.empty()) {
        handBack(m_queued.front().index);
        m_queued.pop_front();
    }
}

void FakeAudioDevice::close()
{
    m_open = false;
    m_queued.clear();
}

void FakeAudioDevice::breakDown(const std::string& text)
{
    m_loop.post([failed = m_failed, text] {
        if (failed)
            failed(text);
    });
}

void FakeAudioDevice::handBack(int index)
{
    m_loop.post([done = m_done, index] { done(index); });
}

} // namespace kelvo::test
