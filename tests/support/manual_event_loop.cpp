#include "support/manual_event_loop.h"

#include <algorithm>

namespace kelvo::test {

EventLoop::TimerId ManualEventLoop::startTimer(std::chrono::milliseconds interval, bool repeating, Task task)
{
    const TimerId id = m_nextTimer++;
    m_timers.emplace(id, Timer{m_now + interval, interval, repeating, std::move(task)});
    return id;
}

int ManualEventLoop::runPosted()
{
    int ran = 0;
    while (!m_posted.empty()) {
        Task task = std::move(m_posted.front());
        m_posted.pop_front();
        task();
        ++ran;
    }
    return ran;
}

void ManualEventLoop::advance(std::chrono::milliseconds step)
{
    const auto end = m_now + step;
    runPosted();
    for (;;) {
        const auto next = std::min_element(m_timers.begin(), m_timers.end(),
                                           [](const auto& a, const auto& b) { return a.second.due < b.second.due; });
        if (next == m_timers.end() || next->second.due > end)
            break;
        m_now = next->second.due;
        Task task = next->second.task;
        if (next->second.repeating)
            next->second.due += next->second.interval;
        else
            m_timers.erase(next);
        task();
        runPosted();
    }
    m_now = end;
}

} // namespace kelvo::test
