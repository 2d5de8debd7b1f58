#pragma once

#include "forwarding/core/LeaseBook.h"
#include "router/core/RouterEntry.h"

#include <QStringList>
#include <memory>
#include <string>

namespace velmora {

class ReportList;

// The pinholes and PCP mappings this program holds, as rows beside the
// router's own mappings in a list of Name, Protocol, Port and Internal IP:
// a pinhole's protocol is marked IPv6 and its address shows the lease left.
// A row's first cell carries the lease's key.

// The cells of one lease at `now`.
QStringList LeaseRowCells(const HeldLease& lease, HeldLease::Clock::time_point now);
// Whether the lease goes to this router: PCP leases to a NAT-PMP gateway, pinholes to a UPnP one.
bool LeaseBelongsTo(const HeldLease& lease, const RouterEntry& router);
// Appends a row for each lease of the book that goes to `router`.
void AppendLeaseRows(ReportList& list, const LeaseBook& book, const RouterEntry& router);
// The key of the lease a row shows; empty for a row of the router's own list.
std::string LeaseKeyOfRow(const ReportList& list, int row);
// The protocol under which the watch list knows a lease's mapping: "IPv6 TCP"
// for a pinhole, "TCP" for a PCP mapping.
std::string LeaseWatchProtocol(const std::string& key);
// Takes the lease out of the book and closes it on the router; true when
// the router closed it. A lease the router did not close goes back into the
// book. Blocks: run on a worker.
bool CloseLease(LeaseBook& book, const std::string& key);

} // namespace velmora
