// This computer's global IPv6 addresses and its IPv6 default gateway, read
// from the kernel's tables in /proc.

#include "platform/IPv6Endpoint.h"
#include "platform/NetworkInterfaces.h"

#include <algorithm>
#include <arpa/inet.h>
#include <fstream>
#include <sstream>

namespace velmora {
namespace {

// Address flags of /proc/net/if_inet6 (IFA_F_* of <linux/if_addr.h>).
constexpr unsigned kTemporary = 0x01;
constexpr unsigned kDadFailed = 0x08;
constexpr unsigned kDeprecated = 0x20;
constexpr unsigned kTentative = 0x40;
// Route flags of /proc/net/ipv6_route (RTF_* of <linux/route.h>).
constexpr unsigned long kGatewayRoute = 0x0002;
constexpr unsigned long kRejectRoute = 0x0200;

std::string ReadWhole(const char* path)
{
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// 32 hexadecimal digits as an address; false when they are not.
bool FromHex(const std::string& hex, in6_addr& address)
{
    if (hex.size() != 32 || hex.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
        return false;
    for (size_t i = 0; i < 16; ++i)
        address.s6_addr[i] = static_cast<uint8_t>(std::stoul(hex.substr(2 * i, 2), nullptr, 16));
    return true;
}

bool GlobalUnicast(const in6_addr& address)
{
    return (address.s6_addr[0] & 0xE0) == 0x20;
}

bool LinkLocal(const in6_addr& address)
{
    return address.s6_addr[0] == 0xFE && (address.s6_addr[1] & 0xC0) == 0x80;
}

bool Lasting(const GlobalIPv6Address& a)
{
    return !a.temporary && !a.deprecated;
}

} // namespace

std::vector<GlobalIPv6Address> GlobalIPv6Addresses(const std::string& ifInet6)
{
    // Columns: address index prefix-length scope flags name (hexadecimal numbers).
    std::vector<GlobalIPv6Address> found;
    std::istringstream lines(ifInet6);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string hex, index, prefix, scope, flagText, name;
        in6_addr address{};
        if (!(fields >> hex >> index >> prefix >> scope >> flagText >> name) ||
            !FromHex(hex, address) || !GlobalUnicast(address))
            continue;
        const unsigned flags = static_cast<unsigned>(std::strtoul(flagText.c_str(), nullptr, 16));
        if (flags & (kTentative | kDadFailed))
            continue;
        found.push_back(
            {IPv6Text(address), name, (flags & kTemporary) != 0, (flags & kDeprecated) != 0});
    }
    // Interfaces in the order they first appear; lasting addresses first in each.
    std::vector<std::string> order;
    for (const auto& a : found) {
        if (std::find(order.begin(), order.end(), a.interfaceName) == order.end())
            order.push_back(a.interfaceName);
    }
    std::stable_sort(found.begin(), found.end(), [&](const auto& a, const auto& b) {
        const auto ia = std::find(order.begin(), order.end(), a.interfaceName);
        const auto ib = std::find(order.begin(), order.end(), b.interfaceName);
        if (ia != ib)
            return ia < ib;
        return Lasting(a) && !Lasting(b);
    });
    return found;
}

std::vector<GlobalIPv6Address> GlobalIPv6Addresses()
{
    return GlobalIPv6Addresses(ReadWhole("/proc/net/if_inet6"));
}

std::string PinholeAddress(const std::vector<GlobalIPv6Address>& addresses,
                           const std::string& interfaceName)
{
    const GlobalIPv6Address* any = nullptr;
    for (const auto& a : addresses) {
        if (!interfaceName.empty() && a.interfaceName != interfaceName)
            continue;
        if (Lasting(a))
            return a.address;
        if (!any)
            any = &a;
    }
    return any ? any->address : std::string();
}

std::string IPv6Gateway::zoned() const
{
    in6_addr parsed{};
    if (!interfaceName.empty() && ::inet_pton(AF_INET6, address.c_str(), &parsed) == 1 &&
        LinkLocal(parsed))
        return address + "%" + interfaceName;
    return address;
}

IPv6Gateway DefaultIPv6Gateway(const std::string& ipv6Route)
{
    // Columns: destination prefix source prefix next-hop metric refcount use flags name.
    IPv6Gateway best;
    unsigned long bestMetric = 0;
    std::istringstream lines(ipv6Route);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string destination, prefix, source, sourcePrefix, hop, metric, refs, use, flags, name;
        if (!(fields >> destination >> prefix >> source >> sourcePrefix >> hop >> metric >> refs >>
              use >> flags >> name))
            continue;
        in6_addr next{};
        const unsigned long routeFlags = std::strtoul(flags.c_str(), nullptr, 16);
        if (destination != std::string(32, '0') || prefix != "00" || !FromHex(hop, next) ||
            IN6_IS_ADDR_UNSPECIFIED(&next) || !(routeFlags & kGatewayRoute) ||
            (routeFlags & kRejectRoute))
            continue;
        const unsigned long m = std::strtoul(metric.c_str(), nullptr, 16);
        if (best.address.empty() || m < bestMetric) {
            best = {IPv6Text(next), name};
            bestMetric = m;
        }
    }
    return best;
}

IPv6Gateway DefaultIPv6Gateway()
{
    return DefaultIPv6Gateway(ReadWhole("/proc/net/ipv6_route"));
}

} // namespace velmora
