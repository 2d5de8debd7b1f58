#pragma once

#include "router/core/RouterEntry.h"

#include <chrono>

// How long the probe waits for the gateway. libnatpmp retransmits after
// 250, 750 and 1750 ms and would go on for about two minutes; a gateway that
// has not answered three retransmissions is taken to have no NAT-PMP.
namespace velmora {
inline constexpr std::chrono::milliseconds kNatPmpProbeWait{1900};
// How long a gateway that answered NAT-PMP has to answer PCP's announcement.
inline constexpr std::chrono::milliseconds kPcpAskWait{300};
} // namespace velmora

// Asks the default gateway for its public address over NAT-PMP. A gateway
// that answers is an AirPort base station: the result is its entry, which
// keeps the handle (and its socket) for later requests, and says whether the
// gateway also speaks PCP (asked once it answered). Null when nothing answers
// NAT-PMP within `wait` or libnatpmp reports an error.
velmora::RouterEntryPtr
ProbeNatPmpRouter(std::chrono::milliseconds wait = velmora::kNatPmpProbeWait);
