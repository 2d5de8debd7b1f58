#include "platform/NetworkInterfaces.h"

#include <arpa/inet.h>
#include <fstream>
#include <ifaddrs.h>
#include <memory>
#include <net/if.h>
#include <netinet/in.h>
#include <sstream>

namespace velmora {
namespace {

struct IfAddrsDeleter
{
    void operator()(ifaddrs* list) const { freeifaddrs(list); }
};
using IfAddrsList = std::unique_ptr<ifaddrs, IfAddrsDeleter>;

IfAddrsList ReadInterfaces()
{
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0)
        return nullptr;
    return IfAddrsList(list);
}

std::string Dotted(const sockaddr* address)
{
    char text[INET_ADDRSTRLEN] = {};
    const auto* ipv4 = reinterpret_cast<const sockaddr_in*>(address);
    if (!inet_ntop(AF_INET, &ipv4->sin_addr, text, sizeof text))
        return {};
    return text;
}

bool UsableIPv4(const ifaddrs* entry)
{
    return entry->ifa_addr && entry->ifa_addr->sa_family == AF_INET &&
           (entry->ifa_flags & IFF_UP) && !(entry->ifa_flags & IFF_LOOPBACK);
}

} // namespace

std::vector<std::string> LocalIPv4Addresses()
{
    std::vector<std::string> addresses;
    auto list = ReadInterfaces();
    for (const ifaddrs* entry = list.get(); entry; entry = entry->ifa_next) {
        if (UsableIPv4(entry))
            addresses.push_back(Dotted(entry->ifa_addr));
    }
    return addresses;
}

std::string DefaultRouteInterface(const std::string& routeTable)
{
    // Columns: Iface Destination Gateway Flags RefCnt Use Metric Mask ...
    std::istringstream lines(routeTable);
    std::string line;
    std::getline(lines, line); // heading
    std::string best;
    long bestMetric = -1;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string iface, destination, gateway, flags, refcnt, use, mask;
        long metric = 0;
        if (!(fields >> iface >> destination >> gateway >> flags >> refcnt >> use >> metric >>
              mask))
            continue;
        if (destination != "00000000" || mask != "00000000")
            continue;
        if (bestMetric < 0 || metric < bestMetric) {
            best = iface;
            bestMetric = metric;
        }
    }
    return best;
}

std::string InterfaceOfIPv4Address(const std::string& address)
{
    auto list = ReadInterfaces();
    for (const ifaddrs* entry = list.get(); entry; entry = entry->ifa_next) {
        if (UsableIPv4(entry) && Dotted(entry->ifa_addr) == address)
            return entry->ifa_name;
    }
    return {};
}

std::string DefaultRouteInterfaceAddress()
{
    std::ifstream file("/proc/net/route");
    std::stringstream table;
    table << file.rdbuf();
    std::string iface = DefaultRouteInterface(table.str());
    if (iface.empty())
        return {};
    auto list = ReadInterfaces();
    for (const ifaddrs* entry = list.get(); entry; entry = entry->ifa_next) {
        if (UsableIPv4(entry) && iface == entry->ifa_name)
            return Dotted(entry->ifa_addr);
    }
    return {};
}

} // namespace velmora
