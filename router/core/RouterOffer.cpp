#include "router/core/RouterOffer.h"

#include "platform/DeadlineScale.h"
#include "platform/NetworkInterfaces.h"
#include "router/core/PcpExchange.h"
#include "router/core/ProblemTexts.h"
#include "router/core/RouterEntry.h"
#include "upnp/core/PinholeRequest.h"
#include "upnp/core/UpnpClient.h"
#include "upnp/core/UrlParts.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cstring>
#include <strings.h>

namespace velmora {
namespace {

std::string Field(const char* text, size_t size)
{
    return std::string(text, strnlen(text, size));
}

// Whether the server answers a PCP announcement (version 2, success) from `source`.
bool AnswersPcp(const std::string& server, const std::string& source,
                std::chrono::milliseconds wait)
{
    PcpRequest announce;
    announce.opcode = PcpOpcode::Announce;
    const PcpOutcome outcome =
        ExchangePcp(server, source, announce, DeadlineAfter(ScaledDeadline(wait)));
    return outcome.status == PcpOutcome::Status::Answered &&
           outcome.answer.result == pcp_result::kSuccess;
}

std::string GatewayText(in_addr_t gateway)
{
    char text[INET_ADDRSTRLEN] = {};
    in_addr address{};
    address.s_addr = gateway;
    return inet_ntop(AF_INET, &address, text, sizeof text) ? text : "";
}

} // namespace

RouterOffer CachedOfferOf(RouterEntry& router)
{
    if (std::optional<RouterOffer> known = KnownOfferOf(router))
        return *known;
    auto offer = std::make_shared<const RouterOffer>(OfferOf(router));
    std::lock_guard lock(router.offer_mutex);
    router.offer = offer;
    return *offer;
}

std::optional<RouterOffer> KnownOfferOf(RouterEntry& router)
{
    std::lock_guard lock(router.offer_mutex);
    if (!router.offer)
        return std::nullopt;
    return *router.offer;
}

Message DescribePinholeFailure(const UpnpClient& client)
{
    using namespace problem_texts;
    if (client.upnp_error != 0)
        return Message(kRouterRefusedWith, {DescribePinholeError(client.upnp_error)});
    if (client.last_error.rfind("Fail to connect", 0) == 0)
        return Message(kRouterUnreachable);
    if (client.last_error.rfind("Unreadable", 0) == 0 ||
        client.last_error.rfind("Fail to read", 0) == 0)
        return Message(kAnswerUnreadable);
    return Message(kRouterSilent);
}

FirewallStatus ReadFirewallStatus(const LeaseRoute& route)
{
    FirewallStatus status;
    UpnpClient client;
    client.init_client(kPinholeConnectAttempts);
    client.setRouterInfo(RouterInfo::forService(route.controlUrl, route.serviceType));
    client.source_address = route.source;
    status.answered = client.GetFirewallStatus(status.enabled, status.inboundAllowed);
    if (!status.answered)
        status.problem = DescribePinholeFailure(client);
    return status;
}

OfferReport QueryOfferReport(RouterEntry& router)
{
    OfferReport report;
    report.natPmp = router.is_apple;
    report.offer = CachedOfferOf(router);
    if (!report.offer.upnpFirewall)
        return report;
    LeaseRoute route = report.offer.pinholes;
    if (route.via != LeaseRoute::Via::UpnpPinhole) {
        route = {};
        route.via = LeaseRoute::Via::UpnpPinhole;
        route.controlUrl = router.urls.controlURL_6FC;
        route.serviceType =
            Field(router.data.IPv6FC.servicetype, sizeof router.data.IPv6FC.servicetype);
    }
    report.firewall = ReadFirewallStatus(route);
    return report;
}

bool IsThisComputer(const std::string& address)
{
    if (strcasecmp(address.c_str(), "Localhost") == 0)
        return true;
    const auto own = LocalIPv4Addresses();
    return std::find(own.begin(), own.end(), address) != own.end();
}

LeaseRoute PcpMappingRouteOf(RouterEntry& router)
{
    LeaseRoute route;
    if (!router.is_apple || !router.speaks_pcp)
        return route;
    std::lock_guard lock(router.natpmp_mutex);
    if (router.natpmp_open) {
        route.server = GatewayText(router.natpmp.gateway);
        route.via = route.server.empty() ? LeaseRoute::Via::None : LeaseRoute::Via::Pcp;
    }
    return route;
}

RouterOffer OfferOf(RouterEntry& router, std::chrono::milliseconds pcpProbe)
{
    RouterOffer offer;
    offer.pcpMappings = PcpMappingRouteOf(router);
    offer.pcp = static_cast<bool>(offer.pcpMappings);
    offer.upnpFirewall = !router.is_apple && router.urls.controlURL_6FC &&
                         router.urls.controlURL_6FC[0] != '\0' &&
                         router.data.IPv6FC.servicetype[0] != '\0';

    // The link the router is on: the one of the address a UPnP router was
    // found from, or the default route's for a gateway that answered NAT-PMP
    // there. A router known neither way is asked nothing.
    std::string link;
    if (!router.is_apple) {
        link = InterfaceOfIPv4Address(router.lan_address);
    } else {
        std::lock_guard lock(router.natpmp_mutex);
        if (router.natpmp_open)
            link = InterfaceOfIPv4Address(DefaultRouteInterfaceAddress());
    }
    if (link.empty())
        return offer;
    offer.pinholeAddress = PinholeAddress(GlobalIPv6Addresses(), link);
    const IPv6Gateway gateway = DefaultIPv6Gateway();
    if (offer.pinholeAddress.empty() || gateway.address.empty() || gateway.interfaceName != link)
        return offer;

    LeaseRoute& route = offer.pinholes;
    route.source = route.lanAddress = offer.pinholeAddress;
    if (offer.upnpFirewall) {
        // The service's own URL names the router's IPv4 address; the router
        // opens a pinhole only for the address that asks, so the request goes
        // over IPv6 to the same port and path through the IPv6 gateway.
        route.via = LeaseRoute::Via::UpnpPinhole;
        route.controlUrl = UrlWithHost(router.urls.controlURL_6FC, gateway.zoned());
        route.serviceType =
            Field(router.data.IPv6FC.servicetype, sizeof router.data.IPv6FC.servicetype);
        if (route.controlUrl.empty())
            route = {};
        return offer;
    }
    if (AnswersPcp(gateway.zoned(), offer.pinholeAddress, pcpProbe)) {
        offer.pcp = true;
        route.via = LeaseRoute::Via::Pcp;
        route.server = gateway.zoned();
    } else {
        route = {};
    }
    return offer;
}

} // namespace velmora
