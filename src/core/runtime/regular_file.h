#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace kelvo {

// A whole file read into memory, or why it was not.
struct RegularFileContents {
    std::string bytes;
    // "cannot be read: Permission denied", "is not a regular file", or the size that is
    // over the limit ("is 300000000 bytes long"); empty on success.
    std::string problem;
    bool missing = false;  // the file does not exist (problem says so too)
    bool tooLarge = false; // larger than the limit: nothing was read
    std::int64_t size = 0; // the file's size, when it is a regular file
};

// Reads the regular file at `path` if it holds at most `limit` bytes. Never blocks on
// a FIFO or a device: anything but a regular file is refused before a byte is read.
RegularFileContents ReadRegularFile(const std::filesystem::path& path, std::int64_t limit);

} // namespace kelvo
