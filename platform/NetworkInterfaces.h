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

} // namespace velmora
