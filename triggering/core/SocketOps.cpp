#include "triggering/core/SocketOps.h"

#include "platform/IPv4Endpoint.h"
#include "platform/SocketConnect.h"
#include "platform/SocketSend.h"
#include "platform/SocketWait.h"

#include <cerrno>
#include <cstdint>
#include <sys/socket.h>

namespace {

int OpenSocket(velmora::SocketHandle& out, int type)
{
    int fd = ::socket(AF_INET, type | SOCK_CLOEXEC, 0);
    out.reset(fd);
    return fd >= 0 ? 0 : -1;
}

// The trigger address is read as inet_addr reads it; a port above 65535 wraps.
bool MakeAddress(const char* address, long long port, sockaddr_in& out)
{
    return velmora::MakeIPv4Endpoint(address, static_cast<uint16_t>(port), out,
                                     velmora::IPv4Text::Classic);
}

// A time-out in microseconds as a deadline; a negative one has no limit.
velmora::Deadline DeadlineOf(long long timeoutUs)
{
    return timeoutUs < 0 ? velmora::kNoDeadline
                         : velmora::DeadlineAfter(std::chrono::microseconds(timeoutUs));
}

// The socket functions' result codes: 0, kWaitTimeout or -1.
int Code(bool done, bool timedOut)
{
    return done ? 0 : timedOut ? velmora::kWaitTimeout : -1;
}

int CodeOf(velmora::SendResult result)
{
    return Code(result == velmora::SendResult::Sent, result == velmora::SendResult::TimedOut);
}

int Send(int fd, const void* data, size_t length, const sockaddr_in* to, long long timeoutUs,
         size_t& sent, bool all)
{
    const auto deadline = DeadlineOf(timeoutUs);
    return CodeOf(all ? velmora::SendAll(fd, data, length, deadline, sent, to)
                      : velmora::SendSome(fd, data, length, deadline, sent, to));
}

int SendTo(int fd, const void* data, size_t length, const char* address, long long port,
           long long timeoutUs, size_t& sent, bool all)
{
    sockaddr_in target;
    if (!MakeAddress(address, port, target)) {
        sent = 0;
        return -1;
    }
    return Send(fd, data, length, &target, timeoutUs, sent, all);
}

} // namespace

int OpenTcpSocket(velmora::SocketHandle& out)
{
    return OpenSocket(out, SOCK_STREAM);
}

int OpenUdpSocket(velmora::SocketHandle& out)
{
    return OpenSocket(out, SOCK_DGRAM);
}

int CloseSocket(velmora::SocketHandle& socket)
{
    return socket.reset() == 0 ? 0 : -1;
}

int ConnectIPv4(int fd, const char* address, long long port)
{
    sockaddr_in target;
    if (!MakeAddress(address, port, target))
        return -1;
    // No deadline of our own: the system's connect time-out applies.
    return velmora::ConnectWithin(fd, target, velmora::kNoDeadline).connected() ? 0 : -1;
}

bool velmora::StreamStillOpen(int fd)
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
        return errno == EAGAIN || errno == EWOULDBLOCK;
    }
    return true;
}

int WaitSocket(int fd, bool forWrite, long long timeoutUs)
{
    const auto deadline = DeadlineOf(timeoutUs);
    const velmora::WaitResult result =
        forWrite ? velmora::WaitWritable(fd, deadline) : velmora::WaitReadable(fd, deadline);
    return Code(result == velmora::WaitResult::Ready, result == velmora::WaitResult::TimedOut);
}

int SendOnce(int fd, const void* data, size_t length, long long timeoutUs, size_t& sent)
{
    return Send(fd, data, length, nullptr, timeoutUs, sent, false);
}

int SendToOnce(int fd, const void* data, size_t length, const char* address, long long port,
               long long timeoutUs, size_t& sent)
{
    return SendTo(fd, data, length, address, port, timeoutUs, sent, false);
}

int SendAll(int fd, const void* data, size_t length, long long timeoutUs, size_t& sent)
{
    return Send(fd, data, length, nullptr, timeoutUs, sent, true);
}

int SendToAll(int fd, const void* data, size_t length, const char* address, long long port,
              long long timeoutUs, size_t& sent)
{
    return SendTo(fd, data, length, address, port, timeoutUs, sent, true);
}
