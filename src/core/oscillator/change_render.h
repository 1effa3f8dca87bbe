#pragma once

#include "core/oscillator/signal_files.h"
#include "core/runtime/event_loop.h"
#include "core/settings/signal_settings.h"

#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace kelvo {

// Renders a changed signal into test.wav on a thread of its own while the old one plays on.
// One render runs at a time; a newer request replaces one still waiting, and the result of
// one overtaken while it ran is dropped, so only the last change is ever played. Requests and
// results are on the UI thread; whatever else uses the files or their engine calls wait()
// first, since the render uses them.
class ChangeRender {
public:
    // What a render came to: whether test.wav holds the requested signal, and the messages
    // it had for the user.
    struct Result {
        bool rendered = false;
        std::vector<std::string> messages;
        SignalSettings settings; // as the render left them
    };
    using Done = std::function<void(Result result)>;

    ChangeRender(SignalFiles& files, std::filesystem::path folder, EventLoop& loop);
    ~ChangeRender();
    ChangeRender(const ChangeRender&) = delete;
    ChangeRender& operator=(const ChangeRender&) = delete;

    // Renders `settings`; `done` is told on the UI thread, unless a newer request or drop()
    // comes first.
    void request(const SignalSettings& settings, Done done);
    // Forgets every request and result; a render that runs finishes unseen.
    void drop();
    // Returns once no render runs.
    void wait();
    // True on the thread that renders.
    static bool onRenderThread();

private:
    void run();

    SignalFiles& m_files;
    std::filesystem::path m_folder;
    EventLoop& m_loop;
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
    // Counts requests and drops on the UI thread: a result is delivered only while it is the
    // newest.
    std::uint64_t m_latest = 0;
    Done m_done;

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    std::optional<std::pair<std::uint64_t, SignalSettings>> m_next;
    bool m_busy = false;
    bool m_quit = false;
    std::thread m_thread;
};

} // namespace kelvo
