#pragma once

#include "platform/Deadline.h"

#include <cstddef>
#include <netinet/in.h>

namespace velmora {

struct ReceiveResult
{
    enum class Status
    {
        Received, // `size` bytes (0 for an empty datagram)
        Closed,   // the peer closed the stream
        TimedOut, // nothing came before the deadline
        Failed,   // a socket error
    };
    Status status = Status::Failed;
    size_t size = 0;
    int error = 0; // the errno value of a failure
};

// Waits until data is there or `deadline` passes, then reads once, up to
// `capacity` bytes, without blocking. One datagram per call on a datagram
// socket; `from`, when given, gets its sender.
ReceiveResult ReceiveWithin(int fd, char* buffer, size_t capacity, Deadline deadline,
                            bool stream = true, sockaddr_in* from = nullptr);

} // namespace velmora
