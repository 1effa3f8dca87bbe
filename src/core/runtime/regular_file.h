#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

namespace kelvo {

// A regular file opened for reading, or why it was not.
struct OpenedRegularFile {
    enum class Failure { None, System, Folder, NotRegular };
    int fd = -1; // the caller closes it
    Failure failure = Failure::None;
    int error = 0; // errno, for Failure::System
    std::int64_t size = 0;

    // "No such file or directory", "it is a folder", "it is not a regular file".
    std::string why() const;
};

// Opens the file at `path` for reading if it is a regular file. Never blocks on a FIFO or a
// device: anything else is refused before a byte is read.
OpenedRegularFile OpenRegularFile(const std::filesystem::path& path);

// Reads up to `into.size()` bytes at `offset`; returns how many were read (fewer at the end of
// the file or on an error).
std::size_t ReadAt(int fd, std::int64_t offset, std::span<std::byte> into);

// A whole file read into memory, or why it was not.
struct RegularFileContents {
    std::string bytes;
    // "cannot be read: Permission denied", "is not a regular file", or the size that is
    // over the limit ("is 300000000 bytes long"); empty on success.
    std::string problem;
    bool missing = false;    // the file does not exist (problem says so too)
    bool notRegular = false; // a folder, device or pipe: nothing was read
    bool tooLarge = false;   // larger than the limit: nothing was read
    std::int64_t size = 0;   // the file's size, when it is a regular file
};

// Reads the regular file at `path` if it holds at most `limit` bytes. Never blocks on
// a FIFO or a device: anything but a regular file is refused before a byte is read.
RegularFileContents ReadRegularFile(const std::filesystem::path& path, std::int64_t limit);

} // namespace kelvo
