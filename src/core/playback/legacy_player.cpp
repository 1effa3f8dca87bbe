#include "core/playback/legacy_player.h"

#include "core/wavefile/wave_file.h"

#include <new>
#include <string>

namespace kelvo {
namespace {

// Reads the whole sound data of a wave file; returns the message when it cannot be played.
std::string LoadWave(const std::filesystem::path& path, AudioFormat& format, std::vector<std::byte>& data)
{
    OpenedWave wave = OpenWave(path);
    if (wave.refusal.empty() && wave.dataSize > kLegacyDataLimit)
        wave.refusal = "its sound data (" + std::to_string(wave.dataSize >> 20) +
                       " MB) is more than the simple looping player holds (" + std::to_string(kLegacyDataLimit >> 20) +
                       " MB); clear \"Use Legacy Multimedia playback driver\" in CFG OSC to play it through the stream engine";
    if (wave.refusal.empty()) {
        format = wave.format;
        try {
            data.resize(static_cast<std::size_t>(wave.dataSize));
        } catch (const std::bad_alloc&) {
            data = {};
            return "\"" + path.string() + "\" cannot be played: there is not enough memory to load it";
        }
        const std::size_t done = ReadAt(wave.fd(), wave.layout.dataOffset, data);
        data.resize(done - done % static_cast<std::size_t>(format.blockAlign));
        if (data.empty())
            wave.refusal = "The wave file holds no sound data";
    }
    return wave.refusal.empty() ? std::string() : "\"" + path.string() + "\" cannot be played: " + wave.refusal;
}

} // namespace

LegacyPlayer::LegacyPlayer(AudioDevice& device, Messages& messages)
    : m_device(device)
    , m_messages(messages)
{
}

LegacyPlayer::~LegacyPlayer()
{
    silence();
}

void LegacyPlayer::setOnFailure(std::function<void()> stopped)
{
    m_onFailure = std::move(stopped);
}

bool LegacyPlayer::play(const std::filesystem::path& path, bool loop)
{
    // The device must give the old data back before it is replaced.
    silence();
    AudioFormat format;
    if (const std::string error = LoadWave(path, format, m_data); !error.empty()) {
        m_messages.show(error);
        return false;
    }
    const std::uint64_t generation = ++m_generation;
    const std::string error = m_device.open(
        -1, format, [this, generation](int index) { bufferDone(generation, index); },
        [this, generation](const std::string& text) { deviceFailed(generation, text); });
    if (!error.empty()) {
        m_messages.show(error);
        return false;
    }
    m_looping = loop;
    // Two entries over the same data keep the device fed while one of them is re-queued.
    m_device.write(0, m_data);
    if (loop)
        m_device.write(1, m_data);
    return true;
}

void LegacyPlayer::silence()
{
    m_looping = false;
    ++m_generation;
    if (m_device.isOpen()) {
        m_device.reset();
        m_device.close();
    }
}

void LegacyPlayer::bufferDone(std::uint64_t generation, int index)
{
    if (generation != m_generation)
        return;
    if (m_looping)
        m_device.write(index, m_data);
    else
        silence();
}

void LegacyPlayer::deviceFailed(std::uint64_t generation, const std::string& text)
{
    if (generation != m_generation)
        return;
    const bool wasLooping = m_looping;
    silence();
    m_messages.show(text);
    if (wasLooping && m_onFailure)
        m_onFailure();
}

} // namespace kelvo
