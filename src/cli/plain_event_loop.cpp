#include "plain_event_loop.h"

#include <algorithm>

namespace kelvo::cli {

void PlainEventLoop::post(Task task)
{
    {
        const std::lock_guard lock(m_mutex);
        m_posted.push_back(std::move(task));
    }
    m_wake.notify_one();
}

EventLoop::TimerId PlainEventLoop::startTimer(std::chrono::milliseconds interval, bool repeating, Task task)
{
    const TimerId id = m_nextTimer++;
    m_timers.emplace(id, Timer{Clock::now() + interval, interval, repeating, std::move(task)});
    return id;
}

void PlainEventLoop::stopTimer(TimerId id)
{
    m_timers.erase(id);
}

void PlainEventLoop::quit()
{
    {
        const std::lock_guard lock(m_mutex);
        m_quit = true;
    }
    m_wake.notify_one();
}

void PlainEventLoop::run(Clock::time_point deadline, const std::atomic<bool>* interrupted)
{
    constexpr std::chrono::milliseconds kSignalCheck{100};
    for (;;) {
        if ((interrupted && interrupted->load()) || Clock::now() >= deadline)
            return;
        Task task;
        {
            std::unique_lock lock(m_mutex);
            auto wakeAt = std::min(deadline, Clock::now() + kSignalCheck);
            for (const auto& [id, timer] : m_timers)
                wakeAt = std::min(wakeAt, timer.due);
            m_wake.wait_until(lock, wakeAt, [this] { return m_quit || !m_posted.empty(); });
            if (m_quit) {
                m_quit = false;
                return;
            }
            if (!m_posted.empty()) {
                task = std::move(m_posted.front());
                m_posted.pop_front();
            }
        }
        if (task) {
            task();
            continue;
        }
        const auto now = Clock::now();
        // Fire the earliest due timer; a task may start or stop timers.
        const auto due = std::min_element(m_timers.begin(), m_timers.end(),
                                          [](const auto& a, const auto& b) { return a.second.due < b.second.due; });
        if (due == m_timers.end() || due->second.due > now)
            continue;
        Task fire = due->second.task;
        if (due->second.repeating)
            due->second.due += due->second.interval;
        else
            m_timers.erase(due);
        fire();
    }
}

} // namespace kelvo::cli
