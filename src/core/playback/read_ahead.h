#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

namespace kelvo {

// Where a looped file's sound data lies, and where playing starts.
struct LoopedData {
    int fd = -1;             // the open file; the read-ahead reads through its own copy
    std::int64_t offset = 0; // byte where the data starts
    std::int64_t size = 0;   // bytes of whole frames
    std::int64_t start = 0;  // byte where playing starts, inside the data
    int blockAlign = 1;
};

// Reads a file's sound data ahead of the output on a thread of its own, looping at the end
// of the data, so that a read that waits seconds on a busy disk never reaches the output.
// Data up to `wholeLimit` bytes is read once and then played from memory; a longer file
// is kept `margin` bytes ahead. A short read is the end of the data as the file now stands,
// as it is for the stream engine; a file that holds nothing where its data starts has
// lost it, and failed() says so once what was read ahead has been taken.
class ReadAhead {
public:
    static constexpr std::size_t kWholeLimit = std::size_t{64} << 20;

    // Reads `first` bytes (at least one piece) before it returns, so a start has enough sound
    // to prime the device at once; the rest follows on the reading thread. UI thread.
    ReadAhead(const LoopedData& data, std::size_t margin, std::size_t first = 0, std::size_t wholeLimit = kWholeLimit);
    // Lets the reading thread go without waiting for a read in progress: a stalled disk
    // never holds up a stop.
    ~ReadAhead();
    ReadAhead(const ReadAhead&) = delete;
    ReadAhead& operator=(const ReadAhead&) = delete;

    // Copies up to `into.size()` bytes of the looped data that are ready, whole frames only,
    // and never waits; a piece ends where the data does. UI thread only.
    std::size_t take(std::span<std::byte> into);

    // True when nothing is ready and the file no longer holds data to read.
    bool failed() const;
    // True when the whole data is in memory and the file is no longer read.
    bool inMemory() const;

private:
    struct Shared;
    std::shared_ptr<Shared> m_shared;
};

// The read-ahead margin for a stream of `bytesPerSecond`: eight seconds, at least 1 MiB.
std::size_t ReadAheadMargin(std::int64_t bytesPerSecond);

} // namespace kelvo
