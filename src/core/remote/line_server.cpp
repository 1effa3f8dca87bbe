#include "core/remote/line_server.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace kelvo {

// What the UI thread and the serving thread share, kept alive by the tasks posted to the
// loop so that a task that runs after the server has gone finds it and does nothing.
struct LineServer::Shared {
    struct Outbox {
        std::string bytes;
        int posted = 0;
        bool drop = false;
    };

    std::mutex mutex;
    std::map<ClientId, Outbox> outboxes;
    // Cleared on the UI thread when the server goes; read only there.
    Handler* handler = nullptr;
    int wake = -1;

    ~Shared()
    {
        if (wake >= 0)
            ::close(wake);
    }
    void wakeUp() const
    {
        const std::uint64_t one = 1;
        [[maybe_unused]] const auto written = ::write(wake, &one, sizeof one);
    }
};

namespace {

std::string SystemError(const std::string& what)
{
    return what + ": " + std::strerror(errno);
}

// A listening socket bound to `address`; -1 and the error when it cannot be had.
int Listen(const sockaddr* address, socklen_t length, std::string& error)
{
    const int fd = ::socket(address->sa_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        error = SystemError("no socket");
        return -1;
    }
    const int on = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    if (address->sa_family == AF_INET6)
        ::setsockopt(fd, IPPROTO_IPV6, IPV6_V6ONLY, &on, sizeof on);
    if (::bind(fd, address, length) != 0 || ::listen(fd, 8) != 0) {
        error = SystemError("cannot listen");
        ::close(fd);
        return -1;
    }
    return fd;
}

std::uint16_t BoundPort(int fd)
{
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    if (::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        return 0;
    if (address.ss_family == AF_INET6)
        return ntohs(reinterpret_cast<const sockaddr_in6*>(&address)->sin6_port);
    return ntohs(reinterpret_cast<const sockaddr_in*>(&address)->sin_port);
}

} // namespace

LineServer::LineServer(EventLoop& loop, Handler& handler)
    : m_loop(loop)
    , m_shared(std::make_shared<Shared>())
{
    m_shared->handler = &handler;
    m_shared->wake = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
}

LineServer::~LineServer()
{
    m_shared->handler = nullptr;
    m_stopping = true;
    if (m_thread.joinable()) {
        m_shared->wakeUp();
        m_thread.join();
    }
    for (const auto& entry : m_connections) {
        // What is already answered goes out if the socket takes it now.
        write(entry.second);
        ::close(entry.second.fd);
    }
    for (const int fd : m_listeners)
        ::close(fd);
}

std::string LineServer::listen(std::uint16_t port, const std::string& address)
{
    if (m_shared->wake < 0)
        return SystemError("no event descriptor");
    std::string error;
    if (address.empty()) {
        sockaddr_in v4{};
        v4.sin_family = AF_INET;
        v4.sin_port = htons(port);
        v4.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        const int fd = Listen(reinterpret_cast<const sockaddr*>(&v4), sizeof v4, error);
        if (fd < 0)
            return "127.0.0.1 port " + std::to_string(port) + ": " + error;
        m_listeners.push_back(fd);
        m_port = BoundPort(fd);
        // ::1 too where the system has IPv6, on the same port.
        sockaddr_in6 v6{};
        v6.sin6_family = AF_INET6;
        v6.sin6_port = htons(m_port);
        v6.sin6_addr = in6addr_loopback;
        if (const int fd6 = Listen(reinterpret_cast<const sockaddr*>(&v6), sizeof v6, error); fd6 >= 0)
            m_listeners.push_back(fd6);
    } else {
        addrinfo hints{};
        hints.ai_family = AF_UNSPEC;
        hints.ai_socktype = SOCK_STREAM;
        hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
        addrinfo* found = nullptr;
        const std::string service = std::to_string(port);
        if (const int status = ::getaddrinfo(address.c_str(), service.c_str(), &hints, &found); status != 0)
            return address + ": " + ::gai_strerror(status);
        for (const addrinfo* at = found; at != nullptr; at = at->ai_next) {
            if (const int fd = Listen(at->ai_addr, at->ai_addrlen, error); fd >= 0) {
                m_listeners.push_back(fd);
                break;
            }
        }
        ::freeaddrinfo(found);
        if (m_listeners.empty())
            return address + " port " + std::to_string(port) + ": " + error;
        m_port = BoundPort(m_listeners.front());
    }
    m_thread = std::thread([this] { serve(); });
    return {};
}

void LineServer::send(ClientId client, std::string text)
{
    {
        const std::lock_guard lock(m_shared->mutex);
        const auto found = m_shared->outboxes.find(client);
        if (found == m_shared->outboxes.end() || found->second.drop)
            return;
        Shared::Outbox& outbox = found->second;
        if (outbox.bytes.size() + text.size() > kMaxOutput) {
            outbox.drop = true;
            outbox.bytes.clear();
        } else {
            outbox.bytes += text;
        }
    }
    m_shared->wakeUp();
}

void LineServer::serve()
{
    std::vector<pollfd> polled;
    std::vector<ClientId> clients;
    while (!m_stopping) {
        polled.clear();
        clients.clear();
        polled.push_back({m_shared->wake, POLLIN, 0});
        for (const int fd : m_listeners)
            polled.push_back({fd, POLLIN, 0});
        {
            const std::lock_guard lock(m_shared->mutex);
            for (const auto& [id, connection] : m_connections) {
                const Shared::Outbox& outbox = m_shared->outboxes[id];
                short events = 0;
                if (outbox.posted < kMaxPosted)
                    events |= POLLIN;
                if (!outbox.bytes.empty())
                    events |= POLLOUT;
                polled.push_back({connection.fd, events, 0});
                clients.push_back(id);
            }
        }
        if (::poll(polled.data(), polled.size(), -1) < 0 && errno != EINTR)
            return;
        if ((polled[0].revents & POLLIN) != 0) {
            std::uint64_t count = 0;
            [[maybe_unused]] const auto got = ::read(m_shared->wake, &count, sizeof count);
        }
        for (std::size_t i = 0; i < m_listeners.size(); ++i)
            if ((polled[1 + i].revents & POLLIN) != 0)
                accept(m_listeners[i]);
        for (std::size_t i = 0; i < clients.size(); ++i) {
            const short events = polled[1 + m_listeners.size() + i].revents;
            Connection& connection = m_connections.at(clients[i]);
            // A client dropped for not reading goes whether or not its socket takes more.
            bool alive = !dropped(clients[i]);
            if (alive && (events & (POLLIN | POLLHUP | POLLERR)) != 0)
                alive = read(connection);
            if (alive && (events & POLLOUT) != 0)
                alive = write(connection);
            if (alive)
                continue;
            ::close(connection.fd);
            m_connections.erase(clients[i]);
            {
                const std::lock_guard lock(m_shared->mutex);
                m_shared->outboxes.erase(clients[i]);
            }
            m_loop.post([shared = m_shared, id = clients[i]] {
                if (shared->handler != nullptr)
                    shared->handler->clientLeft(id);
            });
        }
    }
}

void LineServer::accept(int listener)
{
    const int fd = ::accept4(listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0)
        return;
    if (m_connections.size() >= kMaxClients) {
        ::close(fd);
        return;
    }
    const ClientId id = m_nextClient++;
    m_connections[id] = {id, fd, {}, false};
    const std::lock_guard lock(m_shared->mutex);
    m_shared->outboxes[id] = {};
}

bool LineServer::read(Connection& connection)
{
    const ClientId id = connection.id;
    char buffer[4096];
    const ssize_t got = ::recv(connection.fd, buffer, sizeof buffer, 0);
    if (got == 0)
        return false;
    if (got < 0)
        return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
    std::string_view data(buffer, static_cast<std::size_t>(got));
    while (!data.empty()) {
        const auto end = data.find('\n');
        const std::string_view part = data.substr(0, end);
        data = end == std::string_view::npos ? std::string_view{} : data.substr(end + 1);
        if (!connection.skipping)
            connection.input += part;
        if (connection.input.size() > kMaxLine) {
            connection.input.clear();
            connection.skipping = true;
            m_loop.post([shared = m_shared, id] {
                if (shared->handler != nullptr)
                    shared->handler->lineTooLong(id);
            });
        }
        if (end == std::string_view::npos)
            break;
        if (connection.skipping) {
            connection.skipping = false;
            continue;
        }
        std::string line = std::move(connection.input);
        connection.input.clear();
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        postLine(id, std::move(line));
    }
    return true;
}

void LineServer::postLine(ClientId client, std::string line)
{
    {
        const std::lock_guard lock(m_shared->mutex);
        ++m_shared->outboxes[client].posted;
    }
    m_loop.post([shared = m_shared, client, line = std::move(line)]() mutable {
        if (shared->handler != nullptr)
            shared->handler->lineReceived(client, std::move(line));
        {
            const std::lock_guard lock(shared->mutex);
            if (const auto found = shared->outboxes.find(client); found != shared->outboxes.end())
                --found->second.posted;
        }
        // The thread may have stopped reading this client.
        shared->wakeUp();
    });
}

bool LineServer::dropped(ClientId client) const
{
    const std::lock_guard lock(m_shared->mutex);
    const auto found = m_shared->outboxes.find(client);
    return found != m_shared->outboxes.end() && found->second.drop;
}

bool LineServer::write(const Connection& connection)
{
    const ClientId id = connection.id;
    const std::lock_guard lock(m_shared->mutex);
    Shared::Outbox& outbox = m_shared->outboxes[id];
    if (outbox.drop)
        return false;
    while (!outbox.bytes.empty()) {
        const ssize_t sent = ::send(connection.fd, outbox.bytes.data(), outbox.bytes.size(), MSG_NOSIGNAL);
        if (sent < 0)
            return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
        outbox.bytes.erase(0, static_cast<std::size_t>(sent));
    }
    return true;
}

} // namespace kelvo
