#pragma once

#include "config/core/Records.h"
#include "forwarding/core/LeaseBook.h"
#include "forwarding/core/MappingInstaller.h"
#include "forwarding/core/NatPmpLeaseKeeper.h"
#include "forwarding/core/NatPmpMappingWriter.h"
#include "router/core/RouterEntry.h"

#include <atomic>
#include <memory>
#include <string>
#include <vector>

namespace velmora::cli {

// What installs share with the monitor: the NAT-PMP leases and the book of
// pinholes and PCP mappings, both renewed for as long as the process runs.
struct InstallKit
{
    std::shared_ptr<NatPmpLeaseKeeper> leases = std::make_shared<NatPmpLeaseKeeper>();
    std::shared_ptr<LeaseBook> book = std::make_shared<LeaseBook>();
    // Seconds asked for NAT-PMP mappings, pinholes and PCP mappings.
    uint32_t lifetime = NatPmpMappingWriter::kLifetime;
};

// The book for the router's IPv4 mappings: none for a NAT-PMP gateway, whose
// mappings go by NAT-PMP even where it speaks PCP. A PCP mapping belongs to
// the process that made it (its nonce), so a later "delete", or a "keep" that
// starts again, could not remove or renew it; a NAT-PMP mapping belongs to
// this computer's port.
std::shared_ptr<LeaseBook> MappingBook(const RouterEntry& router, const InstallKit& kit);

// Add into Router as the window runs it, on the caller's thread: the plan of
// `entries` through the router's writer, with IPv6 pinholes (added to the
// plan) for the entries that lead to this computer where the router offers
// them, each mapping read back. Blocks; every request has its own deadline.
InstallResult InstallEntries(RouterEntry& router, const std::vector<ForwardingEntry>& entries,
                             MappingPlan& plan, const InstallKit& kit);

// What a run of "add" did with IPv6 pinholes, in the window's words. None for
// a run without pinholes.
std::vector<std::string> PinholeOutcome(const InstallResult& result);

} // namespace velmora::cli
