#pragma once

#include "runtime/event_loop.h"

#include <chrono>
#include <deque>
#include <map>

namespace kelvo::test {

// An event loop driven by the test: posted tasks run when the test says so, and timers
// follow a fake clock that only the test advances.
class ManualEventLoop final : public EventLoop {
public:
    void post(Task task) override { m_posted.push_back(std::move(task)); }
    TimerId startTimer(std::chrono::milliseconds interval, bool repeating, Task task) override;
    void stopTimer(TimerId id) override { m_timers.erase(id); }

    // Runs posted tasks, including those they post, until none is left; returns how many ran.
    int runPosted();
    // Moves the clock forward, firing due timers in time order, each followed by the
    // posted tasks it caused.
    void advance(std::chrono::milliseconds step);

    std::chrono::milliseconds now() const override { return m_now; }
    std::size_t pendingTimers() const { return m_timers.size(); }

private:
    struct Timer {
        std::chrono::milliseconds due;
        std::chrono::milliseconds interval;
        bool repeating;
        Task task;
    };

    std::deque<Task> m_posted;
    std::map<TimerId, Timer> m_timers;
    TimerId m_nextTimer = 1;
    std::chrono::milliseconds m_now{0};
};

} // namespace kelvo::test
