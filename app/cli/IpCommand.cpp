#include "app/cli/Bounded.h"
#include "app/cli/Commands.h"
#include "app/cli/JsonWriter.h"
#include "app/cli/RouterSearch.h"
#include "forwarding/core/NatPmpMappingWriter.h"
#include "forwarding/core/NatPmpMonitoredRouter.h"
#include "forwarding/core/ProgramUpnpClient.h"
#include "platform/NetworkInterfaces.h"
#include "router/core/RouterOffer.h"
#include "upnp/core/DoubleNat.h"
#include "upnp/core/ExternalAddressLookup.h"
#include "upnp/core/UpnpClient.h"

namespace velmora::cli {

namespace {

// GetExternalIPAddress of the program's own client (as View IP asks it), or
// the NAT-PMP gateway's public address. Empty when the router does not tell.
std::string ExternalAddressOf(RouterEntry& router)
{
    if (router.is_apple) {
        NatPmpLeaseKeeper keeper; // nothing is mapped: it never starts
        return NatPmpMonitoredRouter(NatPmpGatewayOf(router), keeper,
                                     NatPmpMappingWriter::kLifetime)
            .probe()
            .externalAddress;
    }
    const RouterEndpoint endpoint = EndpointOf(router);
    UpnpClient client;
    client.init_client(ProgramUpnpClient::kConnectAttempts);
    client.setRouterInfo(RouterInfo::forService(endpoint.controlUrl, endpoint.serviceType));
    char address[kExternalAddressBuffer] = {};
    return client.GetExternalIPAddress(address, sizeof address) ? address : "";
}

// The window's words for the way in over IPv6 behind another NAT.
std::string ReachableOverIPv6(const std::string& pinholeAddress)
{
    return "Over IPv6 this router opens pinholes: after Add into Router a program on this "
           "computer is reachable from the internet at [" +
           pinholeAddress + "]:port.";
}

// This computer's addresses as View IP lists them: IPv4, then the global IPv6 ones.
std::vector<std::string> LocalAddresses()
{
    std::vector<std::string> addresses = LocalIPv4Addresses();
    for (const GlobalIPv6Address& global : GlobalIPv6Addresses())
        addresses.push_back(global.address);
    return addresses;
}

} // namespace

int RunIp(const Invocation& invocation)
{
    const std::vector<std::string> local = LocalAddresses();
    const RouterEntryPtr router = FindRouter(invocation);
    if (!router)
        return kExitFailure;
    std::string external;
    std::string pinholeAddress; // behind another NAT: where pinholes lead, if the router opens them
    RunWithin(
        DeadlineAfter(kAnswerDeadline),
        [&] {
            external = PlainText(ExternalAddressOf(*router));
            if (!IsPrivateOrSharedAddress(external))
                return;
            if (const RouterOffer offer = CachedOfferOf(*router); offer.pinholes)
                pinholeAddress = offer.pinholeAddress;
        },
        invocation.io, NoAnswerWithin(kAnswerDeadline));
    const bool doubleNat = IsPrivateOrSharedAddress(external);
    if (invocation.json) {
        JsonWriter json;
        json.beginObject().key("local").beginArray();
        for (const std::string& address : local)
            json.value(address);
        json.endArray().key("external");
        if (external.empty())
            json.null();
        else
            json.value(external);
        json.key("double_nat").value(doubleNat).key("pinhole_address");
        if (pinholeAddress.empty())
            json.null();
        else
            json.value(pinholeAddress);
        json.endObject();
        std::fprintf(invocation.io.out, "%s\n", json.text().c_str());
    } else {
        for (const std::string& address : local)
            std::fprintf(invocation.io.out, "Local IP: %s\n", address.c_str());
        if (!external.empty())
            std::fprintf(invocation.io.out, "External IP: %s\n", external.c_str());
        if (doubleNat)
            std::fprintf(invocation.io.out, "%s\n", DoubleNatMessage(external).c_str());
        if (!pinholeAddress.empty())
            std::fprintf(invocation.io.out, "%s\n", ReachableOverIPv6(pinholeAddress).c_str());
    }
    if (external.empty())
        return Fail(invocation.io, "the router did not tell its external address");
    return kExitSuccess;
}

} // namespace velmora::cli
