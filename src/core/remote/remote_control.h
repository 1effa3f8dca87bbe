#pragma once

#include "core/oscillator/oscillator.h"
#include "core/remote/line_server.h"
#include "core/remote/scpi_session.h"
#include "core/runtime/event_loop.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

namespace kelvo {

// What the programs say when told to listen beyond the loopback addresses.
std::string OpenListenWarning(std::string_view address);

// SCPI remote control of the oscillator: a LineServer whose clients each have their
// ScpiSession. The sessions change the record as the panel's keys do, so every window
// follows. UI thread only; the oscillator and the loop outlive it.
class RemoteControl final : private PanelObserver, private LineServer::Handler {
public:
    // `exitRequested` runs on SYSTem:EXIT, posted after the command's line has been answered.
    RemoteControl(Oscillator& oscillator, EventLoop& loop, std::function<void()> exitRequested);
    ~RemoteControl() override;
    RemoteControl(const RemoteControl&) = delete;
    RemoteControl& operator=(const RemoteControl&) = delete;

    // Serves on `port` (0: a free one) of `address` (empty: the loopback addresses) from now
    // on, whatever RemotePort holds. Returns the error, empty on success.
    std::string listen(std::uint16_t port, const std::string& address);
    // Serves on RemotePort of the loopback addresses, as the option changes (0: not at
    // all); a port that cannot be had is told through the oscillator's messages, once.
    void followOption();
    // The port served on; 0 when none.
    std::uint16_t port() const { return m_server ? m_server->port() : 0; }

private:
    std::string serve(std::uint16_t port, const std::string& address);
    void panelChanged(const PanelView& view) override;
    void lineReceived(LineServer::ClientId client, std::string line) override;
    void lineTooLong(LineServer::ClientId client) override;
    void clientLeft(LineServer::ClientId client) override;
    // After a change of the panel: the sessions held by *OPC? go on, the option is followed.
    void catchUp();
    ScpiSession& session(LineServer::ClientId client);
    void reply(LineServer::ClientId client, const std::string& text);

    Oscillator& m_oscillator;
    EventLoop& m_loop;
    std::function<void()> m_exitRequested;
    std::unique_ptr<LineServer> m_server;
    std::map<LineServer::ClientId, std::unique_ptr<ScpiSession>> m_sessions;
    bool m_following = false;
    std::int32_t m_followedPort = 0;
    bool m_catchUpPosted = false;
    // Tells the tasks posted to the loop whether this object is still there.
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};

} // namespace kelvo
