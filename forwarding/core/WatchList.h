#pragma once

#include "config/core/Records.h"
#include "forwarding/core/MappingPlan.h"

#include <vector>

namespace velmora {

// One mapping the monitor looks after.
struct WatchedMapping
{
    MappingRequest request;
    bool reinstall = false; // its entry's type is "Y": installed again when missing
};

// What the monitor looks after: every mapping of the entries whose type is
// "Y", then every mapping installed during this run whose entry is still in
// the list. A port and protocol are watched once, for the first entry naming it.
std::vector<WatchedMapping> WatchList(const std::vector<ForwardingEntry>& entries,
                                      const std::vector<MappingRequest>& installed);

} // namespace velmora
