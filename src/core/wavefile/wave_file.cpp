#include "wavefile/wave_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace kelvo {
namespace {

// Opens the regular file at `path`; on failure sets `error` (an errno value) and `why`.
int OpenRegularFile(const std::filesystem::path& path, int& error, std::string& why)
{
    // Non-blocking, so that opening a FIFO does not wait for a writer.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        error = errno;
        why = std::strerror(error);
        return -1;
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        error = S_ISDIR(status.st_mode) ? EISDIR : EINVAL;
        why = S_ISDIR(status.st_mode) ? "it is a folder" : "it is not a regular file";
        ::close(fd);
        return -1;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

} // namespace

OpenedWave::~OpenedWave()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

OpenedWave::OpenedWave(OpenedWave&& other) noexcept
    : layout(std::move(other.layout))
    , format(other.format)
    , dataSize(other.dataSize)
    , openError(other.openError)
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
        openError = other.openError;
        refusal = std::move(other.refusal);
        m_fd = std::exchange(other.m_fd, -1);
    }
    return *this;
}

int OpenedWave::release()
{
    return std::exchange(m_fd, -1);
}

OpenedWave OpenWave(const std::filesystem::path& path)
{
    OpenedWave wave;
    std::string why;
    const int fd = OpenRegularFile(path, wave.openError, why);
    if (fd < 0) {
        wave.refusal = "it cannot be opened (" + why + ")";
        return wave;
    }
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

std::size_t ReadAt(int fd, std::int64_t offset, std::span<std::byte> into)
{
    std::size_t done = 0;
    while (done < into.size()) {
        const ssize_t got = ::pread(fd, into.data() + done, into.size() - done,
                                    static_cast<off_t>(offset) + static_cast<off_t>(done));
        if (got <= 0)
            break;
        done += static_cast<std::size_t>(got);
    }
    return done;
}

} // namespace kelvo
