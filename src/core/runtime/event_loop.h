#pragma once

#include <chrono>
#include <cstdint>
#include <functional>

namespace kelvo {

// The UI thread's event loop as the core sees it: the Qt loop in the desktop program,
// a plain loop in kelvo-cli, a manually advanced loop with a fake clock in tests.
class EventLoop {
public:
    using Task = std::function<void()>;
    using TimerId = std::uint64_t;

    virtual ~EventLoop() = default;

    // Runs `task` on the UI thread after the events already queued. Callable from any
    // thread, but not from a real-time audio callback: it may allocate and lock.
    virtual void post(Task task) = 0;

    // Runs `task` on the UI thread once after `interval`, or every `interval` when
    // `repeating`. Called on the UI thread; the id is never 0.
    virtual TimerId startTimer(std::chrono::milliseconds interval, bool repeating, Task task) = 0;

    // Cancels a timer; an id that has fired (single-shot) or was stopped is harmless.
    // Called on the UI thread.
    virtual void stopTimer(TimerId id) = 0;

    // The loop's clock, which its timers follow: a monotonic time since some fixed point.
    virtual std::chrono::milliseconds now() const
    {
        return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch());
    }
};

} // namespace kelvo
