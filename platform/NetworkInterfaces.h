#pragma once

#include <string>
#include <vector>

namespace velmora {

// Dotted IPv4 addresses of the interfaces that are up and not loopback, in
// interface order (the order the kernel lists them).
std::vector<std::string> LocalIPv4Addresses();

// Dotted IPv4 address of the interface that carries the default route (the one
// that faces the default gateway), or empty when there is no default route.
std::string DefaultRouteInterfaceAddress();

// Name of the interface that carries the IPv4 default route, or empty.
// `routeTable` is the text of /proc/net/route (parameter for tests).
std::string DefaultRouteInterface(const std::string& routeTable);

// Name of the interface that holds the dotted IPv4 `address`, or empty.
std::string InterfaceOfIPv4Address(const std::string& address);

// One IPv6 address of this computer that the internet can reach: global
// unicast (2000::/3), not still being checked for duplicates nor found a
// duplicate.
struct GlobalIPv6Address
{
    std::string address;       // "2001:db8:77::2"
    std::string interfaceName; // "eth0"
    bool temporary = false;    // a privacy address, replaced every few hours
    bool deprecated = false;   // still works, no longer chosen for new traffic
};

// The global IPv6 addresses in interface order, each interface's lasting
// ones (neither temporary nor deprecated) first. `ifInet6` is the text of
// /proc/net/if_inet6 (parameter for tests).
std::vector<GlobalIPv6Address> GlobalIPv6Addresses(const std::string& ifInet6);
std::vector<GlobalIPv6Address> GlobalIPv6Addresses();

// The address incoming IPv6 connections for this computer should be led to
// on `interfaceName` (any interface when empty): the first lasting one, else
// the first at all; empty when there is none.
std::string PinholeAddress(const std::vector<GlobalIPv6Address>& addresses,
                           const std::string& interfaceName);

// The next hop of the IPv6 default route with the lowest metric, usually
// the router's link-local address; empty parts when there is none.
struct IPv6Gateway
{
    std::string address;       // "fe80::1"
    std::string interfaceName; // the link it is reached on
    // "fe80::1%eth0" for a link-local address, the address alone otherwise.
    std::string zoned() const;
};
// `ipv6Route` is the text of /proc/net/ipv6_route (parameter for tests).
IPv6Gateway DefaultIPv6Gateway(const std::string& ipv6Route);
IPv6Gateway DefaultIPv6Gateway();

} // namespace velmora
