#pragma once

#include <cstdint>
#include <netinet/in.h>
#include <string>

namespace velmora {

// Fills `out` with the IPv6 address in `text` and `port`. The text may carry
// a zone after '%' (an interface name or index), which a link-local address
// needs: "fe80::1%eth0". False (with `out` zeroed) for a null, empty or
// unreadable text, or an unknown zone. There is no name look-up.
bool MakeIPv6Endpoint(const char* text, uint16_t port, sockaddr_in6& out);

// The address's text without zone ("2001:db8::2"); "" when it is unreadable.
std::string IPv6Text(const in6_addr& address);

// Whether `text` is an IPv6 address literal (a zone allowed), not IPv4.
bool IsIPv6Literal(const std::string& text);

} // namespace velmora
