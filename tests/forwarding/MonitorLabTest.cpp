// Mappings that stay, against the lab's miniupnpd: the "Y" entries installed
// when the router is found, a restarted router repaired by the monitor,
// mappings deleted or taken over by another client, the monitor switched off,
// a restart announced over SSDP and a lease renewed before it runs out.

#include "app/ui/CXTTrayIconEx.h"
#include "app/ui/CquaymarkDlg.h"
#include "forwarding/core/RouterMappings.h"
#include "forwarding/ui/CFormView_Client.h"
#include "forwarding/ui/RouterMonitor.h"
#include "platform/Log.h"
#include "tests/forwarding/FakeForwardingHost.h"
#include "tests/forwarding/LabRouterEntry.h"
#include "tests/lab/LabEnvironment.h"
#include "tests/lab/LabProbes.h"
#include "tests/support/ModalCatcher.h"
#include "tests/support/QtTestApplication.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iostream>
#include <miniupnpc/upnpcommands.h>
#include <set>
#include <thread>

namespace velmora::test {
namespace {

using lab::LabEnvironment;
using lab::RouterMode;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

std::string FirstLine(const std::string& path)
{
    std::ifstream in(path);
    std::string text;
    std::getline(in, text);
    return text;
}

using velmora::test::UpnpRouter;

MonitorOptions Every(std::chrono::milliseconds period, std::chrono::milliseconds probe,
                     bool announcements = true)
{
    MonitorOptions options;
    options.period = period;
    options.probeInterval = probe;
    options.watchAnnouncements = announcements;
    return options;
}

// Every line the tab has reported, in order.
QStringList Lines(const QSignalSpy& spy)
{
    QStringList lines;
    for (const auto& call : spy)
        lines << call.at(0).toStringList();
    return lines;
}

class MonitorLab : public ::testing::Test
{
protected:
    LabEnvironment& lab = LabEnvironment::Instance();

    void TearDown() override { RestoreCleanLabRouter(lab); }

    // The client the router forwards `port` (TCP) to, "" when it has no such mapping.
    std::string clientOf(int port) const
    {
        for (const auto& m : lab.routerMappings()) {
            if (m.protocol == "tcp" && m.externalPort == port)
                return m.internalAddress;
        }
        return "";
    }
    bool mapped(std::initializer_list<int> ports) const
    {
        for (int port : ports) {
            if (clientOf(port) != lab.lanHost())
                return false;
        }
        return true;
    }
    // A router that starts afresh: its NAT rules and its lease file gone, it
    // holds no mapping.
    void reboot(RouterMode mode = RouterMode::Both, bool powerCut = false)
    {
        if (powerCut) {
            // Gone without a goodbye.
            const std::string pid = FirstLine(lab.stateDir() + "/miniupnpd.pid");
            ASSERT_FALSE(pid.empty());
            ASSERT_EQ(::kill(std::stoi(pid), SIGKILL), 0);
            // Gone for good (reaped): a new miniupnpd refuses to start while
            // the pid in its pid file still names a process.
            ASSERT_TRUE(WaitFor([&] { return !std::filesystem::exists("/proc/" + pid); }, 10000));
        }
        ASSERT_TRUE(lab.stopRouter());
        std::filesystem::remove(lab.leaseFile());
        for (const char* chain : {"miniupnpd", "prerouting_miniupnpd", "postrouting_miniupnpd"})
            ASSERT_TRUE(
                lab.exec(lab::Side::Router, {"nft", "flush", "chain", "inet", "filter", chain})
                    .ok());
        ASSERT_TRUE(lab.routerMappings().empty());
        ASSERT_TRUE(lab.startRouter(mode));
    }
    // Another program on the LAN, speaking to the router through miniupnpc.
    lab::Igd& other()
    {
        if (!otherReady_) {
            otherReady_ = other_.fromUrl(lab.descriptionUrl());
            EXPECT_TRUE(otherReady_) << other_.error;
        }
        return other_;
    }

private:
    lab::Igd other_;
    bool otherReady_ = false;
};

// The Port Forwarding page over `entries`, with the lab router as the found one.
struct MonitoredTab
{
    MonitoredTab(std::vector<ForwardingEntry> list, RouterEntryPtr router, MonitorOptions options,
                 bool monitoring)
        : entries(std::move(list)), host(entries)
    {
        host.found = router != nullptr;
        host.router = std::move(router);
        view = std::make_unique<CFormView_Client>(entries, host);
        view->monitor()->setOptions(options);
        view->setMonitoring(monitoring);
        view->reloadRows();
        activity = std::make_unique<QSignalSpy>(view.get(), &CFormView_Client::activity);
        view->onRoutersFound();
    }
    int count(const QString& line) const { return static_cast<int>(Lines(*activity).count(line)); }
    bool waitForLine(const QString& line, int ms)
    {
        return WaitFor([&] { return count(line) > 0; }, ms);
    }

    std::vector<ForwardingEntry> entries;
    FakeForwardingHost host;
    std::unique_ptr<CFormView_Client> view;
    std::unique_ptr<QSignalSpy> activity;
};

TEST_F(MonitorLab, ARestartedRouterIsRepairedWithoutTheUser)
{
    TempDir dir;
    std::filesystem::create_directory(dir.file("log"));
    const std::string lan = lab.lanHost();
    dir.write("config.xml",
              "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n"
              "<mappings auto_startup=\"0\" monitor_router=\"1\" >\r\n"
              "<triggerings>\r\n</triggerings>\r\n<forwardings>\r\n"
              "<forwarding name=\"game\" protocol=\"TCP\" listen_port=\"15100-15101\" "
              "destination_ip=\"" +
                  lan +
                  "\" type=\"Y\" >\r\n</forwarding>\r\n"
                  "<forwarding name=\"web\" protocol=\"TCP\" listen_port=\"15200\" "
                  "destination_ip=\"" +
                  lan +
                  "\" type=\"\" >\r\n</forwarding>\r\n"
                  "</forwardings>\r\n</mappings>\r\n");
    constexpr auto kPeriod = 3000ms;
    CquaymarkDlg::Options options;
    options.programDir = dir.path();
    options.trayAvailable = false;
    options.monitor = Every(kPeriod, 60000ms);
    options.monitor.watchAnnouncements = false; // only the periodic check finds the restart
    auto window = std::make_unique<CquaymarkDlg>(options);
    ASSERT_TRUE(window->OnInitDialog());
    QSignalSpy trayBalloons(window->trayIcon(), &CXTTrayIconEx::balloonRequested);
    auto log = [&] { return dir.read("log/velmora.log"); };

    const std::string added =
        "Auto add: port forwarding \"game\": TCP 15100-15101 has been added into the router.\n";
    ASSERT_TRUE(WaitFor([&] { return log().find(added) != std::string::npos; }, 60000)) << log();
    EXPECT_TRUE(mapped({15100, 15101}));
    EXPECT_EQ(clientOf(15200), ""); // an entry without "Y" waits for "Add into Router"

    reboot();
    const auto back = Clock::now();
    // Within one check period (and a few seconds for a busy machine).
    ASSERT_TRUE(WaitFor([&] { return mapped({15100, 15101}); }, int((kPeriod + 5000ms).count())));
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - back);
    std::cout << "mappings back " << took.count() << " ms after the router's return (period "
              << kPeriod.count() << " ms)" << std::endl;

    const std::string repaired = "Port forwarding \"game\": TCP 15100-15101 was missing in the "
                                 "router and has been added again.";
    ASSERT_TRUE(WaitFor([&] { return log().find(repaired + "\n") != std::string::npos; }, 5000))
        << log();
    ASSERT_TRUE(WaitFor([&] { return !trayBalloons.isEmpty(); }, 5000));
    EXPECT_EQ(trayBalloons.last().at(0).toString(), QString("Velmora"));
    EXPECT_EQ(trayBalloons.last().at(1).toString(), QString::fromStdString(repaired));
    EXPECT_EQ(clientOf(15200), "");
    window.reset();
    CloseLogForTesting();
}

TEST_F(MonitorLab, AMappingDeletedByAnotherClientComesBackOneTakenOverIsReported)
{
    const std::string lan = lab.lanHost();
    MonitoredTab tab({MakeEntry("auto", "TCP", "15300", lan.c_str(), "Y"),
                      MakeEntry("manual", "TCP", "15301", lan.c_str(), ""),
                      MakeEntry("kept", "TCP", "15302", lan.c_str(), "Y")},
                     UpnpRouter(lab.descriptionUrl()), Every(1500ms, 500ms), true);
    ASSERT_TRUE(WaitFor([&] { return !tab.view->autoAdding(); }, 30000));
    ASSERT_TRUE(mapped({15300, 15302}));
    SelectRows(tab.view->list(), {1});
    QTest::mouseClick(tab.view->findChild<QPushButton*>("addIntoRouterButton"), Qt::LeftButton);
    ASSERT_TRUE(WaitFor([&] { return !tab.view->installing(); }, 30000));
    ASSERT_TRUE(mapped({15301}));

    ASSERT_EQ(other().deleteMapping("TCP", 15300), 0);
    ASSERT_EQ(clientOf(15300), "");
    EXPECT_TRUE(tab.waitForLine("Port forwarding \"auto\": TCP 15300 was missing in the router "
                                "and has been added again.",
                                10000))
        << Lines(*tab.activity).join("\n").toStdString();
    EXPECT_TRUE(mapped({15300}));

    const std::string stranger = "192.168.77.3";
    for (int port : {15301, 15302}) {
        ASSERT_EQ(other().deleteMapping("TCP", port), 0);
        ASSERT_EQ(other().addMapping("TCP", port, stranger, port, "stranger"), 0);
    }
    const QString manualTaken = "Port forwarding \"manual\": TCP 15301 now leads to "
                                "192.168.77.3:15301 instead of " +
                                QString::fromStdString(lan) + ".";
    const QString keptTaken = "Port forwarding \"kept\": TCP 15302 now leads to "
                              "192.168.77.3:15302 instead of " +
                              QString::fromStdString(lan) + ".";
    EXPECT_TRUE(tab.waitForLine(manualTaken, 10000))
        << Lines(*tab.activity).join("\n").toStdString();
    EXPECT_TRUE(tab.waitForLine(keptTaken, 10000));
    // Reported once, and another program's mapping is left alone.
    const uint64_t checks = tab.view->monitor()->checks();
    ASSERT_TRUE(WaitFor([&] { return tab.view->monitor()->checks() >= checks + 2; }, 10000));
    EXPECT_EQ(tab.count(manualTaken), 1);
    EXPECT_EQ(tab.count(keptTaken), 1);
    EXPECT_EQ(clientOf(15302), stranger);
    EXPECT_EQ(clientOf(15301), stranger);
}

TEST_F(MonitorLab, WithTheMonitorOffNothingIsAddedAgain)
{
    const std::string lan = lab.lanHost();
    MonitoredTab tab({MakeEntry("auto", "TCP", "15400", lan.c_str(), "Y")},
                     UpnpRouter(lab.descriptionUrl()), Every(500ms, 200ms), false);
    ASSERT_TRUE(WaitFor([&] { return !tab.view->autoAdding(); }, 30000));
    ASSERT_TRUE(mapped({15400}));
    ASSERT_EQ(other().deleteMapping("TCP", 15400), 0);
    reboot();
    QTest::qWait(3000); // six periods
    EXPECT_EQ(clientOf(15400), "");
    EXPECT_EQ(tab.view->monitor()->checks(), 0u);
    EXPECT_EQ(Lines(*tab.activity),
              QStringList{"Auto add: port forwarding \"auto\": TCP 15400 has been added into "
                          "the router."});

    // Switched on (Option), the monitor looks after it from then on.
    tab.view->setMonitoring(true);
    EXPECT_TRUE(WaitFor([&] { return mapped({15400}); }, 5000));
}

TEST_F(MonitorLab, ARestartAnnouncedOverSsdpIsRepairedAtOnce)
{
    const std::string lan = lab.lanHost();
    MonitoredTab tab({MakeEntry("auto", "Both", "15500", lan.c_str(), "Y")},
                     UpnpRouter(lab.descriptionUrl()), Every(600000ms, 600000ms), true);
    ASSERT_TRUE(WaitFor([&] { return !tab.view->autoAdding(); }, 30000));
    ASSERT_TRUE(mapped({15500}));
    ASSERT_TRUE(tab.view->monitor()->listening());
    std::this_thread::sleep_for(1100ms); // a new start, a new BOOTID.UPNP.ORG

    reboot();
    const auto back = Clock::now();
    ASSERT_TRUE(WaitFor([&] { return mapped({15500}); }, 15000))
        << Lines(*tab.activity).join("\n").toStdString();
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - back);
    std::cout << "mappings back " << took.count()
              << " ms after the router announced its return (period 10 min)" << std::endl;
    EXPECT_TRUE(tab.waitForLine("Port forwarding \"auto\": TCP 15500 and UDP 15500 was missing "
                                "in the router and has been added again.",
                                5000))
        << Lines(*tab.activity).join("\n").toStdString();
}

TEST_F(MonitorLab, ARouterThatLostPowerIsKnownByItsNewBootId)
{
    const std::string lan = lab.lanHost();
    MonitoredTab tab({MakeEntry("auto", "TCP", "15550", lan.c_str(), "Y")},
                     UpnpRouter(lab.descriptionUrl()), Every(600000ms, 600000ms), true);
    ASSERT_TRUE(WaitFor([&] { return !tab.view->autoAdding(); }, 30000));
    ASSERT_TRUE(mapped({15550}));
    ASSERT_TRUE(tab.view->monitor()->listening());
    std::this_thread::sleep_for(1100ms); // a new start, a new BOOTID.UPNP.ORG

    reboot(RouterMode::Both, true);
    ASSERT_TRUE(WaitFor([&] { return mapped({15550}); }, 15000))
        << Lines(*tab.activity).join("\n").toStdString();
    ASSERT_TRUE(WaitFor([&] { return Lines(*tab.activity).size() >= 3; }, 5000))
        << Lines(*tab.activity).join("\n").toStdString();
    const QStringList lines = Lines(*tab.activity);
    EXPECT_TRUE(lines[1].startsWith("The router has restarted (BOOTID.UPNP.ORG "))
        << lines.join("\n").toStdString();
    EXPECT_EQ(lines[2], "Port forwarding \"auto\": TCP 15550 was missing in the router and has "
                        "been added again.");
}

TEST_F(MonitorLab, AFiniteLeaseIsRenewedBeforeItRunsOut)
{
    const std::string lan = lab.lanHost();
    auto router = UpnpRouter(lab.descriptionUrl());
    ASSERT_NE(router, nullptr);
    MonitoredTab tab({MakeEntry("auto", "TCP", "15600", lan.c_str(), "Y")}, router,
                     Every(1000ms, 500ms), true);
    ASSERT_TRUE(WaitFor([&] { return !tab.view->autoAdding(); }, 30000));
    ASSERT_TRUE(mapped({15600}));
    // The router puts an end to the mapping, as an IGD:2 router does with a
    // "permanent" one (there a week).
    ASSERT_EQ(UPNP_AddPortMapping(router->urls.controlURL, router->data.first.servicetype, "15600",
                                  "15600", lan.c_str(), "auto", "TCP", nullptr, "30"),
              0);
    PortMappingRow row;
    ASSERT_EQ(GetSpecificPortMapping(EndpointOf(*router), 15600, "TCP", row), 0);
    ASSERT_NE(row.leaseDuration, "0");

    EXPECT_TRUE(tab.waitForLine(
        "Port forwarding \"auto\": TCP 15600 has been added again before its lease ran out.", 8000))
        << Lines(*tab.activity).join("\n").toStdString();
    // The lab's router, like IGD:2 routers, gives a "permanent" mapping a week.
    ASSERT_EQ(GetSpecificPortMapping(EndpointOf(*router), 15600, "TCP", row), 0);
    EXPECT_GT(std::stoul(row.leaseDuration), 600u) << row.leaseDuration;
}

TEST_F(MonitorLab, ANatPmpGatewayThatLostItsStateGetsItsMappingsAgain)
{
    ASSERT_TRUE(lab.restartRouter(RouterMode::Natpmp));
    auto apple = std::make_shared<RouterEntry>();
    apple->is_apple = true;
    ASSERT_EQ(initnatpmp(&apple->natpmp, 1, inet_addr(lab.routerLan().c_str())), 0);
    apple->natpmp_open = true;
    // Only the gateway's epoch can bring the check forward here.
    MonitoredTab tab({MakeEntry("auto", "UDP", "15700", "Localhost", "Y")}, apple,
                     Every(600000ms, 300ms), true);
    ASSERT_TRUE(WaitFor([&] { return !tab.view->autoAdding(); }, 30000));
    ASSERT_TRUE(WaitFor([&] {
        for (const auto& m : lab.routerMappings()) {
            if (m.protocol == "udp" && m.externalPort == 15700)
                return true;
        }
        return false;
    }));
    QTest::qWait(4000); // the gateway's epoch grows old enough to tell a restart from drift

    reboot(RouterMode::Natpmp);
    EXPECT_TRUE(WaitFor(
        [&] {
            for (const auto& m : lab.routerMappings()) {
                if (m.protocol == "udp" && m.externalPort == 15700)
                    return m.internalAddress == lab.lanHost();
            }
            return false;
        },
        10000))
        << Lines(*tab.activity).join("\n").toStdString();
    EXPECT_TRUE(tab.waitForLine("Port forwarding \"auto\": UDP 15700 was missing in the router "
                                "and has been added again.",
                                5000))
        << Lines(*tab.activity).join("\n").toStdString();
    EXPECT_EQ(tab.count("The router has started afresh and lost its port mappings."), 1);
}

} // namespace
} // namespace velmora::test
