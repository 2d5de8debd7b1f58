#pragma once

#include "platform/Message.h"

#include <chrono>
#include <optional>
#include <string>

struct RouterEntry;
class UpnpClient;

namespace velmora {

// How this program reaches the router for pinholes or PCP mappings.
struct LeaseRoute
{
    enum class Via
    {
        None,        // the router offers nothing of the kind
        UpnpPinhole, // WANIPv6FirewallControl:1 of the program's own client
        Pcp          // PCP MAP
    };
    Via via = Via::None;
    std::string controlUrl;  // UpnpPinhole: the service's control URL, reached over IPv6
    std::string serviceType; // UpnpPinhole
    std::string server;      // Pcp: the server's address ("192.168.1.1", "fe80::1%eth0")
    std::string source;      // the local address requests leave from ("": any)
    std::string lanAddress;  // IPv6 pinholes: the computer's global address they lead to

    explicit operator bool() const { return via != Via::None; }
};

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

// The PCP route of a NAT-PMP gateway that speaks PCP, for IPv4 mappings;
// None for any other router. Asks nothing.
LeaseRoute PcpMappingRouteOf(RouterEntry& router);

// Looks at this computer's addresses and routes, and asks the IPv6 gateway
// whether it speaks PCP when the router's description offers no firewall
// control (a bounded exchange of at most `pcpProbe`: a gateway on the link
// answers within milliseconds, one that ignores PCP costs the whole wait once).
RouterOffer OfferOf(RouterEntry& router,
                    std::chrono::milliseconds pcpProbe = std::chrono::milliseconds(300));

// The router's offer, found on the first call (which may ask the gateway
// about PCP) and kept with the entry for later ones.
RouterOffer CachedOfferOf(RouterEntry& router);
// The offer when a call above found it already; nothing is asked.
std::optional<RouterOffer> KnownOfferOf(RouterEntry& router);

struct FirewallStatus
{
    bool answered = false;
    bool enabled = false;
    bool inboundAllowed = false;
    Message problem; // why it did not answer
};
// Why the own client's last firewall control action failed, for the user.
Message DescribePinholeFailure(const UpnpClient& client);
// GetFirewallStatus through a UPnP pinhole route (the own client, over IPv6).
FirewallStatus ReadFirewallStatus(const LeaseRoute& route);

// What Router Info tells of the router's offer.
struct OfferReport
{
    bool natPmp = false; // a NAT-PMP gateway (IPv4 mappings by PCP where it speaks it)
    RouterOffer offer;
    std::optional<FirewallStatus> firewall; // asked where the router has the UPnP service
};
// Finds the offer (CachedOfferOf) and asks a UPnP router's firewall status:
// over IPv6 where pinholes can be opened, else over IPv4. Blocks.
OfferReport QueryOfferReport(RouterEntry& router);

// Connection attempts of one UPnP pinhole action (1 s apart, each up to 2 s).
inline constexpr int kPinholeConnectAttempts = 2;

// Whether `address` (a forwarding entry's Internal IP) is this computer:
// "Localhost" or one of its own IPv4 addresses.
bool IsThisComputer(const std::string& address);

} // namespace velmora
