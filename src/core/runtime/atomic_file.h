#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <sys/stat.h>

namespace kelvo {

// Writes a whole file through a temporary file in the same folder that is renamed
// over the target only when every byte is written, so a full disk or a crash never
// leaves a truncated file behind. Not committing discards the temporary. A target that
// is a symbolic link is written where the link points. Only a regular file with a single
// name is replaced (a folder, device, pipe or hard-linked file is refused with a message),
// and the new file keeps its permissions and, where permitted, its owner and group.
class AtomicFileWriter {
public:
    explicit AtomicFileWriter(std::filesystem::path target);
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    // Before the target is replaced, the old file is renamed to `backup` (a file that
    // cannot be read is kept too); when that fails, the target is not replaced.
    void keepOldAs(std::filesystem::path backup);

    bool write(std::span<const std::byte> bytes);
    bool write(std::string_view text);
    // Closes the temporary and renames it over the target.
    bool commit();

    // What went wrong, naming the file; empty while all is well.
    const std::string& error() const { return m_error; }

private:
    void fail(std::string_view what);
    // Creates the temporary on the first write; false when it cannot or may not.
    bool open();
    // Whether the target is nothing yet or a file a save may replace; records its status.
    bool mayReplace();
    void discard();

    std::filesystem::path m_target;
    std::filesystem::path m_temporary;
    std::filesystem::path m_backup;
    std::optional<struct stat> m_replaced;
    int m_fd = -1;
    bool m_opened = false; // open() has run: m_fd < 0 now means failed or finished
    std::string m_error;
};

// Removes the temporaries that writers of processes no longer running left in `folder`
// (a kill -9 during a render leaves one as large as the signal). A temporary of a running
// process, perhaps another copy of the program, is left alone. Returns how many went.
int RemoveStaleTemporaries(const std::filesystem::path& folder);

// Writes `contents` as the whole file at `target`; returns the error text, empty on success.
[[nodiscard]] std::string WriteFileAtomically(const std::filesystem::path& target, std::string_view contents);

// Copies the regular file `source` to `target` in the same way, so a target that exists
// stays whole when the copy fails. Copying a file onto itself does nothing. Returns the
// error text naming the file that failed and why ("No space left on device"), empty on success.
[[nodiscard]] std::string CopyFileAtomically(const std::filesystem::path& source, const std::filesystem::path& target);

} // namespace kelvo
