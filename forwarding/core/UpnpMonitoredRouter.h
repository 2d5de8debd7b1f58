#pragma once

#include "forwarding/core/MonitoredRouter.h"
#include "forwarding/core/RouterMappings.h"
#include "forwarding/core/UpnpMappingWriter.h"

namespace velmora {

// A UPnP gateway: the external address through GetExternalIPAddress, each
// mapping through GetSpecificPortMappingEntry, re-installing through the
// program's own AddPortMapping.
class UpnpMonitoredRouter final : public MonitoredRouter
{
public:
    explicit UpnpMonitoredRouter(RouterEndpoint endpoint);

    RouterProbe probe() override;
    MappingLookup lookup(const MappingRequest& request) override;
    bool reinstall(const MappingRequest& request) override;

private:
    RouterEndpoint endpoint_;
    UpnpMappingWriter writer_;
};

// The UPnP error that says a router holds no such mapping.
inline constexpr int kNoSuchEntryInArray = 714;

// What a GetSpecificPortMappingEntry result says about `request`: `code` is
// miniupnpc's result (negative: no usable answer; positive: the router's UPnP
// error, such as 714 for no such mapping), `row` the mapping it returned.
MappingLookup AssessLookup(const MappingRequest& request, int code, const PortMappingRow& row);

} // namespace velmora
