#include "platform/SocketSend.h"

#include "platform/SocketWait.h"

#include <cerrno>
#include <sys/socket.h>

namespace velmora {
namespace {

// One system call, repeated while interrupted; never blocks.
ssize_t SendCall(int fd, const void* data, size_t length, const sockaddr_in* to)
{
    ssize_t result;
    do {
        result = to ? ::sendto(fd, data, length, MSG_NOSIGNAL | MSG_DONTWAIT,
                               reinterpret_cast<const sockaddr*>(to), sizeof *to)
                    : ::send(fd, data, length, MSG_NOSIGNAL | MSG_DONTWAIT);
    } while (result < 0 && errno == EINTR);
    return result;
}

} // namespace

SendResult SendSome(int fd, const void* data, size_t length, Deadline deadline, size_t& sent,
                    const sockaddr_in* to)
{
    sent = 0;
    ssize_t result = SendCall(fd, data, length, to);
    if (result < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
        const WaitResult waited = WaitWritable(fd, deadline);
        if (waited != WaitResult::Ready)
            return waited == WaitResult::TimedOut ? SendResult::TimedOut : SendResult::Failed;
        result = SendCall(fd, data, length, to);
    }
    if (result < 0)
        return SendResult::Failed;
    sent = static_cast<size_t>(result);
    return SendResult::Sent;
}

SendResult SendAll(int fd, const void* data, size_t length, Deadline deadline, size_t& sent,
                   const sockaddr_in* to)
{
    const char* bytes = static_cast<const char*>(data);
    sent = 0;
    SendResult result;
    do {
        size_t part = 0;
        result = SendSome(fd, bytes + sent, length - sent, deadline, part, to);
        sent += part;
        if (result == SendResult::Sent && part == 0 && sent < length)
            return SendResult::Failed; // no progress on a non-empty rest: give up rather than spin
    } while (result == SendResult::Sent && sent < length);
    return result;
}

} // namespace velmora
