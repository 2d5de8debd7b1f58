#pragma once

#include "forwarding/core/HeldLease.h"

#include <string>

struct RouterEntry;

namespace velmora {

// What a router offers beyond its IPv4 mappings of old, as this computer can
// use it: IPv6 pinholes (through its UPnP firewall control service, else PCP)
// for the computer's global address on the router's link, and PCP port
// mappings where a NAT-PMP gateway speaks PCP.
struct RouterOffer
{
    bool upnpFirewall = false;  // the description names WANIPv6FirewallControl:1
    bool pcp = false;           // the gateway answers PCP (IPv4 or IPv6)
    std::string pinholeAddress; // the computer's global IPv6 address on that link ("": none)
    LeaseRoute pinholes;        // how pinholes are opened (None: they are not)
    LeaseRoute pcpMappings;     // how IPv4 mappings go by PCP (None: as before)
};

// Looks at this computer's addresses and routes, and asks the IPv6 gateway
// whether it speaks PCP when the router's description offers no firewall
// control (a bounded exchange of at most `pcpProbe`).
RouterOffer OfferOf(RouterEntry& router,
                    std::chrono::milliseconds pcpProbe = std::chrono::milliseconds(1000));

// Whether `address` (a forwarding entry's Internal IP) is this computer:
// "Localhost" or one of its own IPv4 addresses.
bool IsThisComputer(const std::string& address);

} // namespace velmora
