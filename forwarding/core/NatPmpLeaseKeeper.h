#pragma once

#include "forwarding/core/NatPmpMapping.h"
#include "platform/WaitClock.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace velmora {

// A NAT-PMP mapping this program holds: renewed before it runs out.
struct NatPmpLease
{
    in_addr_t gateway = 0; // network byte order
    int protocol = 0;      // NATPMP_PROTOCOL_TCP or NATPMP_PROTOCOL_UDP
    uint16_t port = 0;     // private port = public port
    uint32_t lifetime = 0; // seconds asked for at each renewal
};

// Renews NAT-PMP mappings at half the lifetime the gateway granted, for as
// long as the keeper lives, on a thread of its own (started with the first
// lease, stopped and joined by the destructor). A failed renewal is tried
// again sooner; the mapping stays kept. A renewal granted for no time is the
// gateway's deletion of the mapping: it is no longer kept.
class NatPmpLeaseKeeper final
{
public:
    using Clock = std::chrono::steady_clock;
    using Renew = std::function<NatPmpAnswer(const NatPmpLease&)>;

    // `renew` does one exchange with the gateway; by default a libnatpmp
    // request. `clock` schedules the renewals (it outlives the keeper).
    explicit NatPmpLeaseKeeper(Renew renew = {}, const WaitClock& clock = WaitClock::Steady());
    ~NatPmpLeaseKeeper();
    NatPmpLeaseKeeper(const NatPmpLeaseKeeper&) = delete;
    NatPmpLeaseKeeper& operator=(const NatPmpLeaseKeeper&) = delete;

    // Starts keeping a mapping that the gateway just granted for `granted`
    // seconds (a mapping already kept gets the new schedule).
    void keep(const NatPmpLease& lease, uint32_t granted);

    size_t leaseCount() const;
    // Renewal exchanges made so far, successful or not.
    uint64_t renewals() const;

    // Time to the next renewal of a mapping granted for `granted` seconds.
    static Clock::duration renewInterval(uint32_t granted);
    // Time to the next try after a renewal failed.
    static Clock::duration retryInterval(uint32_t lifetime);

private:
    struct Kept
    {
        NatPmpLease lease;
        Clock::time_point due;
    };

    void run();

    Renew renew_;
    const WaitClock& clock_;
    mutable std::mutex mutex_; // guards everything below
    std::condition_variable wake_;
    std::vector<Kept> kept_;
    uint64_t renewals_ = 0;
    bool stopping_ = false;
    std::thread thread_;
};

} // namespace velmora
