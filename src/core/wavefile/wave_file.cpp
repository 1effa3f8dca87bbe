#include "core/wavefile/wave_file.h"

#include "core/runtime/regular_file.h"

#include <unistd.h>
#include <utility>

namespace kelvo {

OpenedWave::~OpenedWave()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

OpenedWave::OpenedWave(OpenedWave&& other) noexcept
    : layout(std::move(other.layout))
    , format(other.format)
    , dataSize(other.dataSize)
    , openFailed(other.openFailed)
    , refusal(std::move(other.refusal))
    , m_fd(std::exchange(other.m_fd, -1))
{
}

OpenedWave& OpenedWave::operator=(OpenedWave&& other) noexcept
{
    if (this != &other) {
        if (m_fd >= 0)
            ::close(m_fd);
        layout = std::move(other.layout);
        format = other.format;
        dataSize = other.dataSize;
        openFailed = other.openFailed;
        refusal = std::move(other.refusal);
        m_fd = std::exchange(other.m_fd, -1);
    }
    return *this;
}

OpenedWave OpenWave(const std::filesystem::path& path)
{
    OpenedWave wave;
    const OpenedRegularFile file = OpenRegularFile(path);
    if (file.fd < 0) {
        wave.openFailed = true;
        wave.refusal = "it cannot be opened (" + file.why() + ")";
        return wave;
    }
    const int fd = file.fd;
    wave.m_fd = fd;
    wave.layout = WalkWaveChunks(fd);
    wave.refusal = wave.layout.error;
    if (wave.refusal.empty()) {
        if (const auto playable = PlayableFormat(wave.layout, wave.refusal))
            wave.format = *playable;
    }
    if (wave.refusal.empty())
        wave.dataSize = PlayableDataSize(wave.layout, wave.format.blockAlign);
    if (wave.refusal.empty() && wave.dataSize == 0)
        wave.refusal = "The wave file holds no sound data";
    if (!wave.refusal.empty()) {
        ::close(std::exchange(wave.m_fd, -1));
        wave.dataSize = 0;
    }
    return wave;
}

} // namespace kelvo
