#pragma once

#include "forwarding/core/LeaseBook.h"
#include "forwarding/core/MonitoredRouter.h"
#include "forwarding/core/NatPmpLeaseKeeper.h"

#include <cstdint>
#include <memory>

struct RouterEntry;

namespace velmora {

class BootIdListener;
class MappingMonitor;

// The router as the mapping monitor asks it, and whether its announcements
// of a restart concern what is watched.
struct MonitorTarget
{
    std::shared_ptr<MonitoredRouter> router;
    bool announces = false; // its IPv4 mappings are asked of the router's UPnP service
};

// NAT-PMP for an AirPort gateway (re-installed mappings go to `keeper`, asked
// for `natPmpLifetime` seconds), UPnP otherwise. With `book` (the leases of
// pinholes and PCP mappings), a router that offers IPv6 pinholes (once its
// offer is known) or takes its IPv4 mappings by PCP is watched on both stacks;
// a NAT-PMP gateway's epoch watch has no place beside pinholes. The keeper
// outlives the monitor.
MonitorTarget MonitoredRouterFor(RouterEntry& router, NatPmpLeaseKeeper& keeper,
                                 uint32_t natPmpLifetime,
                                 const std::shared_ptr<LeaseBook>& book = nullptr);

// For a UPnP router: a listener that brings the monitor's next check forward
// when the router announces a restart. Null for a NAT-PMP gateway or a control
// URL without a usable host. The listener goes before the monitor it calls.
std::unique_ptr<BootIdListener> RestartListenerFor(const RouterEntry& router,
                                                   MappingMonitor& monitor);

} // namespace velmora
