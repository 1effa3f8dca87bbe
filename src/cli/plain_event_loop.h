#pragma once

#include "core/runtime/event_loop.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>

namespace kelvo::cli {

// The command-line tool's event loop: a queue of posted tasks and a set of timers, run on
// the thread that calls run().
class PlainEventLoop final : public EventLoop {
public:
    void post(Task task) override;
    TimerId startTimer(std::chrono::milliseconds interval, bool repeating, Task task) override;
    void stopTimer(TimerId id) override;

    // Runs events until `deadline`, until quit(), or until `interrupted` turns true
    // (checked at least every 100 ms, so a signal handler may set it).
    void run(std::chrono::steady_clock::time_point deadline, const std::atomic<bool>* interrupted = nullptr);
    // Makes run() return after the event being handled; callable from any thread.
    void quit();

private:
    using Clock = std::chrono::steady_clock;
    struct Timer {
        Clock::time_point due;
        std::chrono::milliseconds interval;
        bool repeating = false;
        Task task;
    };

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<Task> m_posted;
    bool m_quit = false;
    // Touched on the loop's thread only.
    std::map<TimerId, Timer> m_timers;
    TimerId m_nextTimer = 1;
};

} // namespace kelvo::cli
