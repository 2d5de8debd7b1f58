#pragma once

#include "platform/Deadline.h"

#include <condition_variable>
#include <mutex>

namespace velmora {

// The time by which a worker that sleeps between rounds schedules them. The
// program's is the steady clock; a test passes one it moves by hand, so that
// hours of schedule take no time.
class WaitClock
{
public:
    virtual ~WaitClock() = default;

    virtual SteadyClock::time_point now() const = 0;
    // Sleeps on `wake` (its mutex held through `lock`) until `until` on this
    // clock or until woken; may return early, so callers check again.
    virtual void waitUntil(std::condition_variable& wake, std::unique_lock<std::mutex>& lock,
                           SteadyClock::time_point until) const = 0;

    // The steady clock.
    static const WaitClock& Steady();
};

} // namespace velmora
