#pragma once

#include "platform/Message.h"
#include "upnp/core/UpnpClient.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

struct RouterEntry;

// The router's port-mapping table through miniupnpc: listing, reading one
// mapping, deleting, the external address. Every call blocks until the router
// answers or miniupnpc's socket timeouts pass.

namespace velmora {

// Where a UPnP router takes its actions: its WAN connection service's control
// URL and service type, as the scan found them. A copy, so that a worker
// thread needs nothing else.
struct RouterEndpoint
{
    std::string controlUrl;
    std::string serviceType;
};
RouterEndpoint EndpointOf(const RouterEntry& router);

struct PortMappingRow
{
    std::string description;
    std::string protocol;
    std::string externalPort;
    std::string internalClient;
    std::string internalPort;
    std::string leaseDuration; // seconds left as the router says; "0" or empty: no end
};

// UPNPCOMMAND_SUCCESS (0) when the router returned the mapping at `index`;
// otherwise miniupnpc's error or the router's UPnP error code.
int GetGenericPortMapping(const RouterEndpoint& router, int index, PortMappingRow& row);

// The mapping the router holds for an external port and protocol (any remote
// host). 0 and `row` filled, or an error (714 when there is none).
// The whole table: index 0, 1, 2, ... until the first index the router does
// not answer with a mapping, or until `cancel` is set between two requests.
// A router that never stops answering is cut off after `limit` rows.
// Returns the number of rows handed to `onRow`.
inline constexpr int kMaxListedMappings = UpnpClient::kMaxListedMappings;
int ListPortMappings(const RouterEndpoint& router, const std::atomic<bool>& cancel,
                     const std::function<void(const PortMappingRow&)>& onRow,
                     int limit = kMaxListedMappings);

int GetSpecificPortMapping(const RouterEndpoint& router, uint16_t externalPort,
                           const std::string& protocol, PortMappingRow& row);

int DeletePortMapping(const RouterEndpoint& router, const std::string& externalPort,
                      const std::string& protocol);

int GetExternalAddress(const RouterEndpoint& router, std::string& address);

// miniupnpc's text for a result code ("error <code>" when it has none).
Message UpnpResultText(int code);
std::string DescribeUpnpResult(int code); // in English

// Whether two internal-client texts name the same IPv4 address ("010.0.0.1"
// is not normalised: texts that are not dotted quads compare as they are).
bool SameAddress(const std::string& a, const std::string& b);

} // namespace velmora
