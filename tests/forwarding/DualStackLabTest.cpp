// Add into Router over IPv4 and IPv6 against the lab's miniupnpd (IPv6,
// IGD:2): one outcome, pinholes in the ports list, renewed and deleted; the
// monitor reopening them after a reboot; PCP in place of NAT-PMP; and a
// router without IPv6 firewall control that behaves as before.

#include "forwarding/core/LeaseBook.h"
#include "forwarding/core/NatPmpLeaseKeeper.h"
#include "forwarding/ui/CFormView_Client.h"
#include "forwarding/ui/Ports_List.h"
#include "forwarding/ui/RouterMonitor.h"
#include "router/core/NatPmpProbe.h"
#include "tests/forwarding/FakeForwardingHost.h"
#include "tests/forwarding/LabRouterEntry.h"
#include "tests/support/ModalCatcher.h"
#include "tests/support/QtTestApplication.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <fstream>
#include <sstream>

namespace velmora::test {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

struct Tab
{
    Tab(std::vector<ForwardingEntry> list, RouterEntryPtr router, bool monitoring = false,
        uint32_t lease = 4) // leases of 4 s: renewed every 2 s
        : entries(std::move(list)), host(entries)
    {
        host.found = true;
        host.router = std::move(router);
        view = std::make_unique<CFormView_Client>(entries, host);
        MonitorOptions options;
        options.period = 20s;
        options.probeInterval = 1s;
        view->monitor()->setOptions(options);
        view->setMonitoring(monitoring);
        view->setNatPmpLifetime(lease);
        view->reloadRows();
        activity = std::make_unique<QSignalSpy>(view.get(), &CFormView_Client::activity);
        view->onRoutersFound();
    }
    QStringList addIntoRouter(int row = 0)
    {
        SelectRows(view->list(), {row});
        ModalCatcher catcher;
        catcher.answer = AcceptMessageBoxes;
        QTest::mouseClick(view->findChild<QPushButton*>("addIntoRouterButton"), Qt::LeftButton);
        EXPECT_TRUE(WaitFor([&] { return !view->installing(); }, 120000));
        WaitFor([] { return false; }, 100);
        return catcher.messageTexts();
    }
    QString lines() const
    {
        QStringList all;
        for (const auto& call : *activity)
            all << call.at(0).toStringList();
        return all.join("\n");
    }

    std::vector<ForwardingEntry> entries;
    FakeForwardingHost host;
    std::unique_ptr<CFormView_Client> view;
    std::unique_ptr<QSignalSpy> activity;
};

class DualStackLab : public ::testing::Test
{
protected:
    lab::LabEnvironment& lab = lab::LabEnvironment::Instance();

    void TearDown() override
    {
        EXPECT_TRUE(lab.setRouterPcp(true));
        EXPECT_TRUE(lab.rebootRouter());
    }
    QString lan6() const { return QString::fromStdString(lab.lan6Host()); }
    std::string routerLog() const
    {
        std::ifstream file(lab.routerLog());
        std::stringstream text;
        text << file.rdbuf();
        return text.str();
    }
};

TEST_F(DualStackLab, SevenPortsOpenOverBothThenShowInThePortsListRenewAndGo)
{
    auto router = UpnpRouter(lab.descriptionUrl());
    ASSERT_NE(router, nullptr);
    Tab tab({MakeEntry("seven", "TCP", "16600-16606", lab.lanHost().c_str()),
             MakeEntry("elsewhere", "TCP", "16640-16646", "192.168.77.3")},
            router);
    auto start = Clock::now();
    const QStringList messages = tab.addIntoRouter();
    const auto both = Clock::now() - start;
    start = Clock::now();
    EXPECT_EQ(tab.addIntoRouter(1), QStringList()) << "another host's entry: IPv4 only, as before";
    std::printf("figure: Add into Router to its outcome, 7-port entry over IPv4 + IPv6: %lld ms; "
                "over IPv4 only (peer, same router): %lld ms\n",
                static_cast<long long>(both / 1ms),
                static_cast<long long>((Clock::now() - start) / 1ms));
    ASSERT_EQ(messages.size(), 1) << messages.join("|").toStdString();
    EXPECT_EQ(messages[0], "IPv4: 7 of 7 port mappings added into the router.\n"
                           "IPv6: 7 of 7 pinholes opened for " +
                               lan6() +
                               ".\n"
                               "Over IPv6 a program on this computer is reachable at [" +
                               lan6() + "]:port.");
    EXPECT_EQ(lab.routerMappings().size(), 14u);
    EXPECT_EQ(lab.routerPinholes().size(), 7u);
    EXPECT_TRUE(lab.reachesFromInternet(lab.lan6Host(), lab.lan6Host(), 16606));
    EXPECT_TRUE(WaitFor(
        [&] { return routerLog().find("updating lease duration to 4") != std::string::npos; },
        5000))
        << "renewed at half its lease";

    Ports_List list(router);
    list.setLeaseBook(tab.view->leaseBook());
    list.show();
    ASSERT_TRUE(WaitFor([&] { return list.listingFinished(); }, 30000));
    ASSERT_EQ(list.list()->rowCount(), 21);
    EXPECT_EQ(list.list()->cell(14, 1), "TCP (IPv6)");
    EXPECT_TRUE(list.list()->cell(14, 3).startsWith(lan6() + " (0:00:0")) << "with the lease left";
    SelectRows(list.list(), {14, 15, 16, 17, 18, 19, 20});
    QTest::mouseClick(list.findChild<QPushButton*>("deleteFromRouterButton"), Qt::LeftButton);
    EXPECT_TRUE(WaitFor([&] { return list.deletionsAnswered() == 7; }, 30000));
    EXPECT_TRUE(lab.routerPinholes().empty());
    EXPECT_EQ(lab.routerMappings().size(), 14u) << "the IPv4 mappings stay";
    EXPECT_TRUE(tab.view->leaseBook()->leases().empty()) << "nor renewed any more";
}

TEST_F(DualStackLab, TheMonitorReopensAPinholeAfterARouterReboot)
{
    auto router = UpnpRouter(lab.descriptionUrl());
    ASSERT_NE(router, nullptr);
    // A lease of an hour: the monitor, not a renewal, finds it gone.
    Tab tab({MakeEntry("kept", "UDP", "16610", lab.lanHost().c_str(), "Y")}, router, true, 3600);
    ASSERT_TRUE(WaitFor([&] { return lab.routerPinholes().size() == 1; }, 30000));
    EXPECT_TRUE(WaitFor(
        [&] { return tab.lines().contains("Auto add: 1 of 1 IPv6 pinholes opened for " + lan6()); },
        5000))
        << tab.lines().toStdString();

    ASSERT_TRUE(lab.rebootRouter());
    const auto start = Clock::now();
    ASSERT_TRUE(WaitFor([&] { return lab.routerPinholes().size() == 1; }, 60000));
    const auto pinhole = Clock::now() - start;
    ASSERT_TRUE(WaitFor([&] { return lab.routerMappings().size() == 1; }, 60000));
    std::printf("figure: after the router's restart the monitor reopened the pinhole in %lld ms, "
                "the IPv4 mapping (peer) in %lld ms\n",
                static_cast<long long>(pinhole / 1ms),
                static_cast<long long>((Clock::now() - start) / 1ms));
    EXPECT_TRUE(WaitFor([&] { return tab.lines().contains("IPv6 UDP 16610"); }, 5000))
        << tab.lines().toStdString();
}

TEST_F(DualStackLab, PcpTakesOverFromNatPmpWhereTheGatewaySpeaksIt)
{
    RouterEntryPtr gateway = ProbeNatPmpRouter();
    ASSERT_NE(gateway, nullptr);
    Tab tab({MakeEntry("pcp", "TCP", "16620", "Localhost")}, gateway);
    const QStringList messages = tab.addIntoRouter();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith("IPv4: 1 of 1 port mappings added into the router.\n"
                                       "IPv6: 1 of 1 pinholes opened for " +
                                       lan6()))
        << messages[0].toStdString();
    ASSERT_EQ(lab.routerMappings().size(), 1u);
    EXPECT_EQ(lab.routerMappings()[0].internalAddress, lab.lanHost());
    EXPECT_EQ(tab.view->natPmpLeases().leaseCount(), 0u) << "no NAT-PMP request was made";
    EXPECT_EQ(tab.view->leaseBook()->leases().size(), 2u);
}

TEST_F(DualStackLab, ARouterWithoutIPv6FirewallControlBehavesAsBefore)
{
    ASSERT_TRUE(lab.script({"router", lab.prefix(), "restart"}).ok()); // IGD:1
    ASSERT_TRUE(lab.setRouterPcp(false));
    auto router = UpnpRouter(lab.descriptionUrl());
    ASSERT_NE(router, nullptr);
    Tab tab({MakeEntry("old", "TCP", "16630", lab.lanHost().c_str())}, router);
    EXPECT_EQ(tab.addIntoRouter(), QStringList()) << "a success says nothing, as before";
    EXPECT_EQ(lab.routerMappings().size(), 1u);
    EXPECT_TRUE(lab.routerPinholes().empty());
    EXPECT_TRUE(tab.view->leaseBook()->leases().empty());
}

} // namespace
} // namespace velmora::test
