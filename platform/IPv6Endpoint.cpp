#include "platform/IPv6Endpoint.h"

#include <arpa/inet.h>
#include <cstdlib>
#include <net/if.h>

namespace velmora {
namespace {

// The interface index a zone names (a name, or a decimal index); 0 if none.
uint32_t ZoneIndex(const std::string& zone)
{
    if (zone.empty())
        return 0;
    if (zone.find_first_not_of("0123456789") == std::string::npos && zone.size() < 10)
        return static_cast<uint32_t>(std::strtoul(zone.c_str(), nullptr, 10));
    return ::if_nametoindex(zone.c_str());
}

} // namespace

bool MakeIPv6Endpoint(const char* text, uint16_t port, sockaddr_in6& out)
{
    out = {};
    if (text == nullptr || text[0] == '\0')
        return false;
    const std::string whole = text;
    const size_t percent = whole.find('%');
    const std::string address = whole.substr(0, percent);
    out.sin6_family = AF_INET6;
    out.sin6_port = htons(port);
    bool read = ::inet_pton(AF_INET6, address.c_str(), &out.sin6_addr) == 1;
    if (read && percent != std::string::npos) {
        out.sin6_scope_id = ZoneIndex(whole.substr(percent + 1));
        read = out.sin6_scope_id != 0;
    }
    if (!read)
        out = {};
    return read;
}

std::string IPv6Text(const in6_addr& address)
{
    char text[INET6_ADDRSTRLEN] = {};
    if (!::inet_ntop(AF_INET6, &address, text, sizeof text))
        return {};
    return text;
}

bool IsIPv6Literal(const std::string& text)
{
    in6_addr address{};
    return ::inet_pton(AF_INET6, text.substr(0, text.find('%')).c_str(), &address) == 1;
}

} // namespace velmora
