#pragma once

#include "forwarding/core/MonitoredRouter.h"
#include "forwarding/core/NatPmpLeaseKeeper.h"

#include <cstdint>
#include <memory>

struct RouterEntry;

namespace velmora {

class BootIdListener;
class MappingMonitor;

// The router as the mapping monitor asks it: NAT-PMP for an AirPort gateway
// (re-installed mappings go to `keeper`, asked for `natPmpLifetime` seconds),
// UPnP otherwise. The keeper outlives the monitor.
std::shared_ptr<MonitoredRouter> MonitoredRouterFor(RouterEntry& router, NatPmpLeaseKeeper& keeper,
                                                    uint32_t natPmpLifetime);

// For a UPnP router: a listener that brings the monitor's next check forward
// when the router announces a restart. Null for a NAT-PMP gateway or a control
// URL without a usable host. The listener goes before the monitor it calls.
std::unique_ptr<BootIdListener> RestartListenerFor(const RouterEntry& router,
                                                   MappingMonitor& monitor);

} // namespace velmora
