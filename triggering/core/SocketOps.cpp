#include "triggering/core/SocketOps.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

namespace {

int OpenSocket(SocketHandle& out, int type)
{
    int fd = ::socket(AF_INET, type | SOCK_CLOEXEC, 0);
    out.reset(fd);
    return fd >= 0 ? 0 : -1;
}

// Fills an IPv4 address from dotted text; false for text that is not one.
bool MakeAddress(const char* address, long long port, sockaddr_in& out)
{
    if (address == nullptr || address[0] == '\0')
        return false;
    out = {};
    out.sin_family = AF_INET;
    out.sin_port = htons(static_cast<uint16_t>(port)); // a port above 65535 wraps
    return ::inet_aton(address, &out.sin_addr) != 0;
}

bool WouldBlock(int error)
{
    return error == EAGAIN || error == EWOULDBLOCK;
}

// Shared body of SendOnce and SendToOnce: `attempt` makes one system call.
template <typename Attempt>
int SendWithRetry(int fd, long long timeoutUs, size_t& sent, Attempt attempt)
{
    sent = 0;
    ssize_t result;
    do {
        result = attempt();
    } while (result < 0 && errno == EINTR);
    if (result < 0 && WouldBlock(errno) && timeoutUs != 0) {
        int waited = WaitSocket(fd, true, timeoutUs);
        if (waited != 0)
            return waited;
        do {
            result = attempt();
        } while (result < 0 && errno == EINTR);
    }
    if (result < 0)
        return -1;
    sent = static_cast<size_t>(result);
    return 0;
}

// Shared body of SendAll and SendToAll: `once` sends from an offset.
template <typename Once> int SendEverything(size_t length, size_t& sent, Once once)
{
    sent = 0;
    int result;
    do {
        size_t part = 0;
        result = once(sent, part);
        sent += part;
        if (result == 0 && part == 0 && sent < length)
            return -1; // no progress on a non-empty rest: give up rather than spin
    } while (result == 0 && sent < length);
    return result;
}

} // namespace

int OpenTcpSocket(SocketHandle& out)
{
    return OpenSocket(out, SOCK_STREAM);
}

int OpenUdpSocket(SocketHandle& out)
{
    return OpenSocket(out, SOCK_DGRAM);
}

int CloseSocket(SocketHandle& socket)
{
    return socket.reset() == 0 ? 0 : -1;
}

int ConnectIPv4(int fd, const char* address, long long port)
{
    sockaddr_in target;
    if (!MakeAddress(address, port, target))
        return -1;
    int result;
    do {
        result = ::connect(fd, reinterpret_cast<const sockaddr*>(&target), sizeof target);
    } while (result < 0 && errno == EINTR);
    return result == 0 ? 0 : -1;
}

bool StreamStillOpen(int fd)
{
    char drained[512];
    for (int round = 0; round < 64; ++round) { // bounded: a chatty peer cannot hold us here
        ssize_t got = ::recv(fd, drained, sizeof drained, MSG_DONTWAIT);
        if (got > 0)
            continue;
        if (got == 0)
            return false;
        if (errno == EINTR)
            continue;
        return WouldBlock(errno);
    }
    return true;
}

int WaitSocket(int fd, bool forWrite, long long timeoutUs)
{
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::microseconds(timeoutUs < 0 ? 0 : timeoutUs);
    pollfd entry{fd, static_cast<short>(forWrite ? POLLOUT : POLLIN), 0};
    for (;;) {
        timespec limit{};
        timespec* limitPointer = nullptr;
        if (timeoutUs >= 0) {
            auto left =
                std::chrono::duration_cast<std::chrono::nanoseconds>(deadline - Clock::now());
            if (left.count() < 0)
                left = std::chrono::nanoseconds(0);
            limit.tv_sec = static_cast<time_t>(left.count() / 1000000000);
            limit.tv_nsec = static_cast<long>(left.count() % 1000000000);
            limitPointer = &limit;
        }
        int ready = ::ppoll(&entry, 1, limitPointer, nullptr);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready < 0 || (entry.revents & POLLNVAL))
            return -1;
        return ready == 0 ? kWaitTimeout : 0;
    }
}

int SendOnce(int fd, const void* data, size_t length, long long timeoutUs, size_t& sent)
{
    return SendWithRetry(fd, timeoutUs, sent,
                         [&] { return ::send(fd, data, length, MSG_NOSIGNAL); });
}

int SendToOnce(int fd, const void* data, size_t length, const char* address, long long port,
               long long timeoutUs, size_t& sent)
{
    sockaddr_in target;
    if (!MakeAddress(address, port, target)) {
        sent = 0;
        return -1;
    }
    return SendWithRetry(fd, timeoutUs, sent, [&] {
        return ::sendto(fd, data, length, MSG_NOSIGNAL, reinterpret_cast<const sockaddr*>(&target),
                        sizeof target);
    });
}

int SendAll(int fd, const void* data, size_t length, long long timeoutUs, size_t& sent)
{
    const char* bytes = static_cast<const char*>(data);
    return SendEverything(length, sent, [&](size_t offset, size_t& part) {
        return SendOnce(fd, bytes + offset, length - offset, timeoutUs, part);
    });
}

int SendToAll(int fd, const void* data, size_t length, const char* address, long long port,
              long long timeoutUs, size_t& sent)
{
    const char* bytes = static_cast<const char*>(data);
    return SendEverything(length, sent, [&](size_t offset, size_t& part) {
        return SendToOnce(fd, bytes + offset, length - offset, address, port, timeoutUs, part);
    });
}
