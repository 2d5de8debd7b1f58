#pragma once

// The router exchanges behind a held lease: opening, renewing, checking and
// closing an IPv6 pinhole (UPnP or PCP) or a PCP port mapping. Each blocks
// until the router answers or its deadline passes.

#include "forwarding/core/HeldLease.h"
#include "forwarding/core/LeaseBook.h"
#include "forwarding/core/MappingInstaller.h"

#include <chrono>
#include <string>

namespace velmora {

// How long one PCP request waits (resends on the RFC's schedule within it).
inline constexpr std::chrono::milliseconds kPcpTimeout{4000};

struct LeaseOpening
{
    MappingWriter::Outcome outcome = MappingWriter::Outcome::Unreachable;
    Message problem; // why it was not opened, with the router's words where it gave any
};

// Opens `lease` (its route, request and asked lease set): fills in what the
// router granted. A PCP mapping granted on another external port is given
// back and counts as refused.
LeaseOpening OpenHeldLease(HeldLease& lease);
// Renews in place: UpdatePinhole (AddPinhole again when the router no longer
// knows it), or the same PCP MAP (an epoch that went back means it was lost).
LeaseBook::Renewal RenewHeldLease(HeldLease& lease);
// Opens it again with the same parameters, which a router that still holds
// it takes as a renewal: Renewed when it kept it, Reopened when it had lost
// it (a UPnP router is first asked whether it still knows its identifier).
LeaseBook::Renewal ReopenHeldLease(HeldLease& lease);
// Whether the router still has it (a UPnP pinhole is asked; a PCP answer is
// its own record).
bool HeldLeaseStands(const HeldLease& lease);
// Closes it on the router; `problem` says why not.
bool CloseHeldLease(const HeldLease& lease, Message* problem = nullptr);

} // namespace velmora
