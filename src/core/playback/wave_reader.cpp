#include "playback/wave_reader.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace kelvo {
namespace {

// Opens a regular file for reading; a FIFO or device must not block or stream forever.
int OpenRegularFile(const std::filesystem::path& path, int& error)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        error = errno;
        return -1;
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        error = S_ISDIR(status.st_mode) ? EISDIR : EINVAL;
        ::close(fd);
        return -1;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

} // namespace

std::int64_t PlayBufferSize(const PlayFormat& f)
{
    const std::int64_t blockAlign = f.blockAlign;
    const std::int64_t product = blockAlign * f.samplesPerSec * f.channels;
    std::int64_t size = static_cast<std::int64_t>(std::nearbyint(static_cast<double>(product) * 0.1));
    size -= size % blockAlign;
    // A very low rate would round to nothing; a buffer always holds at least one frame.
    return std::max(size, blockAlign);
}

WaveReader::~WaveReader()
{
    CloseWaveFile();
}

void WaveReader::setBeforeOpen(std::function<void()> stopStream)
{
    m_beforeOpen = std::move(stopStream);
}

void WaveReader::OpenWaveFile(const std::filesystem::path& path, Messages& messages)
{
    if (m_beforeOpen)
        m_beforeOpen();
    CloseWaveFile();
    if (path.empty())
        return;

    int error = 0;
    const int fd = OpenRegularFile(path, error);
    if (fd < 0) {
        messages.show("Error opening input file, rc = " + std::to_string(error));
        return;
    }
    const WaveLayout layout = WalkWaveChunks(fd);
    std::string refusal = layout.error;
    std::optional<AudioFormat> format;
    if (refusal.empty())
        format = PlayableFormat(layout, refusal);
    const std::int64_t dataSize = format ? PlayableDataSize(layout, format->blockAlign) : 0;
    if (refusal.empty() && dataSize == 0)
        refusal = "The wave file holds no sound data";
    if (!refusal.empty()) {
        ::close(fd);
        messages.show(refusal);
        return;
    }

    m_playFormat = layout.format;
    m_format = *format;
    m_dataOffset = layout.dataOffset;
    m_dataSize = dataSize;
    m_bufferSize = PlayBufferSize(m_playFormat);
    m_position = m_dataOffset;
    for (auto& buffer : m_buffers) {
        // Free the old block before the new one is taken, so two sets never coexist.
        std::vector<std::byte>().swap(buffer);
        buffer.resize(static_cast<std::size_t>(m_bufferSize));
    }
    m_fd = fd;
}

void WaveReader::CloseWaveFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

void WaveReader::SeekWaveData(std::int64_t sampleIndex)
{
    if (WaveFileOpen() && sampleIndex >= 0 && sampleIndex < m_dataSize / m_format.blockAlign)
        m_position = m_dataOffset + m_format.blockAlign * sampleIndex;
}

std::size_t WaveReader::read(std::span<std::byte> into)
{
    if (!WaveFileOpen())
        return 0;
    std::size_t done = 0;
    while (done < into.size()) {
        const ssize_t got = ::pread(m_fd, into.data() + done, into.size() - done, static_cast<off_t>(m_position));
        if (got <= 0)
            break;
        done += static_cast<std::size_t>(got);
        m_position += got;
    }
    return done;
}

} // namespace kelvo
