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

#include <gtest/gtest.h>
#include <regex>
#include <sstream>
#include <unistd.h>

namespace velmora::lab {
namespace {

using test::RunLabScan;
using Strings = std::vector<std::string>;

const std::regex kCounters("(Bytes:  |Packets:) Sent: [ 0-9]{7}[0-9]+\tRecv: [ 0-9]{7}[0-9]+");

class RouterLab : public ::testing::Test
{
protected:
    LabEnvironment& lab = LabEnvironment::Instance();

    void useRouter(RouterMode mode)
    {
        std::string output;
        ASSERT_TRUE(test::UseRouter(lab, mode, &output)) << output;
    }

    // A served description (fake_igd in the router namespace, miniupnpd
    // stopped until the test ends).
    BackgroundProcess serve(const std::string& description, Strings extra = {})
    {
        if (!restore_) {
            EXPECT_TRUE(lab.stopRouter());
        }
        restore_ = true;
        dir_.write("desc.xml", description);
        Strings argv{LabEnvironment::FakeIgdPath(), "--desc", dir_.file("desc.xml"), "--seconds",
                     "60"};
        argv.insert(argv.end(), extra.begin(), extra.end());
        BackgroundProcess fake = lab.spawn(Side::Router, argv, dir_.file("fake.out"));
        EXPECT_TRUE(fake.waitForOutput("fake_igd ready", std::chrono::seconds(10)))
            << fake.output();
        return fake;
    }

    void TearDown() override
    {
        if (restore_)
            useRouter(RouterMode::Both);
    }

    // The report's lines; what it writes to standard output goes to `diagnostics`.
    static Strings Report(const RouterEntry& router, std::string& diagnostics)
    {
        std::string report;
        std::fflush(stdout);
        std::FILE* file = std::tmpfile();
        int saved = dup(fileno(stdout));
        dup2(fileno(file), fileno(stdout));
        BuildRouterInfoReport(router.data, router.urls, report);
        std::fflush(stdout);
        dup2(saved, fileno(stdout));
        close(saved);
        diagnostics = test::ReadAndClose(file);
        Strings lines;
        std::istringstream in(report);
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }

private:
    test::TempDir dir_;
    bool restore_ = false;
};

TEST_F(RouterLab, TheComputersAddressesComeFromItsInterfaces)
{
    EXPECT_EQ(LocalIPv4Addresses(), Strings{lab.lanHost()});
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
    EXPECT_EQ(RouterBoxLines(scan.routers), Strings{lab.friendlyName()});

    // The round on the computer's own address meets the router again and ends there.
    const std::string round =
        "List of UPNP devices found on the network :\n desc: " + lab.descriptionUrl() +
        "\n st: " + kIgdDeviceType + "\n\nLocal LAN ip address : " + lab.lanHost() + "\n";
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
    EXPECT_EQ(RouterBoxLines(scan.routers), Strings{"AirPort Station"});
}

TEST_F(RouterLab, UpnpFirstAndAirPortStationLast)
{
    useRouter(RouterMode::Both);
    auto scan = RunLabScan(LocalIPv4Addresses());
    EXPECT_EQ(RouterBoxLines(scan.routers), (Strings{lab.friendlyName(), "AirPort Station"}))
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
    EXPECT_EQ(RouterBoxLines(scan.routers), Strings{lab.friendlyName()});
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

TEST_F(RouterLab, DescriptionWithoutFriendlyNameGivesAnEmptyLine)
{
    // Without any friendlyName, and without the root's own while embedded
    // devices have theirs (the root does not borrow them).
    for (Strings names : {Strings{"REMOVE", "WANDevice", "WANConnectionDevice"}, {"REMOVE"}}) {
        std::string description = FakeDescription("REMOVE");
        for (const std::string& name : names) {
            const std::string element = "<friendlyName>" + name + "</friendlyName>";
            for (size_t at; (at = description.find(element)) != std::string::npos;)
                description.erase(at, element.size());
        }
        ASSERT_EQ(description.find("friendlyName") == std::string::npos, names.size() == 3);
        BackgroundProcess fake = serve(description);
        auto scan = RunLabScan(LocalIPv4Addresses());
        EXPECT_EQ(RouterBoxLines(scan.routers), Strings{""}) << scan.diagnostics;
        fake.stop();
    }
}

TEST_F(RouterLab, ReportHasEveryLineInItsFormat)
{
    useRouter(RouterMode::Upnp);
    auto scan = RunLabScan({});
    ASSERT_EQ(scan.routers.size(), 1u);
    std::string diagnostics;
    Strings lines = Report(*scan.routers[0], diagnostics);
    EXPECT_TRUE(std::regex_match(diagnostics, std::regex("  Time started : .+\n"))) << diagnostics;
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[0], "Connection Type : IP_Routed");
    EXPECT_TRUE(std::regex_match(lines[1], std::regex("Status : Connected, uptime=[0-9]+s")))
        << lines[1];
    // The lab router reports 100 Mbit/s down and 20 Mbit/s up.
    EXPECT_EQ(lines[2], "MaxBitRateDown : 100000000 bps (100.0 Mbps)   MaxBitRateUp 20000000 bps "
                        "(20.0 Mbps)");
    EXPECT_EQ(lines[3], "");
    EXPECT_EQ(lines[4], "ExternalIPAddress = " + lab.routerWan());
    EXPECT_TRUE(std::regex_match(lines[5], kCounters)) << lines[5];
    EXPECT_EQ(lines[5].substr(0, 15), "Bytes:   Sent: ");
    EXPECT_TRUE(std::regex_match(lines[6], kCounters)) << lines[6];
    EXPECT_EQ(lines[6].substr(0, 15), "Packets: Sent: ");
}

TEST_F(RouterLab, RouterThatAnswersNothingGivesTheEmptyLineAndCounters)
{
    BackgroundProcess fake = serve(FakeDescription("Silent Box"), {"--soap-status", "500"});
    auto scan = RunLabScan({});
    ASSERT_EQ(scan.routers.size(), 1u) << scan.diagnostics;
    EXPECT_EQ(scan.routers[0]->friendly_name, "Silent Box");
    std::string diagnostics;
    Strings lines = Report(*scan.routers[0], diagnostics);
    EXPECT_TRUE(std::regex_match(
        diagnostics, std::regex("GetConnectionTypeInfo failed\\.\n"
                                "GetStatusInfo failed\\.\n"
                                "GetLinkLayerMaxBitRates failed\\.\n"
                                "GetExternalIPAddress failed\\. \\(errorcode=-?[0-9]+\\)\n")))
        << diagnostics;
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "");
    EXPECT_TRUE(std::regex_match(lines[1], kCounters)) << lines[1];
    EXPECT_TRUE(std::regex_match(lines[2], kCounters)) << lines[2];
    fake.stop();
}

// Last: the added address stays for the rest of the run.
TEST_F(RouterLab, SecondAddressOnTheSameLanStillListsTheRouterOnce)
{
    useRouter(RouterMode::Upnp);
    ASSERT_TRUE(lab.addLanAddress("192.168.77.3/24"));
    auto addresses = LocalIPv4Addresses();
    ASSERT_EQ(addresses, (Strings{lab.lanHost(), "192.168.77.3"}));
    auto scan = RunLabScan(addresses);
    EXPECT_EQ(RouterBoxLines(scan.routers), Strings{lab.friendlyName()}) << scan.diagnostics;
    EXPECT_NE(scan.diagnostics.find("Address 1 : 192.168.77.3\n"), std::string::npos);
}

} // namespace
} // namespace velmora::lab
