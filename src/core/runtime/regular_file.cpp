#include "core/runtime/regular_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kelvo {

std::string OpenedRegularFile::why() const
{
    switch (failure) {
    case Failure::None: return {};
    case Failure::System: return std::strerror(error);
    case Failure::Folder: return "it is a folder";
    case Failure::NotRegular: return "it is not a regular file";
    }
    return {};
}

OpenedRegularFile OpenRegularFile(const std::filesystem::path& path)
{
    OpenedRegularFile file;
    // Not blocking: opening a FIFO must not wait for a writer.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    struct stat status {};
    if (fd < 0 || ::fstat(fd, &status) != 0) {
        file.failure = OpenedRegularFile::Failure::System;
        file.error = errno;
    } else if (!S_ISREG(status.st_mode)) {
        file.failure = S_ISDIR(status.st_mode) ? OpenedRegularFile::Failure::Folder : OpenedRegularFile::Failure::NotRegular;
    } else {
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
        file.fd = fd;
        file.size = status.st_size;
        return file;
    }
    if (fd >= 0)
        ::close(fd);
    return file;
}

std::size_t ReadAt(int fd, std::int64_t offset, std::span<std::byte> into)
{
    std::size_t done = 0;
    while (done < into.size()) {
        const ssize_t got =
            ::pread(fd, into.data() + done, into.size() - done, static_cast<off_t>(offset) + static_cast<off_t>(done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        done += static_cast<std::size_t>(got);
    }
    return done;
}

RegularFileContents ReadRegularFile(const std::filesystem::path& path, std::int64_t limit)
{
    RegularFileContents result;
    const OpenedRegularFile file = OpenRegularFile(path);
    using Failure = OpenedRegularFile::Failure;
    if (file.failure == Failure::System) {
        result.missing = file.error == ENOENT;
        result.problem = "cannot be read: " + file.why();
        return result;
    }
    if (file.failure != Failure::None) {
        result.notRegular = true;
        result.problem = "is not a regular file";
        return result;
    }
    result.size = file.size;
    if (file.size > limit) {
        result.tooLarge = true;
        result.problem = "is " + std::to_string(file.size) + " bytes long";
    } else {
        result.bytes.resize(static_cast<std::size_t>(file.size));
        std::size_t done = 0;
        while (done < result.bytes.size()) {
            const ssize_t got = ::read(file.fd, result.bytes.data() + done, result.bytes.size() - done);
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0) {
                result.problem = std::string("cannot be read: ") + std::strerror(errno);
                break;
            }
            if (got == 0)
                break;
            done += static_cast<std::size_t>(got);
        }
        result.bytes.resize(done);
    }
    ::close(file.fd);
    if (!result.problem.empty())
        result.bytes.clear();
    return result;
}

} // namespace kelvo
