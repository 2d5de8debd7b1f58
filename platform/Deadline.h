#pragma once

#include <chrono>

namespace velmora {

// The one clock of every network wait: a wait is given the moment it must end
// by, never a length, so that a loop of waits cannot overrun its limit.
using SteadyClock = std::chrono::steady_clock;
using Deadline = SteadyClock::time_point;

// A deadline that never comes: the wait has no limit.
inline constexpr Deadline kNoDeadline = Deadline::max();

inline Deadline DeadlineAfter(SteadyClock::duration length)
{
    return SteadyClock::now() + length;
}

// Time left until `deadline`, never negative.
inline SteadyClock::duration TimeLeft(Deadline deadline)
{
    const auto now = SteadyClock::now();
    return deadline > now ? deadline - now : SteadyClock::duration::zero();
}

} // namespace velmora
