#include "tests/lab/LabProbes.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <ifaddrs.h>
#include <miniupnpc/upnpcommands.h>
#include <natpmp.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sstream>
#include <sys/select.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora::lab {

namespace {

using Clock = std::chrono::steady_clock;

// A dotted IPv4 or an IPv6 address and a port; `size` gets the length.
bool ToSockaddr(const std::string& address, int port, sockaddr_storage& out, socklen_t& size)
{
    out = sockaddr_storage{};
    auto* v4 = reinterpret_cast<sockaddr_in*>(&out);
    auto* v6 = reinterpret_cast<sockaddr_in6*>(&out);
    if (inet_pton(AF_INET, address.c_str(), &v4->sin_addr) == 1) {
        v4->sin_family = AF_INET;
        v4->sin_port = htons(static_cast<uint16_t>(port));
        size = sizeof *v4;
        return true;
    }
    if (inet_pton(AF_INET6, address.c_str(), &v6->sin6_addr) == 1) {
        v6->sin6_family = AF_INET6;
        v6->sin6_port = htons(static_cast<uint16_t>(port));
        size = sizeof *v6;
        return true;
    }
    return false;
}

std::string PeerText(const sockaddr_storage& peer)
{
    char text[INET6_ADDRSTRLEN] = {};
    if (peer.ss_family == AF_INET6)
        inet_ntop(AF_INET6, &reinterpret_cast<const sockaddr_in6*>(&peer)->sin6_addr, text,
                  sizeof text);
    else
        inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(&peer)->sin_addr, text,
                  sizeof text);
    return text;
}

std::string AddressText(const in_addr& a)
{
    char text[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &a, text, sizeof text);
    return text;
}

int MsLeft(Clock::time_point deadline)
{
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

} // namespace

bool InLabNamespace()
{
    struct stat mine
    {
    };
    if (stat("/proc/thread-self/ns/net", &mine) != 0)
        return false;
    bool found = false;
    if (DIR* d = opendir("/run/netns")) {
        while (const dirent* e = readdir(d)) {
            const std::string name = e->d_name;
            const auto endsWith = [&](const char* suffix) {
                const std::string s = suffix;
                return name.size() > s.size() &&
                       name.compare(name.size() - s.size(), s.size(), s) == 0;
            };
            if (!endsWith("-lan") && !endsWith("-router") && !endsWith("-inet"))
                continue;
            struct stat ns
            {
            };
            if (stat(("/run/netns/" + name).c_str(), &ns) == 0 && ns.st_dev == mine.st_dev &&
                ns.st_ino == mine.st_ino)
                found = true;
        }
        closedir(d);
    }
    return found;
}

DeviceList Discover(std::chrono::milliseconds wait, const char* multicastIf)
{
    if (!InLabNamespace())
        return nullptr;
    int error = 0;
    return DeviceList(upnpDiscover(static_cast<int>(wait.count()), multicastIf, nullptr,
                                   UPNP_LOCAL_PORT_ANY, 0, 2, &error));
}

Igd::~Igd()
{
    if (haveUrls_)
        FreeUPNPUrls(&urls);
}

bool Igd::discover(std::chrono::milliseconds wait, const char* multicastIf)
{
    DeviceList devices = Discover(wait, multicastIf);
    if (!devices) {
        error = "no UPnP device answered";
        return false;
    }
    char lan[64] = {};
    validity = UPNP_GetValidIGD(devices.get(), &urls, &data, lan, sizeof lan);
    haveUrls_ = validity != 0;
    lanAddress = lan;
    if (validity != 1 && validity != 2)
        error = "no IGD among the devices (UPNP_GetValidIGD " + std::to_string(validity) + ")";
    return validity == 1 || validity == 2;
}

bool Igd::fromUrl(const std::string& descriptionUrl)
{
    char lan[64] = {};
    if (UPNP_GetIGDFromUrl(descriptionUrl.c_str(), &urls, &data, lan, sizeof lan) != 1) {
        error = "UPNP_GetIGDFromUrl failed for " + descriptionUrl;
        return false;
    }
    haveUrls_ = true;
    lanAddress = lan;
    return true;
}

std::string Igd::externalAddress() const
{
    char ip[40] = {};
    if (!haveUrls_ || UPNP_GetExternalIPAddress(urls.controlURL, data.first.servicetype, ip) != 0)
        return {};
    return ip;
}

int Igd::addMapping(const char* protocol, int externalPort, const std::string& internalAddress,
                    int internalPort, const char* description) const
{
    if (!haveUrls_)
        return -1;
    const std::string ext = std::to_string(externalPort);
    const std::string in = std::to_string(internalPort);
    return UPNP_AddPortMapping(urls.controlURL, data.first.servicetype, ext.c_str(), in.c_str(),
                               internalAddress.c_str(), description, protocol, nullptr, "0");
}

int Igd::deleteMapping(const char* protocol, int externalPort) const
{
    if (!haveUrls_)
        return -1;
    const std::string ext = std::to_string(externalPort);
    return UPNP_DeletePortMapping(urls.controlURL, data.first.servicetype, ext.c_str(), protocol,
                                  nullptr);
}

NatpmpAnswer ProbeNatpmp(std::chrono::milliseconds wait)
{
    NatpmpAnswer answer;
    if (!InLabNamespace()) {
        answer.error = "refused: not inside the lab";
        return answer;
    }
    natpmp_t n;
    if (initnatpmp(&n, 0, 0) < 0) {
        answer.error = "initnatpmp failed";
        return answer;
    }
    const auto deadline = Clock::now() + wait;
    int r = sendpublicaddressrequest(&n);
    natpmpresp_t resp{};
    if (r >= 0) {
        do {
            timeval tv{};
            getnatpmprequesttimeout(&n, &tv);
            int ms = static_cast<int>(tv.tv_sec * 1000 + tv.tv_usec / 1000);
            ms = std::max(0, std::min(ms, MsLeft(deadline)));
            pollfd p{n.s, POLLIN, 0};
            poll(&p, 1, ms);
            r = readnatpmpresponseorretry(&n, &resp);
        } while (r == NATPMP_TRYAGAIN && Clock::now() < deadline);
    }
    if (r == 0 && resp.type == NATPMP_RESPTYPE_PUBLICADDRESS) {
        answer.answered = true;
        answer.publicAddress = AddressText(resp.pnu.publicaddress.addr);
    } else {
        answer.error = "NAT-PMP gave " + std::to_string(r);
    }
    closenatpmp(&n);
    return answer;
}

TcpListener::~TcpListener()
{
    if (fd_ >= 0)
        close(fd_);
}

bool TcpListener::listen(const std::string& address, int port)
{
    sockaddr_storage addr;
    socklen_t size = 0;
    if (fd_ >= 0 || !ToSockaddr(address, port, addr, size))
        return false;
    const int s = socket(addr.ss_family, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (s < 0)
        return false;
    int one = 1;
    setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    if (bind(s, reinterpret_cast<sockaddr*>(&addr), size) != 0 || ::listen(s, 4) != 0) {
        close(s);
        return false;
    }
    fd_ = s;
    return true;
}

std::string TcpListener::acceptAndRead(std::chrono::milliseconds wait, std::string* peer)
{
    const auto deadline = Clock::now() + wait;
    pollfd p{fd_, POLLIN, 0};
    if (fd_ < 0 || poll(&p, 1, MsLeft(deadline)) <= 0)
        return {};
    sockaddr_storage from{};
    socklen_t len = sizeof from;
    const int c = accept4(fd_, reinterpret_cast<sockaddr*>(&from), &len, SOCK_CLOEXEC);
    if (c < 0)
        return {};
    if (peer)
        *peer = PeerText(from);
    std::string data;
    char buf[1024];
    for (;;) {
        pollfd cp{c, POLLIN, 0};
        if (poll(&cp, 1, MsLeft(deadline)) <= 0)
            break;
        const ssize_t n = recv(c, buf, sizeof buf, 0);
        if (n <= 0)
            break;
        data.append(buf, static_cast<size_t>(n));
    }
    close(c);
    return data;
}

std::string SendTcp(const std::string& address, int port, const std::string& data)
{
    sockaddr_storage addr;
    socklen_t size = 0;
    if (!InLabNamespace())
        return "refused: not inside the lab";
    if (!ToSockaddr(address, port, addr, size))
        return "bad address";
    const int s = socket(addr.ss_family, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (s < 0)
        return strerror(errno);
    std::string error;
    if (connect(s, reinterpret_cast<sockaddr*>(&addr), size) != 0 && errno != EINPROGRESS) {
        error = strerror(errno);
    } else {
        pollfd p{s, POLLOUT, 0};
        int soError = 0;
        socklen_t len = sizeof soError;
        if (poll(&p, 1, 5000) <= 0)
            error = "connect timed out";
        else if (getsockopt(s, SOL_SOCKET, SO_ERROR, &soError, &len) != 0 || soError != 0)
            error = strerror(soError);
        else if (send(s, data.data(), data.size(), MSG_NOSIGNAL) !=
                 static_cast<ssize_t>(data.size()))
            error = "short send";
    }
    close(s);
    return error;
}

bool HasLocalAddress(const std::string& address)
{
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0)
        return false;
    bool found = false;
    for (ifaddrs* i = list; i && !found; i = i->ifa_next)
        if (i->ifa_addr && i->ifa_addr->sa_family == AF_INET)
            found = AddressText(reinterpret_cast<sockaddr_in*>(i->ifa_addr)->sin_addr) == address;
    freeifaddrs(list);
    return found;
}

std::string DefaultGateway()
{
    std::ifstream routes("/proc/net/route");
    std::string line;
    std::getline(routes, line); // header
    while (std::getline(routes, line)) {
        std::istringstream f(line);
        std::string iface, dest, gw;
        f >> iface >> dest >> gw;
        if (dest == "00000000") {
            in_addr a{};
            a.s_addr = static_cast<in_addr_t>(std::stoul(gw, nullptr, 16));
            return AddressText(a);
        }
    }
    return {};
}

std::string ResolveIpv4(const std::string& name)
{
    addrinfo hints{};
    hints.ai_family = AF_INET;
    addrinfo* res = nullptr;
    if (getaddrinfo(name.c_str(), nullptr, &hints, &res) != 0 || !res)
        return {};
    const std::string text = AddressText(reinterpret_cast<sockaddr_in*>(res->ai_addr)->sin_addr);
    freeaddrinfo(res);
    return text;
}

std::string FakeDescription(const std::string& friendlyName, bool firewallControl)
{
    const std::string firewall = firewallControl ? R"(<service>
<serviceType>urn:schemas-upnp-org:service:WANIPv6FirewallControl:1</serviceType>
<serviceId>urn:upnp-org:serviceId:WANIPv6Firewall1</serviceId>
<controlURL>/ctl/IP6FCtl</controlURL>
<eventSubURL>/evt/IP6FCtl</eventSubURL>
<SCPDURL>/WANIP6FC.xml</SCPDURL>
</service>
)"
                                                 : "";
    return R"(<?xml version="1.0"?>
<root xmlns="urn:schemas-upnp-org:device-1-0">
<specVersion><major>1</major><minor>0</minor></specVersion>
<device>
<deviceType>urn:schemas-upnp-org:device:InternetGatewayDevice:1</deviceType>
<friendlyName>)" +
           friendlyName + R"(</friendlyName>
<manufacturer>Lab</manufacturer>
<modelName>Fake IGD</modelName>
<UDN>uuid:00000000-0000-0000-0000-0000fa4e1960</UDN>
<deviceList>
<device>
<deviceType>urn:schemas-upnp-org:device:WANDevice:1</deviceType>
<friendlyName>WANDevice</friendlyName>
<UDN>uuid:00000000-0000-0000-0000-0000fa4e1961</UDN>
<serviceList>
<service>
<serviceType>urn:schemas-upnp-org:service:WANCommonInterfaceConfig:1</serviceType>
<serviceId>urn:upnp-org:serviceId:WANCommonIFC1</serviceId>
<controlURL>/ctl/CmnIfCfg</controlURL>
<eventSubURL>/evt/CmnIfCfg</eventSubURL>
<SCPDURL>/WANCfg.xml</SCPDURL>
</service>
</serviceList>
<deviceList>
<device>
<deviceType>urn:schemas-upnp-org:device:WANConnectionDevice:1</deviceType>
<friendlyName>WANConnectionDevice</friendlyName>
<UDN>uuid:00000000-0000-0000-0000-0000fa4e1962</UDN>
<serviceList>
<service>
<serviceType>urn:schemas-upnp-org:service:WANIPConnection:1</serviceType>
<serviceId>urn:upnp-org:serviceId:WANIPConn1</serviceId>
<controlURL>/ctl/IPConn</controlURL>
<eventSubURL>/evt/IPConn</eventSubURL>
<SCPDURL>/WANIPCn.xml</SCPDURL>
</service>
)" + firewall +
           R"(</serviceList>
</device>
</deviceList>
</device>
</deviceList>
</device>
</root>
)";
}

} // namespace velmora::lab
