#pragma once

#include "core/runtime/event_loop.h"

#include <QObject>

#include <map>
#include <memory>

class QTimer;

namespace kelvo::gui {

// The core's event loop on top of Qt's: posted tasks become queued calls on the UI
// thread, timers are QTimers owned by the loop.
class QtEventLoop final : public EventLoop {
public:
    QtEventLoop();
    ~QtEventLoop() override;

    void post(Task task) override;
    TimerId startTimer(std::chrono::milliseconds interval, bool repeating, Task task) override;
    void stopTimer(TimerId id) override;

private:
    void fired(TimerId id);

    // Lives on the UI thread; queued calls run in its context and die with it.
    QObject m_context;
    std::map<TimerId, std::unique_ptr<QTimer>> m_timers;
    std::map<TimerId, Task> m_tasks;
    TimerId m_nextTimer = 1;
};

} // namespace kelvo::gui
