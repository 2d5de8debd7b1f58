#include "forwarding/core/PortProbe.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace velmora {
namespace {

class Socket final
{
public:
    explicit Socket(int type) : fd_(socket(AF_INET, type | SOCK_NONBLOCK | SOCK_CLOEXEC, 0)) {}
    ~Socket()
    {
        if (fd_ >= 0)
            close(fd_);
    }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    int fd() const { return fd_; }

private:
    int fd_;
};

bool ToSockaddr(const std::string& address, uint16_t port, sockaddr_in& out)
{
    std::memset(&out, 0, sizeof out);
    out.sin_family = AF_INET;
    out.sin_port = htons(port);
    return inet_pton(AF_INET, address.c_str(), &out.sin_addr) == 1;
}

// Waits for `events` on `fd` until `deadline`; the events seen, 0 on timeout.
short WaitUntil(int fd, short events, std::chrono::steady_clock::time_point deadline)
{
    for (;;) {
        auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline -
                                                                 std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return 0;
        pollfd waitFor{fd, events, 0};
        int ready = poll(&waitFor, 1, static_cast<int>(left.count()));
        if (ready > 0)
            return waitFor.revents;
        if (ready < 0 && errno != EINTR)
            return POLLERR;
    }
}

ProbeResult Unreached(int error)
{
    return {PortState::Filtered, std::string("no connection (") + std::strerror(error) + ")"};
}

} // namespace

const char* PortStateWord(PortState state)
{
    switch (state) {
    case PortState::Open:
        return "open";
    case PortState::Closed:
        return "closed";
    case PortState::Filtered:
        return "filtered";
    case PortState::Unfiltered:
        return "unfiltered";
    case PortState::OpenFiltered:
        return "open|filtered";
    case PortState::ClosedFiltered:
        return "closed|filtered";
    }
    return "filtered";
}

ProbeResult ProbeTcp(const std::string& address, uint16_t port, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    sockaddr_in target{};
    if (!ToSockaddr(address, port, target))
        return {PortState::Filtered, "not probed: \"" + address + "\" is not an IPv4 address"};
    Socket socket(SOCK_STREAM);
    if (socket.fd() < 0)
        return Unreached(errno);
    if (connect(socket.fd(), reinterpret_cast<sockaddr*>(&target), sizeof target) != 0 &&
        errno != EINPROGRESS) {
        return errno == ECONNREFUSED ? ProbeResult{PortState::Closed, "connection refused"}
                                     : Unreached(errno);
    }
    if (WaitUntil(socket.fd(), POLLOUT, deadline) == 0)
        return {PortState::Filtered, "no answer within " + std::to_string(timeout.count()) + " ms"};
    int error = 0;
    socklen_t length = sizeof error;
    getsockopt(socket.fd(), SOL_SOCKET, SO_ERROR, &error, &length);
    if (error == 0)
        return {PortState::Open, "connection accepted"};
    if (error == ECONNREFUSED)
        return {PortState::Closed, "connection refused"};
    return Unreached(error);
}

ProbeResult ProbeUdp(const std::string& address, uint16_t port, std::chrono::milliseconds timeout)
{
    const auto start = std::chrono::steady_clock::now();
    sockaddr_in target{};
    if (!ToSockaddr(address, port, target))
        return {PortState::OpenFiltered, "not probed: \"" + address + "\" is not an IPv4 address"};
    Socket socket(SOCK_DGRAM);
    // A connected UDP socket reports the host's port-unreachable answer as ECONNREFUSED.
    if (socket.fd() < 0 ||
        connect(socket.fd(), reinterpret_cast<sockaddr*>(&target), sizeof target) != 0) {
        return {PortState::OpenFiltered, std::string("not probed: ") + std::strerror(errno)};
    }
    for (auto until : {start + timeout / 2, start + timeout}) {
        if (send(socket.fd(), "", 0, 0) < 0 && errno == ECONNREFUSED)
            return {PortState::Closed, "port unreachable"};
        while (WaitUntil(socket.fd(), POLLIN, until) != 0) {
            char reply[512];
            if (recv(socket.fd(), reply, sizeof reply, 0) >= 0)
                return {PortState::Open, "a datagram came back"};
            if (errno == ECONNREFUSED)
                return {PortState::Closed, "port unreachable"};
            if (errno != EINTR)
                break;
        }
    }
    return {PortState::OpenFiltered, "no answer within " + std::to_string(timeout.count()) + " ms"};
}

} // namespace velmora
