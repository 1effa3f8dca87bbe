#pragma once

#include <array>
#include <atomic>
#include <cstddef>

namespace kelvo {

// A single-producer single-consumer queue of buffer indices between the UI thread and a
// real-time callback: no locks, no allocation. What the producer wrote before a push is
// visible to the consumer after the matching pop.
template <std::size_t Capacity> class IndexQueue {
    static_assert((Capacity & (Capacity - 1)) == 0, "the capacity is a power of two");

public:
    bool push(int index)
    {
        const std::size_t tail = m_tail.load(std::memory_order_relaxed);
        if (tail - m_head.load(std::memory_order_acquire) == Capacity)
            return false;
        m_slots[tail & (Capacity - 1)] = index;
        m_tail.store(tail + 1, std::memory_order_release);
        return true;
    }

    bool pop(int& index)
    {
        const std::size_t head = m_head.load(std::memory_order_relaxed);
        if (head == m_tail.load(std::memory_order_acquire))
            return false;
        index = m_slots[head & (Capacity - 1)];
        m_head.store(head + 1, std::memory_order_release);
        return true;
    }

private:
    std::array<int, Capacity> m_slots{};
    std::atomic<std::size_t> m_head{0};
    std::atomic<std::size_t> m_tail{0};
};

} // namespace kelvo
