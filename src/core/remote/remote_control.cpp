#include "core/remote/remote_control.h"

namespace kelvo {

std::string OpenListenWarning(std::string_view address)
{
    return "remote control listens on " + std::string(address) + ": anyone who can reach that address can drive the output";
}

RemoteControl::RemoteControl(Oscillator& oscillator, EventLoop& loop, std::function<void()> exitRequested)
    : m_oscillator(oscillator)
    , m_loop(loop)
    , m_exitRequested(std::move(exitRequested))
{
    m_oscillator.addObserver(this);
}

RemoteControl::~RemoteControl()
{
    *m_alive = false;
    m_oscillator.removeObserver(this);
}

std::string RemoteControl::listen(std::uint16_t port, const std::string& address)
{
    m_following = false;
    return serve(port, address);
}

std::string RemoteControl::serve(std::uint16_t port, const std::string& address)
{
    m_sessions.clear();
    m_server = std::make_unique<LineServer>(m_loop, static_cast<LineServer::Handler&>(*this));
    std::string error = m_server->listen(port, address);
    if (!error.empty())
        m_server.reset();
    return error;
}

void RemoteControl::followOption()
{
    m_following = true;
    m_followedPort = 0;
    catchUp();
}

void RemoteControl::panelChanged(const PanelView&)
{
    // Not from inside the change: a session may be running the command that made it.
    if (m_catchUpPosted)
        return;
    m_catchUpPosted = true;
    m_loop.post([this, alive = m_alive] {
        if (*alive)
            catchUp();
    });
}

void RemoteControl::catchUp()
{
    m_catchUpPosted = false;
    for (const auto& [client, session] : m_sessions)
        if (session->waiting())
            reply(client, session->resume());
    const std::int32_t wanted = m_oscillator.settings().RemotePort;
    if (!m_following || wanted == m_followedPort)
        return;
    m_followedPort = wanted;
    m_sessions.clear();
    m_server.reset();
    if (wanted <= 0 || wanted > 65535)
        return;
    if (const std::string error = serve(static_cast<std::uint16_t>(wanted), {}); !error.empty())
        m_oscillator.messages().show("Remote control is off: " + error);
}

void RemoteControl::lineReceived(LineServer::ClientId client, std::string line)
{
    reply(client, session(client).receive(line));
}

void RemoteControl::lineTooLong(LineServer::ClientId client)
{
    session(client).refuseLongLine();
}

void RemoteControl::clientLeft(LineServer::ClientId client)
{
    m_sessions.erase(client);
}

ScpiSession& RemoteControl::session(LineServer::ClientId client)
{
    auto& session = m_sessions[client];
    if (!session) {
        session = std::make_unique<ScpiSession>(m_oscillator, [this] {
            m_loop.post([this, alive = m_alive] {
                if (*alive && m_exitRequested)
                    m_exitRequested();
            });
        });
    }
    return *session;
}

void RemoteControl::reply(LineServer::ClientId client, const std::string& text)
{
    if (!text.empty() && m_server)
        m_server->send(client, text);
}

} // namespace kelvo
