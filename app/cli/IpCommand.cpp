#include "app/cli/Bounded.h"
#include "app/cli/Commands.h"
#include "app/cli/JsonWriter.h"
#include "app/cli/RouterSearch.h"
#include "forwarding/core/NatPmpMappingWriter.h"
#include "forwarding/core/NatPmpMonitoredRouter.h"
#include "forwarding/core/ProgramUpnpClient.h"
#include "platform/NetworkInterfaces.h"
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

} // namespace

int RunIp(const Invocation& invocation)
{
    const std::vector<std::string> local = LocalIPv4Addresses();
    const RouterEntryPtr router = FindRouter(invocation);
    if (!router)
        return kExitFailure;
    std::string external;
    RunWithin(
        DeadlineAfter(kAnswerDeadline), [&] { external = PlainText(ExternalAddressOf(*router)); },
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
        json.key("double_nat").value(doubleNat).endObject();
        std::fprintf(invocation.io.out, "%s\n", json.text().c_str());
    } else {
        for (const std::string& address : local)
            std::fprintf(invocation.io.out, "Local IP: %s\n", address.c_str());
        if (!external.empty())
            std::fprintf(invocation.io.out, "External IP: %s\n", external.c_str());
        if (doubleNat)
            std::fprintf(invocation.io.out, "%s\n", DoubleNatMessage(external).c_str());
    }
    if (external.empty())
        return Fail(invocation.io, "the router did not tell its external address");
    return kExitSuccess;
}

} // namespace velmora::cli
