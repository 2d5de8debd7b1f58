#include "forwarding/core/MonitoredRouterFor.h"

#include "forwarding/core/DualStackMonitoredRouter.h"
#include "forwarding/core/MappingMonitor.h"
#include "forwarding/core/NatPmpMonitoredRouter.h"
#include "forwarding/core/UpnpMonitoredRouter.h"
#include "router/core/BootIdListener.h"
#include "router/core/RouterEntry.h"
#include "router/core/RouterOffer.h"
#include "upnp/core/UrlParts.h"

namespace velmora {

MonitorTarget MonitoredRouterFor(RouterEntry& router, NatPmpLeaseKeeper& keeper,
                                 uint32_t natPmpLifetime, const std::shared_ptr<LeaseBook>& book)
{
    // Pinholes (once the offer is known) and PCP mappings in place of NAT-PMP.
    const LeaseRoute pcp = book ? PcpMappingRouteOf(router) : LeaseRoute{};
    const std::optional<RouterOffer> offer = book ? KnownOfferOf(router) : std::nullopt;
    const LeaseRoute pinholes = offer ? offer->pinholes : LeaseRoute{};
    if ((pcp || pinholes) && (pcp || !router.is_apple)) {
        std::shared_ptr<MonitoredRouter> ipv4;
        if (!pcp)
            ipv4 = std::make_shared<UpnpMonitoredRouter>(EndpointOf(router));
        return {
            std::make_shared<DualStackMonitoredRouter>(ipv4, book, pinholes, pcp, natPmpLifetime),
            ipv4 != nullptr};
    }
    if (router.is_apple)
        return {std::make_shared<NatPmpMonitoredRouter>(NatPmpGatewayOf(router), keeper,
                                                        natPmpLifetime),
                false};
    return {std::make_shared<UpnpMonitoredRouter>(EndpointOf(router)), true};
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
