#include "platform/SocketReceive.h"

#include "platform/SocketWait.h"

#include <cerrno>
#include <sys/socket.h>

namespace velmora {

ReceiveResult ReceiveWithin(int fd, char* buffer, size_t capacity, Deadline deadline, bool stream,
                            sockaddr_in* from)
{
    using Status = ReceiveResult::Status;
    for (;;) {
        switch (WaitReadable(fd, deadline)) {
        case WaitResult::TimedOut:
            return {Status::TimedOut, 0};
        case WaitResult::Failed:
            return {Status::Failed, 0, errno};
        case WaitResult::Ready:
            break;
        }
        socklen_t fromSize = sizeof(sockaddr_in);
        const ssize_t n = ::recvfrom(fd, buffer, capacity, MSG_DONTWAIT,
                                     reinterpret_cast<sockaddr*>(from), from ? &fromSize : nullptr);
        if (n > 0)
            return {Status::Received, static_cast<size_t>(n)};
        if (n == 0)
            return {stream ? Status::Closed : Status::Received, 0};
        // Readiness without data (a dropped datagram, a spurious wake): wait again.
        if (errno != EINTR && errno != EAGAIN && errno != EWOULDBLOCK)
            return {Status::Failed, 0, errno};
    }
}

} // namespace velmora
