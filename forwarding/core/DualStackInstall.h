#pragma once

#include "config/core/Records.h"
#include "forwarding/core/LeaseBook.h"
#include "forwarding/core/MappingInstaller.h"
#include "forwarding/core/WatchList.h"

#include <memory>
#include <vector>

struct RouterEntry;

namespace velmora {

// Makes an install dual-stack where the router offers IPv6 pinholes: adds a
// pinhole request for each port and protocol of the `entries` that lead to
// this computer, for its global IPv6 address, and sends those through a lease
// writer (its grants to `book`, asked for `lease` seconds) beside `writer`.
// Pinholes in `skip` are left out. Runs on the install's worker: finding
// the offer may ask the gateway.
void PreparePinholes(RouterEntry& router, const std::vector<ForwardingEntry>& entries,
                     std::shared_ptr<LeaseBook> book, uint32_t lease, MappingPlan& plan,
                     std::unique_ptr<MappingWriter>& writer, const std::set<MappingKey>& skip = {});

} // namespace velmora
