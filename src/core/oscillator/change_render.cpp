#include "core/oscillator/change_render.h"

#include "core/runtime/messages.h"

namespace kelvo {
namespace {

thread_local bool t_renderThread = false;

// Keeps the render's messages for the UI thread.
class KeptMessages final : public Messages {
public:
    void show(std::string_view text) override { texts.emplace_back(text); }
    std::vector<std::string> texts;
};

} // namespace

ChangeRender::ChangeRender(SignalFiles& files, std::filesystem::path folder, EventLoop& loop)
    : m_files(files)
    , m_folder(std::move(folder))
    , m_loop(loop)
{
}

ChangeRender::~ChangeRender()
{
    {
        const std::lock_guard lock(m_mutex);
        m_quit = true;
        m_next.reset();
    }
    m_wake.notify_one();
    if (m_thread.joinable())
        m_thread.join();
}

void ChangeRender::request(const SignalSettings& settings, Done done)
{
    m_done = std::move(done);
    {
        const std::lock_guard lock(m_mutex);
        m_next.emplace(++m_latest, settings);
    }
    if (!m_thread.joinable()) {
        m_thread = std::thread([this] { run(); });
    }
    m_wake.notify_one();
}

void ChangeRender::drop()
{
    ++m_latest;
    m_done = nullptr;
    const std::lock_guard lock(m_mutex);
    m_next.reset();
}

void ChangeRender::wait()
{
    std::unique_lock lock(m_mutex);
    m_idle.wait(lock, [this] { return !m_busy && !m_next; });
}

bool ChangeRender::onRenderThread()
{
    return t_renderThread;
}

void ChangeRender::run()
{
    t_renderThread = true;
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_quit || m_next; });
        if (m_quit)
            return;
        const std::uint64_t number = m_next->first;
        SignalSettings settings = std::move(m_next->second);
        m_next.reset();
        m_busy = true;
        lock.unlock();
        KeptMessages messages;
        Result result;
        result.rendered = m_files.renderToFile(settings, m_folder, messages);
        result.messages = std::move(messages.texts);
        result.settings = std::move(settings);
        std::weak_ptr<bool> alive = m_alive;
        m_loop.post([this, alive, number, result = std::move(result)]() mutable {
            if (!alive.lock() || number != m_latest || !m_done)
                return;
            const Done done = std::move(m_done);
            m_done = nullptr;
            done(std::move(result));
        });
        lock.lock();
        m_busy = false;
        m_idle.notify_all();
    }
}

} // namespace kelvo
