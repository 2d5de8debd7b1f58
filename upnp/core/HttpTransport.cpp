#include "platform/DebugTrace.h"
#include "upnp/core/TextFormat.h"
#include "upnp/core/UpnpClient.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

// How long one connection attempt may wait for the router's answer.
constexpr int kConnectAttemptMs = 2000;
// Pause between two connection attempts.
constexpr auto kAttemptPause = std::chrono::milliseconds(1000);

int MillisecondsLeft(Clock::time_point deadline)
{
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

// Waits for `events` on `fd` until the deadline; false on time-out or error.
bool WaitFor(int fd, short events, Clock::time_point deadline)
{
    for (;;) {
        pollfd entry{fd, events, 0};
        const int ready = poll(&entry, 1, MillisecondsLeft(deadline));
        if (ready > 0)
            return true;
        if (ready == 0 || errno != EINTR)
            return false;
    }
}

// One attempt on a fresh socket. The connect blocks, bounded by the send
// time-out (Linux applies SO_SNDTIMEO to connect); reads and writes of the
// exchange never block (MSG_DONTWAIT), so the time-out has no other effect.
SocketHandle ConnectOnce(const sockaddr_in& address)
{
    SocketHandle sock(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!sock.valid())
        return {};
    const timeval limit{kConnectAttemptMs / 1000, (kConnectAttemptMs % 1000) * 1000};
    if (setsockopt(sock.fd(), SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit) != 0)
        return {};
    if (connect(sock.fd(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
        return {}; // refused, unreachable, or timed out (EINPROGRESS)
    return sock;
}

bool SendAll(int fd, const std::string& request, Clock::time_point deadline)
{
    size_t sent = 0;
    while (sent < request.size()) {
        const ssize_t n =
            send(fd, request.data() + sent, request.size() - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0) {
            sent += static_cast<size_t>(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (!WaitFor(fd, POLLOUT, deadline))
                return false;
        } else {
            return false;
        }
    }
    return true;
}

} // namespace

bool UpnpClient::tcp_connect(const std::string& host, uint16_t port)
{
    tcp_sock.close();
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    // Dotted IPv4 text only; anything else can never connect, so no attempt
    // is made and nothing is waited for.
    const bool usable = inet_pton(AF_INET, host.c_str(), &address.sin_addr) == 1;
    for (int32_t attempt = 0; usable && attempt < time_out && !cancelled(); ++attempt) {
        if (attempt > 0)
            std::this_thread::sleep_for(kAttemptPause);
        SocketHandle sock = ConnectOnce(address);
        if (sock.valid()) {
            tcp_sock = std::move(sock);
            status = UpnpStatus::Connected;
            return true;
        }
    }
    DebugTrace("tcp_connect error host[%s], port[%d]\n", host.c_str(), port);
    fail(velmora::Format("Fail to connect to %s:%i (using TCP)\n", host.c_str(), port));
    return false;
}

std::string UpnpClient::http_exchange(const std::string& request, const char* end_marker,
                                      int cycles)
{
    std::string response;
    if (!tcp_sock.valid())
        return response;
    const int fd = tcp_sock.fd();
    // The cycle limit is the exchange's deadline: one second per cycle.
    const auto deadline = Clock::now() + std::chrono::seconds(cycles > 0 ? cycles : 0);
    if (!SendAll(fd, request, deadline))
        return response;

    const std::string_view marker = end_marker ? end_marker : "";
    if (!receive_buffer_)
        receive_buffer_.reset(new char[kReceiveBytes]);
    char* buffer = receive_buffer_.get();
    while (WaitFor(fd, POLLIN, deadline)) {
        const ssize_t n = recv(fd, buffer, kReceiveBytes, MSG_DONTWAIT);
        if (n < 0 && (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK))
            continue;
        if (n <= 0)
            break; // closed by the router, or a socket error: nothing more will come
        const size_t before = response.size();
        response.append(buffer, static_cast<size_t>(n));
        if (response.size() > kMaxResponseBytes) {
            last_error = velmora::Format("Response longer than %zu bytes.\n", kMaxResponseBytes);
            return {};
        }
        // The marker may straddle two reads: look for one that starts in the
        // new data or just before it. It usually ends the answer, so the last
        // occurrence is searched for (from the end).
        const size_t from = before >= marker.size() ? before - marker.size() + 1 : 0;
        const size_t last = marker.empty() ? std::string::npos : response.rfind(marker);
        if (last != std::string::npos && last >= from)
            break;
    }
    return response;
}
