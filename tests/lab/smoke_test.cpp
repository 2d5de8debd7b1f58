// Proves the router lab: from the LAN host, miniupnpc finds miniupnpd's IGD and
// its external address, libnatpmp gets the public address, mappings reach the
// router's NAT rules and work from the internet side, and each router mode
// answers only the protocols it should.

#include "tests/lab/LabEnvironment.h"
#include "tests/lab/LabProbes.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>
#include <miniupnpc/miniupnpc.h>
#include <miniupnpc/miniwget.h>
#include <miniupnpc/upnpcommands.h>
#include <natpmp.h>
#include <set>
#include <sstream>
#include <thread>

namespace velmora::lab {
namespace {

using namespace std::chrono_literals;

class LabSmoke : public ::testing::Test
{
protected:
    LabEnvironment& lab = LabEnvironment::Instance();

    void TearDown() override
    {
        // Each test leaves the router as the lab started it.
        lab.unblockRouterPort("udp", 5351);
        if (!lab.routerRunning() || lab.value("ROUTER_MODE") != "both" ||
            lab.value("SECURE_MODE") != "no") {
            lab.stopRouter();
            ASSERT_TRUE(lab.startRouter(RouterMode::Both));
        }
        for (const RouterMapping& m : lab.routerMappings())
            ADD_FAILURE() << "mapping left on the router: " << m.protocol << " " << m.externalPort;
    }
};

// Interface names of a namespace, from `ip -o link`.
std::set<std::string> Interfaces(const LabEnvironment& lab, Side side)
{
    std::set<std::string> names;
    std::istringstream lines(lab.exec(side, {"ip", "-o", "link", "show"}).output);
    std::string index, name, line;
    while (std::getline(lines, line)) {
        std::istringstream(line) >> index >> name;
        names.insert(name.substr(0, name.find_first_of("@:")));
    }
    return names;
}

TEST_F(LabSmoke, TheTestRunsInTheLanNamespaceWithNoWayOut)
{
    EXPECT_TRUE(InLabNamespace());
    std::thread([] {
        EXPECT_TRUE(InLabNamespace()) << "a new thread starts in the lab too";
    }).join();
    EXPECT_TRUE(HasLocalAddress(lab.lanHost()));
    EXPECT_FALSE(HasLocalAddress(lab.routerLan()));
    EXPECT_EQ(DefaultGateway(), lab.routerLan());
    EXPECT_EQ(ResolveIpv4("inet.lab"), lab.inetHost());
    EXPECT_EQ(ResolveIpv4("router.lab"), lab.routerLan());

    using Names = std::set<std::string>;
    EXPECT_EQ(Interfaces(lab, Side::Lan), (Names{"lo", "eth0"}));
    EXPECT_EQ(Interfaces(lab, Side::Router), (Names{"lo", "lan0", "wan0"}));
    EXPECT_EQ(Interfaces(lab, Side::Inet), (Names{"lo", "eth0"}));
    // The internet host is the end of the road: no route beyond its own link.
    const ExecResult route = lab.exec(Side::Inet, {"ip", "route", "get", "203.0.113.1"});
    EXPECT_NE(route.exitCode, 0) << route.output;
    EXPECT_EQ(lab.exec(Side::Inet, {"sysctl", "-n", "net.ipv4.ip_forward"}).output, "0\n");

    ASSERT_TRUE(lab.addLanAddress("192.168.77.3/24"));
    EXPECT_TRUE(HasLocalAddress("192.168.77.3"));
    EXPECT_TRUE(TcpListener("192.168.77.3", 17800).ok());
}

TEST_F(LabSmoke, MiniupnpcFindsTheIgdAndLibnatpmpThePublicAddress)
{
    Igd igd;
    ASSERT_TRUE(igd.discover()) << igd.error;
    EXPECT_EQ(igd.validity, kConnectedIgd);
    EXPECT_EQ(igd.lanAddress, lab.lanHost());
    EXPECT_EQ(std::string(igd.urls.rootdescURL), lab.descriptionUrl());
    EXPECT_EQ(igd.externalAddress(), lab.routerWan());
    EXPECT_NE(std::string(igd.data.first.servicetype).find("WANIPConnection:1"), std::string::npos);

    const NatpmpAnswer answer = ProbeNatpmp(10s);
    ASSERT_TRUE(answer.answered) << answer.error;
    EXPECT_EQ(answer.publicAddress, lab.routerWan());
}

TEST_F(LabSmoke, TheRouterDescribesItselfAsConfigured)
{
    DeviceList devices = Discover(1000ms);
    ASSERT_NE(devices, nullptr);
    EXPECT_NE(std::string(devices->usn).find("uuid:" + lab.routerUuid()), std::string::npos)
        << devices->usn;

    int size = 0;
    int status = 0;
    char* body = static_cast<char*>(miniwget(lab.descriptionUrl().c_str(), &size, 0, &status));
    ASSERT_NE(body, nullptr);
    const std::string description(body, static_cast<size_t>(size));
    free(body);
    EXPECT_EQ(status, 200);
    EXPECT_NE(description.find("<friendlyName>" + lab.friendlyName() + "</friendlyName>"),
              std::string::npos);
    // IGD v1 although the build could describe itself as v2.
    EXPECT_NE(description.find("urn:schemas-upnp-org:device:InternetGatewayDevice:1"),
              std::string::npos);
    EXPECT_EQ(description.find("InternetGatewayDevice:2"), std::string::npos);

    Igd igd;
    ASSERT_TRUE(igd.fromUrl(lab.descriptionUrl())) << igd.error;
    unsigned int down = 0;
    unsigned int up = 0;
    EXPECT_EQ(
        UPNP_GetLinkLayerMaxBitRates(igd.urls.controlURL_CIF, igd.data.CIF.servicetype, &down, &up),
        UPNPCOMMAND_SUCCESS);
    EXPECT_EQ(down, 100000000u);
    EXPECT_EQ(up, 20000000u);
}

TEST_F(LabSmoke, AMappingReachesTheRouterAndCarriesConnectionsFromTheInternet)
{
    Igd igd;
    ASSERT_TRUE(igd.fromUrl(lab.descriptionUrl())) << igd.error;
    TcpListener listener(lab.lanHost(), 17777);
    ASSERT_TRUE(listener.ok());
    ASSERT_EQ(igd.addMapping("TCP", 17000, lab.lanHost(), 17777, "inbound"), UPNPCOMMAND_SUCCESS);
    const std::vector<RouterMapping> mappings = lab.routerMappings();
    ASSERT_EQ(mappings.size(), 1u);
    EXPECT_EQ(mappings[0].protocol, "tcp");
    EXPECT_EQ(mappings[0].externalPort, 17000);
    EXPECT_EQ(mappings[0].internalAddress, lab.lanHost());
    EXPECT_EQ(mappings[0].internalPort, 17777);
    const std::vector<RouterLease> leases = lab.routerLeases();
    ASSERT_EQ(leases.size(), 1u);
    EXPECT_EQ(leases[0].description, "inbound");

    // Kept over a router restart, then used from the internet side.
    ASSERT_TRUE(lab.restartRouter(RouterMode::Both));
    ASSERT_EQ(lab.routerMappings().size(), 1u);
    std::string sent;
    ASSERT_TRUE(
        lab.runIn(Side::Inet, [&] { sent = SendTcp(lab.routerWan(), 17000, "hello lab"); }));
    EXPECT_EQ(sent, "");
    std::string peer;
    EXPECT_EQ(listener.acceptAndRead(5s, &peer), "hello lab");
    EXPECT_EQ(peer, lab.inetHost()); // no source NAT on the way in

    Igd again;
    ASSERT_TRUE(again.fromUrl(lab.descriptionUrl())) << again.error;
    EXPECT_EQ(again.deleteMapping("TCP", 17000), UPNPCOMMAND_SUCCESS);
    EXPECT_TRUE(lab.routerMappings().empty());
    EXPECT_TRUE(lab.routerLeases().empty());

    // Outgoing traffic leaves with the router's WAN address.
    TcpListener remote;
    ASSERT_TRUE(lab.runIn(Side::Inet, [&] { remote.listen(lab.inetHost(), 18000); }));
    ASSERT_TRUE(remote.ok());
    EXPECT_EQ(SendTcp(lab.inetHost(), 18000, "out"), "");
    EXPECT_EQ(remote.acceptAndRead(5s, &peer), "out");
    EXPECT_EQ(peer, lab.routerWan());
}

TEST_F(LabSmoke, EachModeAnswersOnlyItsProtocols)
{
    struct Case
    {
        const char* name;
        RouterMode mode;
        bool running, upnp, natpmp;
    };
    const Case cases[] = {
        {"NAT-PMP only", RouterMode::Natpmp, true, false, true},
        {"UPnP only", RouterMode::Upnp, true, true, false},
        {"stopped", RouterMode::None, false, false, false},
    };
    for (const Case& c : cases) {
        if (c.running) {
            ASSERT_TRUE(lab.restartRouter(c.mode)) << c.name;
        } else {
            ASSERT_TRUE(lab.stopRouter()) << c.name;
            EXPECT_FALSE(lab.routerRunning());
        }
        Igd igd;
        EXPECT_EQ(igd.discover(c.upnp ? 2000ms : 500ms), c.upnp) << c.name << ": " << igd.error;
        if (c.upnp) {
            EXPECT_EQ(igd.externalAddress(), lab.routerWan()) << c.name;
        }
        // libnatpmp would retry for about two minutes; its first retries suffice.
        const NatpmpAnswer answer = ProbeNatpmp(c.natpmp ? 10s : 3s);
        EXPECT_EQ(answer.answered, c.natpmp) << c.name << ": " << answer.error;
        if (c.natpmp) {
            EXPECT_EQ(answer.publicAddress, lab.routerWan()) << c.name;
        }
    }

    // A blocked port drops NAT-PMP silently: no port-unreachable ends the wait early.
    ASSERT_TRUE(lab.restartRouter(RouterMode::Both));
    ASSERT_TRUE(lab.blockRouterPort("udp", 5351));
    const NatpmpAnswer dropped = ProbeNatpmp(2s);
    EXPECT_FALSE(dropped.answered);
    EXPECT_EQ(dropped.error, "NAT-PMP gave " + std::to_string(NATPMP_TRYAGAIN));
    ASSERT_TRUE(lab.unblockRouterPort("udp", 5351));
    EXPECT_TRUE(ProbeNatpmp(10s).answered);
}

TEST_F(LabSmoke, SecureModeRefusesMappingsForOtherHosts)
{
    for (const bool secure : {true, false}) {
        ASSERT_TRUE(lab.restartRouter(RouterMode::Both, secure));
        EXPECT_EQ(lab.value("SECURE_MODE"), secure ? "yes" : "no");
        Igd igd;
        ASSERT_TRUE(igd.fromUrl(lab.descriptionUrl())) << igd.error;
        const int other = igd.addMapping("TCP", 19000, "192.168.77.50", 19000, "other");
        EXPECT_EQ(other == UPNPCOMMAND_SUCCESS, !secure) << "secure " << secure;
        if (other == UPNPCOMMAND_SUCCESS) {
            EXPECT_EQ(igd.deleteMapping("TCP", 19000), UPNPCOMMAND_SUCCESS);
        }
        EXPECT_TRUE(lab.routerMappings().empty());
        ASSERT_EQ(igd.addMapping("TCP", 19001, lab.lanHost(), 19001, "own"), UPNPCOMMAND_SUCCESS);
        EXPECT_EQ(igd.deleteMapping("TCP", 19001), UPNPCOMMAND_SUCCESS);
    }
}

TEST_F(LabSmoke, FakeIgdServesItsDescriptionAndCannedAnswer)
{
    test::TempDir dir;
    dir.write("desc.xml", FakeDescription("Fake Box"));
    dir.write("soap.xml", "<?xml version=\"1.0\"?>\n"
                          "<s:Envelope xmlns:s=\"http://schemas.xmlsoap.org/soap/envelope/\" "
                          "s:encodingStyle=\"http://schemas.xmlsoap.org/soap/encoding/\"><s:Body>"
                          "<u:GetExternalIPAddressResponse "
                          "xmlns:u=\"urn:schemas-upnp-org:service:WANIPConnection:1\">"
                          "<NewExternalIPAddress>11.22.33.77</NewExternalIPAddress>"
                          "</u:GetExternalIPAddressResponse></s:Body></s:Envelope>\n");
    ASSERT_TRUE(lab.stopRouter());
    BackgroundProcess fake =
        lab.spawn(Side::Router,
                  {LabEnvironment::FakeIgdPath(), "--desc", dir.file("desc.xml"), "--soap",
                   dir.file("soap.xml"), "--bodies", dir.file("bodies.txt"), "--http-port", "6000",
                   "--seconds", "60"},
                  dir.file("fake.out"));
    ASSERT_TRUE(fake.waitForOutput("fake_igd ready http_port=6000", 10s)) << fake.output();

    DeviceList devices = Discover(1000ms);
    ASSERT_NE(devices, nullptr);
    EXPECT_EQ(std::string(devices->descURL), "http://" + lab.routerLan() + ":6000/desc.xml");
    Igd igd;
    ASSERT_TRUE(igd.fromUrl(devices->descURL)) << igd.error;
    EXPECT_EQ(std::string(igd.data.CIF.servicetype),
              "urn:schemas-upnp-org:service:WANCommonInterfaceConfig:1");
    EXPECT_EQ(igd.externalAddress(), "11.22.33.77");
    fake.stop();
    EXPECT_NE(fake.output().find("http GET /desc.xml"), std::string::npos) << fake.output();
    EXPECT_NE(fake.output().find("http POST /ctl/IPConn "
                                 "\"urn:schemas-upnp-org:service:WANIPConnection:1#"
                                 "GetExternalIPAddress\""),
              std::string::npos)
        << fake.output();
    EXPECT_NE(dir.read("bodies.txt").find("<u:GetExternalIPAddress"), std::string::npos);
}

} // namespace
} // namespace velmora::lab
