#include "forwarding/core/MonitoredRouterFor.h"

#include "forwarding/core/MappingMonitor.h"
#include "forwarding/core/NatPmpMonitoredRouter.h"
#include "forwarding/core/UpnpMonitoredRouter.h"
#include "router/core/BootIdListener.h"
#include "router/core/RouterEntry.h"
#include "upnp/core/UrlParts.h"

namespace velmora {

std::shared_ptr<MonitoredRouter> MonitoredRouterFor(RouterEntry& router, NatPmpLeaseKeeper& keeper,
                                                    uint32_t natPmpLifetime)
{
    if (router.is_apple)
        return std::make_shared<NatPmpMonitoredRouter>(NatPmpGatewayOf(router), keeper,
                                                       natPmpLifetime);
    return std::make_shared<UpnpMonitoredRouter>(EndpointOf(router));
}

std::unique_ptr<BootIdListener> RestartListenerFor(const RouterEntry& router,
                                                   MappingMonitor& monitor)
{
    if (router.is_apple)
        return nullptr;
    std::string host;
    uint16_t port = 0;
    std::string path;
    if (!parseUrl(EndpointOf(router).controlUrl, host, port, path))
        return nullptr;
    return std::make_unique<BootIdListener>(
        router.lan_address, host, [&monitor](const std::string& why) { monitor.checkSoon(why); });
}

} // namespace velmora
