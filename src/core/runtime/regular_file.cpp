#include "runtime/regular_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kelvo {

RegularFileContents ReadRegularFile(const std::filesystem::path& path, std::int64_t limit)
{
    RegularFileContents result;
    // Not blocking: opening a FIFO must not wait for a writer.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        result.missing = errno == ENOENT;
        result.problem = std::string("cannot be read: ") + std::strerror(errno);
        return result;
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0) {
        result.problem = std::string("cannot be read: ") + std::strerror(errno);
    } else if (!S_ISREG(status.st_mode)) {
        result.problem = "is not a regular file";
    } else if (status.st_size > limit) {
        result.size = status.st_size;
        result.tooLarge = true;
        result.problem = "is " + std::to_string(status.st_size) + " bytes long";
    } else {
        result.size = status.st_size;
        result.bytes.resize(static_cast<std::size_t>(status.st_size));
        std::size_t done = 0;
        while (done < result.bytes.size()) {
            const ssize_t got = ::read(fd, result.bytes.data() + done, result.bytes.size() - done);
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
    ::close(fd);
    if (!result.problem.empty())
        result.bytes.clear();
    return result;
}

} // namespace kelvo
