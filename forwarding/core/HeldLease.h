#pragma once

#include "forwarding/core/MappingPlan.h"
#include "router/core/PcpMessage.h"
#include "router/core/RouterOffer.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace velmora {

// A lease this program holds on a router and renews while it runs: an IPv6
// pinhole (UPnP or PCP) or a PCP port mapping for IPv4. Its request's
// internal client is the pinhole's IPv6 address, or the mapping's IPv4 one.
struct HeldLease
{
    using Clock = std::chrono::steady_clock;

    LeaseRoute route;
    MappingRequest request;
    uint16_t uniqueId = 0; // UpnpPinhole: the router's identifier
    PcpNonce nonce{};      // Pcp: ties renewals and the deletion to the mapping
    uint32_t asked = 0;    // seconds asked for at each renewal
    uint32_t granted = 0;  // seconds the router granted at the last exchange
    Clock::time_point grantedAt{};
    std::optional<uint32_t> epoch; // Pcp: the server's epoch at the last answer

    bool ipv6() const { return request.internalClient.find(':') != std::string::npos; }
    // Seconds of the lease left at `now`.
    uint32_t secondsLeft(Clock::time_point now) const;
};

// One key per port, protocol and family: "IPv6 TCP 80".
std::string LeaseKey(const MappingRequest& request);

} // namespace velmora
