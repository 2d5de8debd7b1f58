#pragma once

#include "platform/Deadline.h"

#include <netinet/in.h>
#include <sys/socket.h>

namespace velmora {

struct ConnectResult
{
    enum class Status
    {
        Connected,
        TimedOut, // the deadline came before the peer answered
        Failed,   // refused, unreachable...: `error` says which
    };
    Status status = Status::Failed;
    int error = 0; // the errno value of a failure

    bool connected() const { return status == Status::Connected; }
};

// Connects `fd` to `address`, waiting no later than `deadline` (kNoDeadline:
// the system's own time-out). The socket's blocking mode is the same
// afterwards; a datagram socket only fixes its peer.
ConnectResult ConnectWithin(int fd, const sockaddr_in& address, Deadline deadline);
// The same for any address family (an IPv6 sockaddr_in6, ...).
ConnectResult ConnectWithin(int fd, const sockaddr* address, socklen_t length, Deadline deadline);

} // namespace velmora
