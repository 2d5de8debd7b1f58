#pragma once

// Small clients for lab tests: miniupnpc and libnatpmp with bounded waits,
// plain TCP helpers, and a look at the namespace the caller runs in.

#include <chrono>
#include <memory>
#include <miniupnpc/miniupnpc.h>
#include <string>

namespace velmora::lab {

// True when the calling thread is in one of the lab's namespaces (one named
// PREFIX-lan, -router or -inet in /run/netns). Elsewhere the probes below send
// nothing.
bool InLabNamespace();

// UPNP_GetValidIGD's "valid and connected" result (miniupnpc 2.2.4 has no name for it).
constexpr int kConnectedIgd = 1;

struct DeviceListFree
{
    void operator()(UPNPDev* list) const { freeUPNPDevlist(list); }
};
using DeviceList = std::unique_ptr<UPNPDev, DeviceListFree>;

// SSDP search for IGDs through miniupnpc (multicastIf: an address or interface
// name, or nullptr for the default route's interface).
DeviceList Discover(std::chrono::milliseconds wait, const char* multicastIf = nullptr);

// One IGD as miniupnpc sees it; owns its URLs.
class Igd final
{
public:
    Igd() = default;
    ~Igd();
    Igd(const Igd&) = delete;
    Igd& operator=(const Igd&) = delete;

    // Discovery plus UPNP_GetValidIGD; true for any IGD (see validity).
    bool discover(std::chrono::milliseconds wait = std::chrono::milliseconds(2000),
                  const char* multicastIf = nullptr);
    bool fromUrl(const std::string& descriptionUrl);

    std::string externalAddress() const; // "" on failure
    int addMapping(const char* protocol, int externalPort, const std::string& internalAddress,
                   int internalPort, const char* description) const;
    int deleteMapping(const char* protocol, int externalPort) const;

    UPNPUrls urls{};
    IGDdatas data{};
    std::string lanAddress;
    int validity = 0; // UPNP_GetValidIGD's result
    std::string error;

private:
    bool haveUrls_ = false;
};

struct NatpmpAnswer
{
    bool answered = false;
    std::string publicAddress;
    std::string error;
};

// A NAT-PMP public-address request to the default gateway, given up after wait.
NatpmpAnswer ProbeNatpmp(std::chrono::milliseconds wait);

// A listening TCP socket (IPv4 or IPv6); accepts one connection and reads it to its end.
class TcpListener final
{
public:
    TcpListener() = default;
    TcpListener(const std::string& address, int port) { listen(address, port); }
    ~TcpListener();
    TcpListener(const TcpListener&) = delete;
    TcpListener& operator=(const TcpListener&) = delete;

    bool listen(const std::string& address, int port);
    bool ok() const { return fd_ >= 0; }
    // What the peer sent until it closed, or "" on timeout; peer gets its address.
    std::string acceptAndRead(std::chrono::milliseconds wait, std::string* peer = nullptr);

private:
    int fd_ = -1;
};

// Connects (IPv4 or IPv6), sends data and closes within five seconds; "" or an error text.
std::string SendTcp(const std::string& address, int port, const std::string& data);

bool HasLocalAddress(const std::string& address);
std::string DefaultGateway(); // from /proc/net/route, "" if none
std::string ResolveIpv4(const std::string& name);

// A minimal IGD v1 root description with the given friendlyName; with a
// WANIPv6FirewallControl:1 service (control URL /ctl/IP6FCtl) when asked.
std::string FakeDescription(const std::string& friendlyName, bool firewallControl = false);

} // namespace velmora::lab
