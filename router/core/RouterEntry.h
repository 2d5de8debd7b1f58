#pragma once

#include <memory>
#include <miniupnpc/igd_desc_parse.h>
#include <miniupnpc/miniupnpc.h>
#include <mutex>
#include <natpmp.h>
#include <string>
#include <vector>

namespace velmora {
struct RouterOffer;
} // namespace velmora

// One router found by a scan: a UPnP gateway (its URLs and description data)
// or a NAT-PMP gateway, which is taken to be an AirPort base station.
// Owns its miniupnpc strings and its NAT-PMP socket; shared (never copied)
// between the GUI and the threads that talk to the router.
struct RouterEntry final
{
    RouterEntry() = default;
    ~RouterEntry();
    RouterEntry(const RouterEntry&) = delete;
    RouterEntry& operator=(const RouterEntry&) = delete;

    std::string description_url; // empty for a NAT-PMP gateway
    bool is_apple = false;
    UPNPUrls urls{};           // UPnP only; released with FreeUPNPUrls
    IGDdatas data{};           // UPnP only
    std::string friendly_name; // root device's first friendlyName, at most 127 characters
    std::string lan_address;   // local address miniupnpc reported for the gateway

    // NAT-PMP only: the handle whose request succeeded; its socket stays open
    // for later requests and is closed with the entry. Lock the mutex around
    // every use of the handle.
    natpmp_t natpmp{};
    bool natpmp_open = false;
    std::mutex natpmp_mutex;
    // NAT-PMP only: the gateway also speaks PCP (RFC 6887), which then
    // replaces NAT-PMP for port mappings.
    bool speaks_pcp = false;

    // What the router offers for IPv6 pinholes and PCP mappings, found once
    // (CachedOfferOf); null until then. Lock the mutex around every use.
    std::shared_ptr<const velmora::RouterOffer> offer;
    std::mutex offer_mutex;

    // The line the router box shows for this router.
    std::string displayName() const { return is_apple ? "AirPort Station" : friendly_name; }
};

namespace velmora {

using RouterEntryPtr = std::shared_ptr<RouterEntry>;
using RouterList = std::vector<RouterEntryPtr>;

// The address of a NAT-PMP gateway (network byte order), taken under its
// handle's lock; 0 for a UPnP router or a closed handle.
in_addr_t NatPmpGatewayOf(RouterEntry& router);

} // namespace velmora
