#include "core/playback/read_ahead.h"

#include "core/wavefile/wave_file.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>
#include <unistd.h>

namespace kelvo {
namespace {

// Bytes read at a time: large enough that a disk serves them in one go, small enough that
// the first piece is quick.
constexpr std::size_t kPiece = std::size_t{256} << 10;

std::size_t WholeFrames(std::size_t bytes, std::size_t blockAlign)
{
    return bytes - bytes % blockAlign;
}

} // namespace

// Shared by the UI thread and the reading thread, which keeps it alive past the ReadAhead.
struct ReadAhead::Shared {
    ~Shared()
    {
        if (fd >= 0)
            ::close(fd);
    }

    // One piece into the store; false when the thread is done.
    bool readWhole();
    bool readRing();
    void run();

    int fd = -1;
    std::int64_t offset = 0;
    std::size_t size = 0;
    std::size_t blockAlign = 1;
    std::size_t piece = kPiece;
    bool whole = false;
    std::unique_ptr<std::byte[]> store;
    std::size_t capacity = 0;

    std::atomic<bool> quit{false};
    std::atomic<bool> lost{false};
    std::mutex mutex;
    std::condition_variable roomFreed;

    // Whole data: bytes loaded from the data's start, and where the data ends once loaded
    // (earlier than `size` when the file got shorter).
    std::atomic<std::size_t> loaded{0};
    std::atomic<bool> complete{false};
    std::size_t end = 0;

    // Ring: bytes ever written and taken, and the reader's place in the data.
    std::atomic<std::uint64_t> tail{0};
    std::atomic<std::uint64_t> head{0};
    std::size_t readAt = 0;

    // The UI thread's place in the whole data.
    std::size_t takeAt = 0;
};

bool ReadAhead::Shared::readWhole()
{
    const std::size_t at = loaded.load(std::memory_order_relaxed);
    const std::size_t wanted = std::min(piece, size - at);
    const std::size_t got =
        WholeFrames(ReadAt(fd, offset + static_cast<std::int64_t>(at), std::span(store.get() + at, wanted)), blockAlign);
    loaded.store(at + got, std::memory_order_release);
    if (got == wanted && at + got < size)
        return true;
    // A short read is where the data now ends; none at all means it is gone.
    end = at + got;
    if (end == 0)
        lost.store(true);
    complete.store(true, std::memory_order_release);
    return false;
}

bool ReadAhead::Shared::readRing()
{
    std::size_t room = 0;
    {
        std::unique_lock lock(mutex);
        roomFreed.wait(lock, [&] {
            room = capacity - static_cast<std::size_t>(tail.load() - head.load());
            return quit.load() || room >= std::min(piece, capacity);
        });
    }
    if (quit.load())
        return false;
    const std::uint64_t written = tail.load(std::memory_order_relaxed);
    const std::size_t slot = static_cast<std::size_t>(written % capacity);
    const std::size_t wanted = std::min({room, piece, capacity - slot, size - readAt});
    const std::size_t got =
        WholeFrames(ReadAt(fd, offset + static_cast<std::int64_t>(readAt), std::span(store.get() + slot, wanted)), blockAlign);
    if (got == 0 && readAt == 0) {
        lost.store(true);
        return false;
    }
    tail.store(written + got, std::memory_order_release);
    readAt += got;
    // The end of the data, or a short read: the end of the data as the file now stands.
    if (readAt == size || got < wanted)
        readAt = 0;
    return true;
}

void ReadAhead::Shared::run()
{
    if (whole) {
        while (!quit.load() && readWhole()) {}
    } else {
        while (readRing()) {}
    }
}

ReadAhead::ReadAhead(const LoopedData& data, std::size_t margin, std::size_t first, std::size_t wholeLimit)
    : m_shared(std::make_shared<Shared>())
{
    Shared& s = *m_shared;
    s.fd = ::dup(data.fd);
    s.offset = data.offset;
    s.blockAlign = static_cast<std::size_t>(std::max(data.blockAlign, 1));
    s.size = WholeFrames(static_cast<std::size_t>(std::max<std::int64_t>(data.size, 0)), s.blockAlign);
    s.piece = std::max(WholeFrames(kPiece, s.blockAlign), s.blockAlign);
    s.whole = s.size <= wholeLimit;
    s.capacity = s.whole ? s.size : std::max(WholeFrames(margin, s.blockAlign), s.piece);
    if (s.fd < 0 || s.size == 0) {
        s.lost.store(true);
        s.complete.store(true);
        return;
    }
    s.store = std::make_unique_for_overwrite<std::byte[]>(s.capacity);
    const auto start = static_cast<std::size_t>(std::clamp<std::int64_t>(data.start - data.offset, 0, data.size));
    // Half the ring at most: a full ring would wait for room that only a take can make.
    first = std::min(first, s.whole ? s.capacity : s.capacity / 2);
    if (s.whole) {
        s.takeAt = WholeFrames(start, s.blockAlign);
        do {
            if (!s.readWhole())
                return;
        } while (s.loaded.load() < first);
    } else {
        s.readAt = WholeFrames(start, s.blockAlign) % s.size;
        do {
            if (!s.readRing())
                return;
        } while (s.tail.load() < first);
    }
    std::thread([shared = m_shared] { shared->run(); }).detach();
}

ReadAhead::~ReadAhead()
{
    {
        const std::lock_guard lock(m_shared->mutex);
        m_shared->quit.store(true);
    }
    m_shared->roomFreed.notify_one();
}

std::size_t ReadAhead::take(std::span<std::byte> into)
{
    Shared& s = *m_shared;
    const std::size_t wanted = WholeFrames(into.size(), s.blockAlign);
    if (s.whole) {
        const bool complete = s.complete.load(std::memory_order_acquire);
        const std::size_t end = complete ? s.end : s.size;
        if (s.takeAt >= end)
            s.takeAt = 0;
        const std::size_t ready = complete ? end : s.loaded.load(std::memory_order_acquire);
        const std::size_t count = std::min(wanted, ready > s.takeAt ? ready - s.takeAt : 0);
        if (count == 0)
            return 0;
        std::memcpy(into.data(), s.store.get() + s.takeAt, count);
        s.takeAt += count;
        return count;
    }
    const std::uint64_t taken = s.head.load(std::memory_order_relaxed);
    const std::size_t count = std::min(wanted, static_cast<std::size_t>(s.tail.load(std::memory_order_acquire) - taken));
    if (count == 0)
        return 0;
    const std::size_t slot = static_cast<std::size_t>(taken % s.capacity);
    const std::size_t first = std::min(count, s.capacity - slot);
    std::memcpy(into.data(), s.store.get() + slot, first);
    std::memcpy(into.data() + first, s.store.get(), count - first);
    {
        const std::lock_guard lock(s.mutex);
        s.head.store(taken + count, std::memory_order_release);
    }
    s.roomFreed.notify_one();
    return count;
}

bool ReadAhead::failed() const
{
    const Shared& s = *m_shared;
    return s.lost.load() && (s.whole || s.tail.load() == s.head.load());
}

bool ReadAhead::inMemory() const
{
    return m_shared->whole && m_shared->complete.load() && !m_shared->lost.load();
}

std::size_t ReadAheadMargin(std::int64_t bytesPerSecond)
{
    return std::max<std::size_t>(static_cast<std::size_t>(std::max<std::int64_t>(bytesPerSecond, 0)) * 8, std::size_t{1} << 20);
}

} // namespace kelvo
