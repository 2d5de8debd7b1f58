#pragma once

#include "platform/Deadline.h"

#include <cstddef>
#include <netinet/in.h>

namespace velmora {

enum class SendResult
{
    Sent,
    TimedOut, // no room to send came before the deadline
    Failed,   // a socket error (a closed peer included; never SIGPIPE); errno says which
};

// One send call (repeated while interrupted); on would-block it waits for
// room until `deadline` and tries once more. `sent` gets the bytes sent,
// 0 on failure. With `to`, the call is a sendto to that address.
SendResult SendSome(int fd, const void* data, size_t length, Deadline deadline, size_t& sent,
                    const sockaddr_in* to = nullptr);

// SendSome on the rest of the buffer until nothing is left or a call fails.
// A length of 0 still makes exactly one call (an empty datagram, or a check
// of a stream). `sent` gets the total.
SendResult SendAll(int fd, const void* data, size_t length, Deadline deadline, size_t& sent,
                   const sockaddr_in* to = nullptr);

} // namespace velmora
