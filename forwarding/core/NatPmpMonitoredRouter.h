#pragma once

#include "forwarding/core/MonitoredRouter.h"
#include "forwarding/core/NatPmpLeaseKeeper.h"

#include <chrono>
#include <optional>

namespace velmora {

// A NAT-PMP gateway. It cannot be asked about one mapping; what it does tell,
// with every public-address answer, is its epoch: seconds since it started or
// lost its mappings. An epoch that went back means every mapping is gone.
class NatPmpMonitoredRouter final : public MonitoredRouter
{
public:
    using Clock = std::chrono::steady_clock;

    // `keeper` renews what is installed again; it outlives this router.
    NatPmpMonitoredRouter(in_addr_t gateway, NatPmpLeaseKeeper& keeper, uint32_t lifetime,
                          std::chrono::milliseconds timeout = std::chrono::milliseconds(2000));

    RouterProbe probe() override;
    // Missing for every mapping after a probe that found the state lost; Held otherwise.
    MappingLookup lookup(const MappingRequest& request) override;
    bool reinstall(const MappingRequest& request) override;
    // The lease keeper renews every mapping installed here.
    bool keepsLeases() const override { return true; }

private:
    in_addr_t gateway_;
    NatPmpLeaseKeeper& keeper_;
    uint32_t lifetime_;
    std::chrono::milliseconds timeout_;
    std::optional<uint32_t> epoch_;
    Clock::time_point epochSeen_{};
    bool lost_ = false;
};

// RFC 6886 3.6: whether a gateway that said `before` at `then` and now says
// `now` after `elapsedSeconds` of our clock has lost its state (its epoch did
// not advance by at least 7/8 of our time, less 2 seconds of slack).
bool NatPmpEpochLost(uint32_t before, uint32_t now, uint64_t elapsedSeconds);

} // namespace velmora
