#include "core/runtime/atomic_file.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <regex>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace kelvo {
namespace {

// Where a write to `target` goes: through symbolic links to the file they name, so that
// the rename replaces that file and not a link. A loop of links ends after 40 steps.
std::filesystem::path Destination(std::filesystem::path target)
{
    for (int step = 0; step < 40; ++step) {
        std::error_code error;
        if (!std::filesystem::is_symlink(target, error))
            break;
        const auto next = std::filesystem::read_symlink(target, error);
        if (error)
            break;
        target = next.is_absolute() ? next : target.parent_path() / next;
    }
    return target;
}

std::string ErrnoText(const std::filesystem::path& file, std::string_view what)
{
    return "\"" + file.string() + "\" " + std::string(what) + ": " + std::strerror(errno);
}

// Why a save must not replace what lies at `target`; empty when it may (a regular file with
// one name, or nothing yet). A rename over a device node or a pipe would put a plain file in
// its place, and over a file with other names would leave those names with the old content.
std::string Unreplaceable(const std::filesystem::path& target, const struct stat& status)
{
    const std::string name = "\"" + target.string() + "\"";
    if (S_ISDIR(status.st_mode))
        return name + " is a folder: a save replaces only a file";
    if (!S_ISREG(status.st_mode))
        return name + " is not a regular file (a device or a pipe): a save replaces only a regular file";
    if (status.st_nlink > 1)
        return name + " has " + std::to_string(status.st_nlink) +
               " names (hard links): replacing it would leave the other names with the old content, "
               "so it is kept as it is; save under another name";
    return {};
}

std::filesystem::path TemporaryBeside(const std::filesystem::path& target)
{
    static std::atomic<unsigned> counter{0};
    auto name = target.filename().string();
    name = "." + name + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
    return target.parent_path() / name;
}

} // namespace

AtomicFileWriter::AtomicFileWriter(std::filesystem::path target)
    : m_target(Destination(std::move(target)))
    , m_temporary(TemporaryBeside(m_target))
{
}

bool AtomicFileWriter::open()
{
    if (m_fd >= 0 || m_opened)
        return m_fd >= 0;
    m_opened = true;
    if (!mayReplace())
        return false;
    m_fd = ::open(m_temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (m_fd < 0) {
        fail("cannot be created");
        return false;
    }
    // The new file takes the old one's permissions and, where we may, its owner and group;
    // ownership first, as a change of owner clears the set-id bits.
    if (m_replaced && S_ISREG(m_replaced->st_mode)) {
        if (::fchown(m_fd, m_replaced->st_uid, m_replaced->st_gid) != 0)
            static_cast<void>(::fchown(m_fd, static_cast<uid_t>(-1), m_replaced->st_gid));
        static_cast<void>(::fchmod(m_fd, m_replaced->st_mode & 07777));
    }
    return true;
}

bool AtomicFileWriter::mayReplace()
{
    struct stat status {};
    if (::stat(m_target.c_str(), &status) != 0) {
        m_replaced.reset();
        return true;
    }
    m_replaced = status;
    // Whatever is kept as the backup is moved aside whole, not replaced.
    const bool movedAside = !m_backup.empty() && !(S_ISREG(status.st_mode) && status.st_nlink > 1);
    const std::string refusal = movedAside ? std::string() : Unreplaceable(m_target, status);
    if (!refusal.empty() && m_error.empty())
        m_error = refusal;
    return refusal.empty();
}

AtomicFileWriter::~AtomicFileWriter()
{
    discard();
}

void AtomicFileWriter::fail(std::string_view what)
{
    if (m_error.empty())
        m_error = ErrnoText(m_target, what);
}

void AtomicFileWriter::keepOldAs(std::filesystem::path backup)
{
    m_backup = std::move(backup);
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
    if (!open())
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
    if (!open())
        return false;
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0) {
        fail("cannot be written");
        ::unlink(m_temporary.c_str());
        return false;
    }
    // What lies at the target may have changed while the file was written.
    if (!mayReplace()) {
        ::unlink(m_temporary.c_str());
        return false;
    }
    if (!m_backup.empty() && std::rename(m_target.c_str(), m_backup.c_str()) != 0 && errno != ENOENT) {
        fail("cannot be kept as " + m_backup.filename().string());
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

int RemoveStaleTemporaries(const std::filesystem::path& folder)
{
    int removed = 0;
    std::error_code error;
    for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error)) {
        // ".<name>.tmp-<pid>-<n>", as TemporaryBeside makes them.
        static const std::regex temporary(R"(\..+\.tmp-([0-9]{1,9})-[0-9]+)");
        std::smatch match;
        const std::string name = entry->path().filename().string();
        if (!std::regex_match(name, match, temporary))
            continue;
        const auto pid = static_cast<pid_t>(std::stol(match[1].str()));
        const bool running = pid > 0 && (::kill(pid, 0) == 0 || errno == EPERM);
        std::error_code ignored;
        if (!running && entry->is_regular_file(ignored) && std::filesystem::remove(entry->path(), ignored))
            ++removed;
    }
    return removed;
}

std::string WriteFileAtomically(const std::filesystem::path& target, std::string_view contents)
{
    AtomicFileWriter writer(target);
    writer.write(contents);
    writer.commit();
    return writer.error();
}

std::string CopyFileAtomically(const std::filesystem::path& source, const std::filesystem::path& target)
{
    std::error_code same;
    if (std::filesystem::equivalent(source, target, same))
        return {};
    const int in = ::open(source.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (in < 0)
        return ErrnoText(source, "cannot be read");
    struct stat status {};
    if (::fstat(in, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(in);
        return "\"" + source.string() + "\" is not a regular file";
    }
    AtomicFileWriter out(target);
    std::vector<std::byte> chunk(std::size_t{1} << 20);
    std::string readError;
    for (;;) {
        const ssize_t got = ::read(in, chunk.data(), chunk.size());
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            readError = ErrnoText(source, "cannot be read");
            break;
        }
        if (got == 0) {
            out.commit();
            break;
        }
        if (!out.write(std::span(chunk.data(), static_cast<std::size_t>(got))))
            break;
    }
    ::close(in);
    return readError.empty() ? out.error() : readError;
}

} // namespace kelvo
