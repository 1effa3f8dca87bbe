#include "gui/runtime/qt_event_loop.h"

#include <QMetaObject>
#include <QTimer>

namespace kelvo::gui {

QtEventLoop::QtEventLoop() = default;

QtEventLoop::~QtEventLoop() = default;

void QtEventLoop::post(Task task)
{
    QMetaObject::invokeMethod(&m_context, std::move(task), Qt::QueuedConnection);
}

EventLoop::TimerId QtEventLoop::startTimer(std::chrono::milliseconds interval, bool repeating, Task task)
{
    const TimerId id = m_nextTimer++;
    auto timer = std::make_unique<QTimer>();
    timer->setTimerType(Qt::PreciseTimer);
    timer->setSingleShot(!repeating);
    timer->setInterval(interval);
    QObject::connect(timer.get(), &QTimer::timeout, &m_context, [this, id] { fired(id); });
    timer->start();
    m_timers.emplace(id, std::move(timer));
    m_tasks.emplace(id, std::move(task));
    return id;
}

void QtEventLoop::stopTimer(TimerId id)
{
    const auto found = m_timers.find(id);
    if (found == m_timers.end())
        return;
    found->second->stop();
    // The timer may be the one whose signal is being delivered right now.
    found->second.release()->deleteLater();
    m_timers.erase(found);
    m_tasks.erase(id);
}

void QtEventLoop::fired(TimerId id)
{
    const auto found = m_tasks.find(id);
    if (found == m_tasks.end())
        return;
    if (m_timers.at(id)->isSingleShot()) {
        // A single-shot timer is finished before its task runs, so the task may start a new one.
        Task task = std::move(found->second);
        stopTimer(id);
        task();
        return;
    }
    // A copy: the task may stop its own timer.
    Task task = found->second;
    task();
}

} // namespace kelvo::gui
