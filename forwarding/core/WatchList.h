#pragma once

#include "config/core/Records.h"
#include "forwarding/core/MappingPlan.h"

#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace velmora {

// One mapping the monitor looks after.
struct WatchedMapping
{
    MappingRequest request;
    bool reinstall = false; // its entry's type is "Y": installed again when missing
};

// A mapping as a router tells it apart: protocol (upper case) and external port.
using MappingKey = std::pair<std::string, uint16_t>;
MappingKey KeyOfMapping(std::string_view protocol, uint16_t port);
// The key of a request; an IPv6 pinhole's protocol reads "IPV6 TCP".
MappingKey KeyOfRequest(const MappingRequest& request);

// What the monitor looks after: every mapping of the entries whose type is
// "Y", then every mapping installed during this run whose entry is still in
// the list. A port and protocol are watched once, for the first entry naming
// it; those in `deleted` (the user deleted them from the router) not at all.
std::vector<WatchedMapping> WatchList(const std::vector<ForwardingEntry>& entries,
                                      const std::vector<MappingRequest>& installed,
                                      const std::set<MappingKey>& deleted = {});

// After the entry `before` was edited into `after`, or deleted (null): the
// mappings installed for it that it no longer makes (another name, port,
// protocol or address) are forgotten.
void ForgetInstalled(std::vector<MappingRequest>& installed, const ForwardingEntry& before,
                     const ForwardingEntry* after);

} // namespace velmora
