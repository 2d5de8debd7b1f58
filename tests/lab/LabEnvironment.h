#pragma once

#include "tests/lab/LabProcess.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace velmora::lab {

// What the router namespace runs: miniupnpd with UPnP IGD and NAT-PMP, one of
// them, or nothing at all (a router that ignores both protocols).
enum class RouterMode
{
    Both,
    Upnp,
    Natpmp,
    None
};

const char* RouterModeName(RouterMode mode);

// The three namespaces of a lab.
enum class Side
{
    Lan,
    Router,
    Inet
};

// How the lab is built. A test file may change these from a static
// initialiser; the lab is brought up after all of them ran. Command-line flags
// of the test binary (--lab-second-lan, --lab-mode=MODE, --lab-secure-mode,
// --lab-ipv6, --lab-igd2)
// override them.
struct LabOptions
{
    bool secondLan = false;
    RouterMode mode = RouterMode::Both;
    bool secureMode = false;
    bool ipv6 = false; // --lab-ipv6: IPv6 through the router, pinholes by miniupnpd
    bool igd2 = false; // --lab-igd2: an InternetGatewayDevice:2 description (keeps on restarts)
};
LabOptions& GlobalLabOptions();

// One port mapping as the router's NAT rules hold it.
struct RouterMapping
{
    std::string protocol; // "tcp" or "udp"
    uint16_t externalPort = 0;
    std::string internalAddress;
    uint16_t internalPort = 0;
};

// One IPv6 pinhole as the router's filter rules hold it.
struct RouterPinhole
{
    std::string protocol; // "tcp" or "udp"
    uint16_t port = 0;
    std::string address; // normalised text, "2001:db8:77::2"
};

// One line of miniupnpd's lease file: PROTO:EXTPORT:IADDR:IPORT:EXPIRY:DESCRIPTION.
struct RouterLease
{
    std::string protocol; // "TCP" or "UDP"
    uint16_t externalPort = 0;
    std::string internalAddress;
    uint16_t internalPort = 0;
    std::string description;
};

// The router lab of the running test binary. Its main thread, and so every
// thread of the tests, lives in the LAN host's namespace.
class LabEnvironment final
{
public:
    // The lab brought up by the test main; only valid while tests run.
    static LabEnvironment& Instance();
    // Used by the test main when the lab is up (nullptr when it goes down).
    static void Install(LabEnvironment* lab);

    LabEnvironment(std::string script, std::string prefix, LabOptions options);
    LabEnvironment(const LabEnvironment&) = delete;
    LabEnvironment& operator=(const LabEnvironment&) = delete;

    const std::string& prefix() const { return prefix_; }
    const LabOptions& options() const { return options_; }
    std::string namespaceName(Side side) const;

    // Addresses (dotted IPv4 text).
    std::string lanHost() const { return value("LAN_HOST"); }     // "the computer"
    std::string routerLan() const { return value("ROUTER_LAN"); } // default gateway
    std::string lan2Host() const { return value("LAN2_HOST"); }   // "" without second LAN
    std::string routerLan2() const { return value("ROUTER_LAN2"); }
    std::string routerWan() const { return value("ROUTER_WAN"); } // the external address
    std::string inetHost() const { return value("INET_HOST"); }   // a remote host
    // With --lab-ipv6 (empty otherwise).
    std::string lan6Host() const { return value("LAN6_HOST"); }       // the computer
    std::string routerLan6() const { return value("ROUTER_LAN6"); }   // router, global
    std::string routerLink6() const { return value("ROUTER_LINK6"); } // router, link-local
    std::string inet6Host() const { return value("INET6_HOST"); }     // a remote host
    int httpPort() const;                                             // miniupnpd's HTTP port
    std::string descriptionUrl() const;                               // via the first LAN port
    std::string friendlyName() const { return value("FRIENDLY_NAME"); }
    std::string routerUuid() const { return value("ROUTER_UUID"); }
    std::string leaseFile() const { return value("LEASE_FILE"); }
    std::string routerLog() const { return value("MINIUPNPD_LOG"); }
    std::string stateDir() const { return value("STATE_DIR"); }

    // Any KEY of `lab.sh info`; "" when absent.
    std::string value(const std::string& key) const;

    // Router control; each returns true on success. Mappings survive a restart
    // through the lease file.
    bool startRouter(RouterMode mode = RouterMode::Both, bool secureMode = false);
    bool stopRouter();
    bool restartRouter(RouterMode mode = RouterMode::Both, bool secureMode = false);
    // A restart that loses every mapping and pinhole, as a power cycle does.
    bool rebootRouter(RouterMode mode = RouterMode::Both);
    bool routerRunning();

    // Makes the router drop packets to one of its own ports without a word
    // (protocol "tcp" or "udp"), e.g. a gateway that ignores NAT-PMP (udp 5351).
    bool blockRouterPort(const std::string& protocol, int port);
    bool unblockRouterPort(const std::string& protocol, int port);
    // Off: the router drops PCP requests without a word and answers NAT-PMP
    // only, as a gateway of NAT-PMP alone; on again by default.
    bool setRouterPcp(bool on);

    // Another address on the LAN host's interface ("eth0", or "eth1" with the
    // second LAN), e.g. "192.168.77.3/24".
    bool addLanAddress(const std::string& cidr, const std::string& device = "eth0");

    // Runs a program in one of the namespaces and waits for it.
    ExecResult exec(Side side, const std::vector<std::string>& argv,
                    std::chrono::milliseconds timeout = std::chrono::seconds(60)) const;
    // Starts a program in one of the namespaces; it ends with the returned owner.
    BackgroundProcess spawn(Side side, const std::vector<std::string>& argv,
                            const std::string& outputFile) const;
    // Runs fn on a thread of its own inside a namespace (sockets it opens belong
    // there) and waits for it. False when the namespace could not be entered.
    bool runIn(Side side, const std::function<void()>& fn) const;

    // Whether a TCP connection from the internet host to target:port reaches
    // a listener of the computer on listenAt:port within a few seconds.
    bool reachesFromInternet(const std::string& target, const std::string& listenAt,
                             int port) const;

    // The router's port mappings, read on the router itself.
    std::vector<RouterMapping> routerMappings() const;
    std::vector<RouterLease> routerLeases() const;
    std::vector<RouterPinhole> routerPinholes() const;

    // The fake IGD program (see fake_igd.cpp) and the fake PCP gateway (fake_pcp.cpp).
    static std::string FakeIgdPath();
    static std::string FakePcpPath();

    // Runs `lab.sh ARGS...`.
    ExecResult script(const std::vector<std::string>& args,
                      std::chrono::milliseconds timeout = std::chrono::seconds(60)) const;
    bool refreshInfo();

private:
    std::string script_;
    std::string prefix_;
    LabOptions options_;
    std::vector<std::pair<std::string, std::string>> info_;
};

} // namespace velmora::lab
