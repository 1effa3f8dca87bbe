#include "runtime/atomic_file.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace kelvo {
namespace {

std::filesystem::path TemporaryBeside(const std::filesystem::path& target)
{
    static std::atomic<unsigned> counter{0};
    auto name = target.filename().string();
    name = "." + name + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
    return target.parent_path() / name;
}

} // namespace

AtomicFileWriter::AtomicFileWriter(std::filesystem::path target)
    : m_target(std::move(target))
    , m_temporary(TemporaryBeside(m_target))
{
    m_fd = ::open(m_temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (m_fd < 0)
        fail("cannot be created");
}

AtomicFileWriter::~AtomicFileWriter()
{
    discard();
}

void AtomicFileWriter::fail(std::string_view what)
{
    if (m_error.empty())
        m_error = "\"" + m_target.string() + "\" " + std::string(what) + ": " + std::strerror(errno);
}

void AtomicFileWriter::discard()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
        ::unlink(m_temporary.c_str());
    }
}

bool AtomicFileWriter::write(std::span<const std::byte> bytes)
{
    if (m_fd < 0)
        return false;
    const auto* data = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(m_fd, data, left);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            fail("cannot be written");
            discard();
            return false;
        }
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    return true;
}

bool AtomicFileWriter::write(std::string_view text)
{
    return write(std::as_bytes(std::span(text.data(), text.size())));
}

bool AtomicFileWriter::commit()
{
    if (m_fd < 0)
        return false;
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0) {
        fail("cannot be written");
        ::unlink(m_temporary.c_str());
        return false;
    }
    if (std::rename(m_temporary.c_str(), m_target.c_str()) != 0) {
        fail("cannot be replaced");
        ::unlink(m_temporary.c_str());
        return false;
    }
    return true;
}

std::string WriteFileAtomically(const std::filesystem::path& target, std::string_view contents)
{
    AtomicFileWriter writer(target);
    writer.write(contents);
    writer.commit();
    return writer.error();
}

} // namespace kelvo
