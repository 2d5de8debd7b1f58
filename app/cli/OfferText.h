#pragma once

#include "router/core/RouterOffer.h"

#include <string>
#include <vector>

namespace velmora::cli {

// Whether the router offers pinholes or PCP: only then does Router Info tell
// its offer, and a router that offers neither keeps its report of old.
bool TellsOffer(const OfferReport& report);

// What Router Info tells of a router's offer (IPv4 mappings by UPnP, NAT-PMP
// or PCP; IPv6 pinholes; the IPv6 firewall), in the window's words; none
// where TellsOffer is false.
std::vector<std::string> OfferText(const OfferReport& report);

} // namespace velmora::cli
