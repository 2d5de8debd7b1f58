// Proves the router lab: from the LAN host, miniupnpc finds miniupnpd's IGD and
// its external address, mappings reach the router's NAT rules and work from
// the internet side, libnatpmp gets the public address, and each router mode
// answers only the protocols it should.

#include "tests/lab/LabEnvironment.h"
#include "tests/lab/LabProbes.h"
#include "tests/support/TempDir.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <miniupnpc/miniupnpc.h>
#include <miniupnpc/miniwget.h>
#include <miniupnpc/upnpcommands.h>
#include <natpmp.h>
#include <netinet/in.h>
#include <poll.h>
#include <set>
#include <sstream>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace velmora::lab {
namespace {

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

TEST_F(LabSmoke, TheTestRunsInTheLanNamespace)
{
    EXPECT_TRUE(InLabNamespace());
    EXPECT_TRUE(HasLocalAddress(lab.lanHost()));
    EXPECT_FALSE(HasLocalAddress(lab.routerLan()));
    EXPECT_EQ(DefaultGateway(), lab.routerLan());
    std::thread([&] {
        EXPECT_TRUE(InLabNamespace()) << "a new thread must start in the lab too";
    }).join();
}

// Interface names of a namespace, from `ip -o link`.
std::set<std::string> Interfaces(const LabEnvironment& lab, Side side)
{
    std::set<std::string> names;
    const ExecResult r = lab.exec(side, {"ip", "-o", "link", "show"});
    std::istringstream lines(r.output);
    std::string index, name, line;
    while (std::getline(lines, line)) {
        std::istringstream f(line);
        f >> index >> name;
        names.insert(name.substr(0, name.find_first_of("@:")));
    }
    return names;
}

TEST_F(LabSmoke, TheLabHasNoWayOut)
{
    using Names = std::set<std::string>;
    EXPECT_EQ(Interfaces(lab, Side::Lan), (Names{"lo", "eth0"}));
    EXPECT_EQ(Interfaces(lab, Side::Router), (Names{"lo", "lan0", "wan0"}));
    EXPECT_EQ(Interfaces(lab, Side::Inet), (Names{"lo", "eth0"}));
    // The internet host is the end of the road: it has no route beyond its own link.
    const ExecResult route = lab.exec(Side::Inet, {"ip", "route", "get", "203.0.113.1"});
    EXPECT_NE(route.exitCode, 0) << route.output;
    const ExecResult forwarding = lab.exec(Side::Inet, {"sysctl", "-n", "net.ipv4.ip_forward"});
    EXPECT_EQ(forwarding.output, "0\n");
}

TEST_F(LabSmoke, MiniupnpcFindsTheIgdAndItsExternalAddress)
{
    Igd igd;
    ASSERT_TRUE(igd.discover()) << igd.error;
    EXPECT_EQ(igd.validity, kConnectedIgd);
    EXPECT_EQ(igd.lanAddress, lab.lanHost());
    EXPECT_EQ(std::string(igd.urls.rootdescURL), lab.descriptionUrl());
    EXPECT_EQ(igd.externalAddress(), lab.routerWan());
}

TEST_F(LabSmoke, TheRouterDescribesItselfAsConfigured)
{
    DeviceList devices = Discover(std::chrono::milliseconds(1000));
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

TEST_F(LabSmoke, MiniupnpcReadsTheDescriptionFromItsUrl)
{
    Igd igd;
    ASSERT_TRUE(igd.fromUrl(lab.descriptionUrl())) << igd.error;
    EXPECT_EQ(igd.lanAddress, lab.lanHost());
    EXPECT_EQ(igd.externalAddress(), lab.routerWan());
    EXPECT_NE(std::string(igd.data.first.servicetype).find("WANIPConnection:1"), std::string::npos);
}

TEST_F(LabSmoke, AddPortMappingIsVisibleFromTheRouterSide)
{
    Igd igd;
    ASSERT_TRUE(igd.fromUrl(lab.descriptionUrl())) << igd.error;
    ASSERT_EQ(igd.addMapping("TCP", 15555, lab.lanHost(), 16666, "lab smoke"), UPNPCOMMAND_SUCCESS);

    const std::vector<RouterMapping> mappings = lab.routerMappings();
    ASSERT_EQ(mappings.size(), 1u);
    EXPECT_EQ(mappings[0].protocol, "tcp");
    EXPECT_EQ(mappings[0].externalPort, 15555);
    EXPECT_EQ(mappings[0].internalAddress, lab.lanHost());
    EXPECT_EQ(mappings[0].internalPort, 16666);
    const std::vector<RouterLease> leases = lab.routerLeases();
    ASSERT_EQ(leases.size(), 1u);
    EXPECT_EQ(leases[0].description, "lab smoke");

    EXPECT_EQ(igd.deleteMapping("TCP", 15555), UPNPCOMMAND_SUCCESS);
    EXPECT_TRUE(lab.routerMappings().empty());
    EXPECT_TRUE(lab.routerLeases().empty());
}

TEST_F(LabSmoke, MappingsSurviveARouterRestart)
{
    Igd igd;
    ASSERT_TRUE(igd.fromUrl(lab.descriptionUrl())) << igd.error;
    ASSERT_EQ(igd.addMapping("UDP", 15000, lab.lanHost(), 15000, "kept"), UPNPCOMMAND_SUCCESS);
    ASSERT_TRUE(lab.restartRouter(RouterMode::Both));
    ASSERT_EQ(lab.routerMappings().size(), 1u);

    Igd again;
    ASSERT_TRUE(again.fromUrl(lab.descriptionUrl())) << again.error;
    EXPECT_EQ(again.deleteMapping("UDP", 15000), UPNPCOMMAND_SUCCESS);
}

TEST_F(LabSmoke, AMappingCarriesConnectionsFromTheInternet)
{
    Igd igd;
    ASSERT_TRUE(igd.fromUrl(lab.descriptionUrl())) << igd.error;
    TcpListener listener(lab.lanHost(), 17777);
    ASSERT_TRUE(listener.ok());
    ASSERT_EQ(igd.addMapping("TCP", 17000, lab.lanHost(), 17777, "inbound"), UPNPCOMMAND_SUCCESS);

    std::string sent;
    ASSERT_TRUE(
        lab.runIn(Side::Inet, [&] { sent = SendTcp(lab.routerWan(), 17000, "hello lab"); }));
    EXPECT_EQ(sent, "");
    std::string peer;
    EXPECT_EQ(listener.acceptAndRead(std::chrono::seconds(5), &peer), "hello lab");
    EXPECT_EQ(peer, lab.inetHost()); // no source NAT on the way in

    EXPECT_EQ(igd.deleteMapping("TCP", 17000), UPNPCOMMAND_SUCCESS);
}

TEST_F(LabSmoke, OutgoingTrafficIsMasqueraded)
{
    TcpListener remote;
    std::string peer;
    ASSERT_TRUE(lab.runIn(Side::Inet, [&] { remote.listen(lab.inetHost(), 18000); }));
    ASSERT_TRUE(remote.ok());
    EXPECT_EQ(SendTcp(lab.inetHost(), 18000, "out"), "");
    EXPECT_EQ(remote.acceptAndRead(std::chrono::seconds(5), &peer), "out");
    EXPECT_EQ(peer, lab.routerWan());
}

TEST_F(LabSmoke, LibnatpmpGetsThePublicAddress)
{
    const NatpmpAnswer answer = ProbeNatpmp(std::chrono::seconds(10));
    ASSERT_TRUE(answer.answered) << answer.error;
    EXPECT_EQ(answer.publicAddress, lab.routerWan());
}

TEST_F(LabSmoke, NatpmpOnlyRouterHasNoUpnpDevice)
{
    ASSERT_TRUE(lab.restartRouter(RouterMode::Natpmp));
    Igd igd;
    EXPECT_FALSE(igd.discover(std::chrono::milliseconds(500)));
    const NatpmpAnswer answer = ProbeNatpmp(std::chrono::seconds(10));
    ASSERT_TRUE(answer.answered) << answer.error;
    EXPECT_EQ(answer.publicAddress, lab.routerWan());
}

TEST_F(LabSmoke, UpnpOnlyRouterGivesNoNatpmpAnswer)
{
    ASSERT_TRUE(lab.restartRouter(RouterMode::Upnp));
    // libnatpmp would retry for about two minutes; its first retries suffice.
    EXPECT_FALSE(ProbeNatpmp(std::chrono::seconds(3)).answered);
    Igd igd;
    ASSERT_TRUE(igd.discover()) << igd.error;
    EXPECT_EQ(igd.externalAddress(), lab.routerWan());
}

TEST_F(LabSmoke, ABlockedPortDropsNatpmpSilently)
{
    ASSERT_TRUE(lab.blockRouterPort("udp", 5351));
    const NatpmpAnswer dropped = ProbeNatpmp(std::chrono::seconds(2));
    EXPECT_FALSE(dropped.answered);
    // Still waiting when the probe gave up: no port-unreachable ended it early.
    EXPECT_EQ(dropped.error, "NAT-PMP gave " + std::to_string(NATPMP_TRYAGAIN));
    ASSERT_TRUE(lab.unblockRouterPort("udp", 5351));
    EXPECT_TRUE(ProbeNatpmp(std::chrono::seconds(10)).answered);
}

TEST_F(LabSmoke, StoppedRouterAnswersNothing)
{
    ASSERT_TRUE(lab.stopRouter());
    EXPECT_FALSE(lab.routerRunning());
    Igd igd;
    EXPECT_FALSE(igd.discover(std::chrono::milliseconds(500)));
    EXPECT_FALSE(ProbeNatpmp(std::chrono::seconds(2)).answered);
}

TEST_F(LabSmoke, SecureModeRefusesMappingsForOtherHosts)
{
    ASSERT_TRUE(lab.restartRouter(RouterMode::Both, true));
    EXPECT_EQ(lab.value("SECURE_MODE"), "yes");
    Igd igd;
    ASSERT_TRUE(igd.fromUrl(lab.descriptionUrl())) << igd.error;
    EXPECT_NE(igd.addMapping("TCP", 19000, "192.168.77.50", 19000, "other"), UPNPCOMMAND_SUCCESS);
    EXPECT_TRUE(lab.routerMappings().empty());
    ASSERT_EQ(igd.addMapping("TCP", 19001, lab.lanHost(), 19001, "own"), UPNPCOMMAND_SUCCESS);
    EXPECT_EQ(igd.deleteMapping("TCP", 19001), UPNPCOMMAND_SUCCESS);
}

TEST_F(LabSmoke, WithoutSecureModeMappingsMayNameOtherHosts)
{
    Igd igd;
    ASSERT_TRUE(igd.fromUrl(lab.descriptionUrl())) << igd.error;
    ASSERT_EQ(igd.addMapping("TCP", 19002, "192.168.77.50", 19002, "other"), UPNPCOMMAND_SUCCESS);
    EXPECT_EQ(igd.deleteMapping("TCP", 19002), UPNPCOMMAND_SUCCESS);
}

TEST_F(LabSmoke, AddedLanAddressIsUsable)
{
    ASSERT_TRUE(lab.addLanAddress("192.168.77.3/24"));
    EXPECT_TRUE(HasLocalAddress("192.168.77.3"));
    TcpListener listener("192.168.77.3", 17800);
    ASSERT_TRUE(listener.ok());
}

TEST_F(LabSmoke, LabHostNamesResolveInsideTheLab)
{
    EXPECT_EQ(ResolveIpv4("inet.lab"), lab.inetHost());
    EXPECT_EQ(ResolveIpv4("router.lab"), lab.routerLan());
}

TEST_F(LabSmoke, FakeIgdServesItsDescription)
{
    test::TempDir dir;
    dir.write("desc.xml", FakeDescription("Fake Box"));
    ASSERT_TRUE(lab.stopRouter());
    BackgroundProcess fake = lab.spawn(
        Side::Router,
        {LabEnvironment::FakeIgdPath(), "--desc", dir.file("desc.xml"), "--seconds", "60"},
        dir.file("fake.out"));
    ASSERT_TRUE(fake.waitForOutput("fake_igd ready", std::chrono::seconds(10))) << fake.output();

    DeviceList devices = Discover(std::chrono::milliseconds(1000));
    ASSERT_NE(devices, nullptr);
    const std::string location = devices->descURL;
    EXPECT_EQ(location.rfind("http://" + lab.routerLan() + ":", 0), 0u) << location;

    Igd igd;
    EXPECT_TRUE(igd.fromUrl(location)) << igd.error;
    EXPECT_EQ(std::string(igd.data.CIF.servicetype),
              "urn:schemas-upnp-org:service:WANCommonInterfaceConfig:1");
    fake.stop();
    EXPECT_NE(fake.output().find("http GET /desc.xml"), std::string::npos) << fake.output();
}

TEST_F(LabSmoke, FakeIgdAnswersPostsWithItsCannedResponse)
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
                   dir.file("soap.xml"), "--bodies", dir.file("bodies.txt"), "--http-port", "6000"},
                  dir.file("fake.out"));
    ASSERT_TRUE(fake.waitForOutput("fake_igd ready http_port=6000", std::chrono::seconds(10)))
        << fake.output();

    Igd igd;
    ASSERT_TRUE(igd.fromUrl("http://" + lab.routerLan() + ":6000/desc.xml")) << igd.error;
    EXPECT_EQ(igd.externalAddress(), "11.22.33.77");
    fake.stop();
    EXPECT_NE(fake.output().find("http POST /ctl/IPConn "
                                 "\"urn:schemas-upnp-org:service:WANIPConnection:1#"
                                 "GetExternalIPAddress\""),
              std::string::npos)
        << fake.output();
    EXPECT_NE(dir.read("bodies.txt").find("<u:GetExternalIPAddress"), std::string::npos);
}

} // namespace
} // namespace velmora::lab
