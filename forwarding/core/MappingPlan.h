#pragma once

#include "config/core/Records.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// One mapping to write into a router: external port = internal port.
struct MappingRequest
{
    uint16_t port = 0;
    std::string protocol;       // "TCP" or "UDP" (other texts pass unchanged)
    std::string internalClient; // the entry's destination_ip
    std::string description;    // the entry's name
};

// Whether a request is for an IPv6 pinhole: its internal client is the
// computer's IPv6 address, where a port mapping names an IPv4 one.
bool IsPinholeRequest(const MappingRequest& request);

// The protocols a forwarding entry's protocol text stands for: "Both" is
// "TCP" and "UDP"; any other text is sent as it is.
std::vector<std::string> ProtocolsOf(std::string_view protocol);

// Everything installing a set of entries asks of a router, in entry order,
// then port-list order, then TCP before UDP.
struct MappingPlan
{
    std::vector<MappingRequest> requests;
    // Port numbers of the entries outside 1-65535 (one per protocol): never
    // sent, counted as failed.
    int64_t invalidPorts = 0;
};
MappingPlan PlanMappings(const std::vector<ForwardingEntry>& entries);

} // namespace velmora
