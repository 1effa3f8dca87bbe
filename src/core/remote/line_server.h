#pragma once

#include "core/runtime/event_loop.h"

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace kelvo {

// A TCP server of text lines for the remote control. Its own thread waits in poll() on
// non-blocking sockets, cuts what clients send into lines and posts each line to the UI
// thread, which answers through send(). A client that sends too much before its lines are
// handled is no longer read until they are; one that does not read its answers is dropped
// once they pass kMaxOutput, so no client can hold up the program.
class LineServer {
public:
    using ClientId = std::uint64_t;

    // Told on the UI thread, through EventLoop::post.
    class Handler {
    public:
        virtual ~Handler() = default;
        virtual void lineReceived(ClientId client, std::string line) = 0;
        // A line longer than kMaxLine was dropped up to its end.
        virtual void lineTooLong(ClientId client) = 0;
        virtual void clientLeft(ClientId client) = 0;
    };

    static constexpr std::size_t kMaxLine = 64 * 1024;
    static constexpr std::size_t kMaxClients = 8;
    static constexpr std::size_t kMaxOutput = 1024 * 1024;
    // Lines of one client posted and not yet handled; more wait in the socket.
    static constexpr int kMaxPosted = 64;

    // Made and destroyed on the UI thread; the loop and the handler outlive it. Lines still
    // queued on the loop when it goes are dropped.
    LineServer(EventLoop& loop, Handler& handler);
    ~LineServer();
    LineServer(const LineServer&) = delete;
    LineServer& operator=(const LineServer&) = delete;

    // Listens on `port` (0: a free one) of `address`, or of the loopback addresses (127.0.0.1
    // and ::1) when it is empty, and starts the thread. Returns the error, empty on success.
    // Called once.
    std::string listen(std::uint16_t port, const std::string& address);
    // The port listened on, 0 before listen() succeeded.
    std::uint16_t port() const { return m_port; }

    // Queues `text` for the client; a client gone or dropped is passed over. Any thread.
    void send(ClientId client, std::string text);

private:
    struct Connection {
        ClientId id = 0;
        int fd = -1;
        std::string input;     // the start of a line not yet ended
        bool skipping = false; // dropping a line over kMaxLine up to its end
    };
    struct Shared;

    void serve();
    void accept(int listener);
    // Reads what the client has sent; false when it has gone.
    bool read(Connection& connection);
    // False when the client has gone or must be dropped.
    bool write(const Connection& connection);
    // Whether send() found the client's answers piling up past kMaxOutput.
    bool dropped(ClientId client) const;
    void postLine(ClientId client, std::string line);

    EventLoop& m_loop;
    std::shared_ptr<Shared> m_shared;
    std::vector<int> m_listeners;
    std::uint16_t m_port = 0;
    // The serving thread's own.
    std::map<ClientId, Connection> m_connections;
    ClientId m_nextClient = 1;
    std::atomic<bool> m_stopping{false};
    std::thread m_thread;
};

} // namespace kelvo
