#pragma once

#include "platform/Deadline.h"

#include <vector>

namespace velmora {

enum class WaitResult
{
    Ready,    // the socket is ready, or has an error or hang-up the next call will report
    TimedOut, // the deadline came first (a deadline already passed still looks once)
    Failed,   // the descriptor is not open, or the wait itself failed
};

// Wait until `fd` can be read from / written to, or until `deadline`
// (kNoDeadline: no limit). Interrupted waits go on with the time that is
// left. Any descriptor number works (no select() limit).
WaitResult WaitReadable(int fd, Deadline deadline);
WaitResult WaitWritable(int fd, Deadline deadline);

// Waits until one of `fds` can be read from, or until `deadline`; `ready[i]`
// then tells whether fds[i] can. Negative entries are left out.
WaitResult WaitAnyReadable(const std::vector<int>& fds, Deadline deadline,
                           std::vector<bool>& ready);

} // namespace velmora
