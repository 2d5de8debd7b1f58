// Router scan and Router Info report against the lab's miniupnpd. The test
// process lives in the lab's LAN namespace: every packet stays in the lab.
#include "platform/NetworkInterfaces.h"
#include "router/core/NatPmpProbe.h"
#include "router/core/RouterInfoReport.h"
#include "router/core/UpnpDiscovery.h"
#include "tests/lab/LabEnvironment.h"
#include "tests/lab/LabProbes.h"
#include "tests/router/RouterLabSupport.h"
#include "tests/support/TempDir.h"

#include <cstdio>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <regex>
#include <sstream>
#include <unistd.h>

namespace velmora::lab {
namespace {

using test::BoxLines;
using test::RunLabScan;

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line))
        lines.push_back(line);
    return lines;
}

// Standard output of `fn` (the report's diagnostics go there).
std::string CaptureStdout(const std::function<void()>& fn)
{
    std::fflush(stdout);
    std::FILE* file = std::tmpfile();
    int saved = dup(fileno(stdout));
    dup2(fileno(file), fileno(stdout));
    fn();
    std::fflush(stdout);
    dup2(saved, fileno(stdout));
    close(saved);
    std::rewind(file);
    std::string text;
    char buffer[512];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        text.append(buffer, n);
    std::fclose(file);
    return text;
}

class RouterLab : public ::testing::Test
{
protected:
    LabEnvironment& lab = LabEnvironment::Instance();

    void useRouter(RouterMode mode)
    {
        std::string output;
        ASSERT_TRUE(test::UseRouter(lab, mode, &output)) << output;
    }

    // A served description (fake_igd in the router namespace, miniupnpd stopped).
    BackgroundProcess serve(test::TempDir& dir, const std::string& description,
                            std::vector<std::string> extra = {})
    {
        EXPECT_TRUE(lab.stopRouter());
        dir.write("desc.xml", description);
        std::vector<std::string> argv{LabEnvironment::FakeIgdPath(), "--desc", dir.file("desc.xml"),
                                      "--seconds", "60"};
        argv.insert(argv.end(), extra.begin(), extra.end());
        BackgroundProcess fake = lab.spawn(Side::Router, argv, dir.file("fake.out"));
        EXPECT_TRUE(fake.waitForOutput("fake_igd ready", std::chrono::seconds(10)))
            << fake.output();
        return fake;
    }
};

TEST_F(RouterLab, TheComputersAddressesComeFromItsInterfaces)
{
    EXPECT_EQ(LocalIPv4Addresses(), std::vector<std::string>{lab.lanHost()});
}

TEST_F(RouterLab, UpnpRouterIsListedOnceWithItsFriendlyName)
{
    useRouter(RouterMode::Upnp);
    auto scan = RunLabScan(LocalIPv4Addresses());
    ASSERT_EQ(scan.routers.size(), 1u) << scan.diagnostics;
    const RouterEntry& router = *scan.routers[0];
    EXPECT_FALSE(router.is_apple);
    EXPECT_EQ(router.friendly_name, lab.friendlyName());
    EXPECT_EQ(router.description_url, lab.descriptionUrl());
    EXPECT_EQ(router.lan_address, lab.lanHost());
    ASSERT_NE(router.urls.controlURL, nullptr);
    EXPECT_NE(std::string(router.data.first.servicetype).find("WANIPConnection"),
              std::string::npos);
    EXPECT_EQ(BoxLines(scan.routers), std::vector<std::string>{lab.friendlyName()});

    // The round on the computer's own address meets the router again and ends there.
    const std::string device = " desc: " + lab.descriptionUrl() + "\n st: " + kIgdDeviceType +
                               "\n\nLocal LAN ip address : " + lab.lanHost() + "\n";
    const std::string round = "List of UPNP devices found on the network :\n" + device;
    EXPECT_EQ(scan.diagnostics, round + "Address 0 : " + lab.lanHost() + "\n" + round);
}

TEST_F(RouterLab, NatPmpOnlyIsAnAirPortStation)
{
    useRouter(RouterMode::Natpmp);
    auto scan = RunLabScan(LocalIPv4Addresses());
    ASSERT_EQ(scan.routers.size(), 1u) << scan.diagnostics;
    EXPECT_TRUE(scan.routers[0]->is_apple);
    EXPECT_TRUE(scan.routers[0]->natpmp_open);
    EXPECT_GE(scan.routers[0]->natpmp.s, 0);
    EXPECT_EQ(scan.routers[0]->description_url, "");
    EXPECT_EQ(BoxLines(scan.routers), std::vector<std::string>{"AirPort Station"});
}

TEST_F(RouterLab, UpnpFirstAndAirPortStationLast)
{
    useRouter(RouterMode::Both);
    auto scan = RunLabScan(LocalIPv4Addresses());
    EXPECT_EQ(BoxLines(scan.routers),
              (std::vector<std::string>{lab.friendlyName(), "AirPort Station"}))
        << scan.diagnostics;
}

TEST_F(RouterLab, GatewayThatDropsNatPmpSilentlyIsNoAirPort)
{
    useRouter(RouterMode::Upnp);
    // No answer and no port-unreachable: libnatpmp alone would retry for minutes.
    ASSERT_TRUE(lab.exec(Side::Router, {"nft", "add table inet dropnatpmp ; add chain inet "
                                               "dropnatpmp input { type filter hook input "
                                               "priority -10 ; } ; add rule inet dropnatpmp "
                                               "input udp dport 5351 drop"})
                    .ok());
    EXPECT_EQ(ProbeNatPmpRouter(), nullptr);
    auto scan = RunLabScan(LocalIPv4Addresses());
    EXPECT_EQ(BoxLines(scan.routers), std::vector<std::string>{lab.friendlyName()});
    ASSERT_TRUE(lab.exec(Side::Router, {"nft", "delete table inet dropnatpmp"}).ok());
}

TEST_F(RouterLab, NoRouterFindsNothing)
{
    ASSERT_TRUE(lab.stopRouter());
    auto scan = RunLabScan(LocalIPv4Addresses());
    EXPECT_TRUE(scan.routers.empty());
    EXPECT_EQ(scan.diagnostics, "Address 0 : " + lab.lanHost() + "\n");
    useRouter(RouterMode::Both);
}

std::string WithoutElement(std::string description, const std::string& element)
{
    size_t at;
    while ((at = description.find(element)) != std::string::npos)
        description.erase(at, element.size());
    return description;
}

TEST_F(RouterLab, DescriptionWithoutFriendlyNameGivesAnEmptyLine)
{
    test::TempDir dir;
    std::string description = FakeDescription("REMOVE");
    for (const char* name : {"REMOVE", "WANDevice", "WANConnectionDevice"})
        description =
            WithoutElement(description, std::string("<friendlyName>") + name + "</friendlyName>");
    ASSERT_EQ(description.find("friendlyName"), std::string::npos);
    BackgroundProcess fake = serve(dir, description);
    auto scan = RunLabScan(LocalIPv4Addresses());
    ASSERT_EQ(scan.routers.size(), 1u) << scan.diagnostics;
    EXPECT_EQ(BoxLines(scan.routers), std::vector<std::string>{""});
    fake.stop();
    useRouter(RouterMode::Both);
}

TEST_F(RouterLab, EmbeddedDevicesNamesAreNotTheRouters)
{
    // A root device without a name of its own does not borrow an embedded device's.
    test::TempDir dir;
    BackgroundProcess fake = serve(
        dir, WithoutElement(FakeDescription("REMOVE"), "<friendlyName>REMOVE</friendlyName>"));
    auto scan = RunLabScan({});
    EXPECT_EQ(BoxLines(scan.routers), std::vector<std::string>{""}) << scan.diagnostics;
    fake.stop();
    useRouter(RouterMode::Both);
}

TEST_F(RouterLab, CapturedDescriptionOfAnotherMakeGivesItsName)
{
    test::TempDir dir;
    std::ifstream in(std::string(ROUTER_TEST_DATA) + "/new_LiveBox_desc.xml", std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    BackgroundProcess fake = serve(dir, text.str());
    auto scan = RunLabScan({});
    EXPECT_EQ(BoxLines(scan.routers), std::vector<std::string>{"Orange Livebox"})
        << scan.diagnostics;
    fake.stop();
    useRouter(RouterMode::Both);
}

TEST_F(RouterLab, ReportHasEveryLineInItsFormat)
{
    useRouter(RouterMode::Upnp);
    auto scan = RunLabScan({});
    ASSERT_EQ(scan.routers.size(), 1u);
    std::string report;
    std::string diagnostics = CaptureStdout(
        [&] { BuildRouterInfoReport(scan.routers[0]->data, scan.routers[0]->urls, report); });
    EXPECT_TRUE(std::regex_match(diagnostics, std::regex("  Time started : .+\n"))) << diagnostics;
    auto lines = Lines(report);
    ASSERT_EQ(lines.size(), 7u) << report;
    EXPECT_EQ(lines[0], "Connection Type : IP_Routed");
    EXPECT_TRUE(std::regex_match(lines[1], std::regex("Status : Connected, uptime=[0-9]+s")))
        << lines[1];
    // The lab router reports 100 Mbit/s down and 20 Mbit/s up.
    EXPECT_EQ(lines[2], "MaxBitRateDown : 100000000 bps (100.0 Mbps)   MaxBitRateUp 20000000 bps "
                        "(20.0 Mbps)");
    EXPECT_EQ(lines[3], "");
    EXPECT_EQ(lines[4], "ExternalIPAddress = " + lab.routerWan());
    std::regex counters("(Bytes:  |Packets:) Sent: [ 0-9]{7}[0-9]+\tRecv: [ 0-9]{7}[0-9]+");
    EXPECT_TRUE(std::regex_match(lines[5], counters)) << lines[5];
    EXPECT_EQ(lines[5].substr(0, 15), "Bytes:   Sent: ");
    EXPECT_TRUE(std::regex_match(lines[6], counters)) << lines[6];
    EXPECT_EQ(lines[6].substr(0, 15), "Packets: Sent: ");
}

TEST_F(RouterLab, RouterThatAnswersNothingGivesTheEmptyLineAndCounters)
{
    test::TempDir dir;
    BackgroundProcess fake = serve(dir, FakeDescription("Silent Box"), {"--soap-status", "500"});
    auto scan = RunLabScan({});
    ASSERT_EQ(scan.routers.size(), 1u) << scan.diagnostics;
    EXPECT_EQ(scan.routers[0]->friendly_name, "Silent Box");
    std::string report;
    std::string diagnostics = CaptureStdout(
        [&] { BuildRouterInfoReport(scan.routers[0]->data, scan.routers[0]->urls, report); });
    EXPECT_TRUE(std::regex_match(
        diagnostics, std::regex("GetConnectionTypeInfo failed\\.\n"
                                "GetStatusInfo failed\\.\n"
                                "GetLinkLayerMaxBitRates failed\\.\n"
                                "GetExternalIPAddress failed\\. \\(errorcode=-?[0-9]+\\)\n")))
        << diagnostics;
    auto lines = Lines(report);
    ASSERT_EQ(lines.size(), 3u) << report;
    EXPECT_EQ(lines[0], "");
    std::regex counters("(Bytes:  |Packets:) Sent: [ 0-9]{7}[0-9]+\tRecv: [ 0-9]{7}[0-9]+");
    EXPECT_TRUE(std::regex_match(lines[1], counters)) << lines[1];
    EXPECT_TRUE(std::regex_match(lines[2], counters)) << lines[2];
    fake.stop();
    useRouter(RouterMode::Both);
}

// Last: the added address stays for the rest of the run.
TEST_F(RouterLab, SecondAddressOnTheSameLanStillListsTheRouterOnce)
{
    useRouter(RouterMode::Upnp);
    ASSERT_TRUE(lab.addLanAddress("192.168.77.3/24"));
    auto addresses = LocalIPv4Addresses();
    ASSERT_EQ(addresses, (std::vector<std::string>{lab.lanHost(), "192.168.77.3"}));
    auto scan = RunLabScan(addresses);
    EXPECT_EQ(BoxLines(scan.routers), std::vector<std::string>{lab.friendlyName()})
        << scan.diagnostics;
    EXPECT_NE(scan.diagnostics.find("Address 1 : 192.168.77.3\n"), std::string::npos);
}

} // namespace
} // namespace velmora::lab
