#include "platform/WaitClock.h"

namespace velmora {

namespace {

class SteadyWaitClock final : public WaitClock
{
public:
    SteadyClock::time_point now() const override { return SteadyClock::now(); }
    void waitUntil(std::condition_variable& wake, std::unique_lock<std::mutex>& lock,
                   SteadyClock::time_point until) const override
    {
        wake.wait_until(lock, until);
    }
};

} // namespace

const WaitClock& WaitClock::Steady()
{
    static const SteadyWaitClock clock;
    return clock;
}

} // namespace velmora
