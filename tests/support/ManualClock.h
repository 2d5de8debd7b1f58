#pragma once

#include "platform/WaitClock.h"

#include <atomic>
#include <chrono>

namespace velmora::test {

// A clock the test moves by hand. A worker's wait on it ends when woken, or
// polls every millisecond of real time until the test has moved the clock
// past its end; sleepingUntil() tells when the worker means to wake.
class ManualClock final : public WaitClock
{
public:
    static constexpr SteadyClock::time_point kStart{std::chrono::hours(1000)};

    SteadyClock::time_point now() const override { return kStart + offset_.load(); }
    void waitUntil(std::condition_variable& wake, std::unique_lock<std::mutex>& lock,
                   SteadyClock::time_point until) const override
    {
        sleepingUntil_ = until;
        if (now() < until)
            wake.wait_for(lock, std::chrono::milliseconds(1));
    }

    void advance(SteadyClock::duration by) { offset_ = offset_.load() + by; }
    // The end of the latest wait a worker began; kStart before any.
    SteadyClock::time_point sleepingUntil() const { return sleepingUntil_.load(); }

private:
    std::atomic<SteadyClock::duration> offset_{SteadyClock::duration::zero()};
    mutable std::atomic<SteadyClock::time_point> sleepingUntil_{kStart};
};

} // namespace velmora::test
