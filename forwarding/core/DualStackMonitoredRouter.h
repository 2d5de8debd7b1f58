#pragma once

#include "forwarding/core/LeaseBook.h"
#include "forwarding/core/MonitoredRouter.h"

#include <memory>
#include <optional>

namespace velmora {

// A router as the monitor sees it when this program also holds leases there:
// IPv6 pinholes, and PCP mappings where PCP replaces NAT-PMP. Requests it
// holds leases for are looked up by opening them again with the same
// parameters (a router that still has one renews it; one that lost it, after
// a restart, opens it anew), and are always reopened when missing; every
// other request goes to the router's own monitor of old (`ipv4`, which may be
// missing when every IPv4 mapping goes by PCP).
class DualStackMonitoredRouter final : public MonitoredRouter
{
public:
    DualStackMonitoredRouter(std::shared_ptr<MonitoredRouter> ipv4, std::shared_ptr<LeaseBook> book,
                             LeaseRoute pinholes, LeaseRoute pcpMappings, uint32_t lease);

    // The IPv4 router's probe; without one, a PCP announcement, whose epoch
    // tells a gateway that started afresh.
    RouterProbe probe() override;
    MappingLookup lookup(const MappingRequest& request) override;
    bool reinstall(const MappingRequest& request) override;
    bool keepsLeases() const override;
    bool keepsLease(const MappingRequest& request) const;

private:
    const LeaseRoute* routeFor(const MappingRequest& request) const;

    std::shared_ptr<MonitoredRouter> ipv4_;
    std::shared_ptr<LeaseBook> book_;
    LeaseRoute pinholes_;
    LeaseRoute pcpMappings_;
    uint32_t lease_;
    std::optional<uint32_t> epoch_;
    std::chrono::steady_clock::time_point epochSeen_{};
};

} // namespace velmora
