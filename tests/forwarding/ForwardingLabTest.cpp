// Port forwarding against the lab's miniupnpd: "Add into Router", the router's
// ports list with deletion, refusals, and the port check.

#include "forwarding/core/PortCheck.h"
#include "forwarding/core/RouterMappings.h"
#include "forwarding/ui/CPort_Check.h"
#include "forwarding/ui/CRouter_Add_Port.h"
#include "forwarding/ui/Ports_List.h"
#include "tests/forwarding/LabSupport.h"
#include "tests/lab/LabProbes.h"
#include "tests/support/TempDir.h"

#include <QLineEdit>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <gtest/gtest.h>
#include <set>

namespace velmora::test {
namespace {

using lab::LabEnvironment;
using lab::RouterMapping;
using lab::RouterMode;

constexpr char kAddFailed[] = "Failed to add port mapping into router!";

std::set<std::string> Mapped(const std::vector<RouterMapping>& mappings)
{
    std::set<std::string> out;
    for (const auto& m : mappings) {
        out.insert(m.protocol + " " + std::to_string(m.externalPort) + " " + m.internalAddress +
                   ":" + std::to_string(m.internalPort));
    }
    return out;
}

class ForwardingLab : public ::testing::Test
{
protected:
    LabEnvironment& lab = LabEnvironment::Instance();
    RouterEntryPtr router;

    void SetUp() override
    {
        LabApp();
        router = LabUpnpRouter(lab.descriptionUrl());
        ASSERT_NE(router, nullptr);
    }

    void TearDown() override
    {
        if (lab.value("SECURE_MODE") != "no" || !lab.routerRunning()) {
            lab.stopRouter();
            ASSERT_TRUE(lab.startRouter(RouterMode::Both));
        }
        // Each test starts with a router that holds no mapping.
        auto fresh = LabUpnpRouter(lab.descriptionUrl());
        ASSERT_NE(fresh, nullptr);
        for (const auto& m : lab.routerMappings()) {
            std::string protocol = m.protocol == "tcp" ? "TCP" : "UDP";
            DeletePortMapping(EndpointOf(*fresh), std::to_string(m.externalPort), protocol);
        }
        EXPECT_TRUE(lab.routerMappings().empty());
    }

    std::string lan() const { return lab.lanHost(); }
    std::string Map(const char* protocol, int port) const
    {
        return std::string(protocol) + " " + std::to_string(port) + " " + lan() + ":" +
               std::to_string(port);
    }
};

TEST_F(ForwardingLab, APortListInstallsEveryPortItNames)
{
    LabTab tab({MakeEntry("web", "TCP", "80,443-447,8080", lan().c_str())}, router);
    EXPECT_TRUE(tab.addIntoRouter({0}).isEmpty());
    EXPECT_EQ(
        Mapped(lab.routerMappings()),
        (std::set<std::string>{Map("tcp", 80), Map("tcp", 443), Map("tcp", 444), Map("tcp", 445),
                               Map("tcp", 446), Map("tcp", 447), Map("tcp", 8080)}));
    for (const auto& lease : lab.routerLeases())
        EXPECT_EQ(lease.description, "web");
}

TEST_F(ForwardingLab, AWideRangeIsInstalledPortByPortAndListedBack)
{
    LabTab tab({MakeEntry("range", "TCP", "20000-20199", lan().c_str())}, router);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(tab.addIntoRouter({0}).join("|").toStdString(), "");
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(lab.routerMappings().size(), 200u);
    std::printf("installed and read back 200 mappings in %lld ms\n",
                static_cast<long long>(
                    std::chrono::duration_cast<std::chrono::milliseconds>(took).count()));

    Ports_List dialog(router);
    const auto listStart = std::chrono::steady_clock::now();
    ASSERT_TRUE(WaitFor([&] { return dialog.listingFinished(); }, 120000));
    std::printf("listed 200 mappings in %lld ms\n",
                static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                           std::chrono::steady_clock::now() - listStart)
                                           .count()));
    EXPECT_EQ(dialog.list()->rowCount(), 200);
}

TEST_F(ForwardingLab, BothInstallsTcpAndUdp)
{
    LabTab tab({MakeEntry("game", "Both", "3074-3075", lan().c_str())}, router);
    EXPECT_TRUE(tab.addIntoRouter({0}).isEmpty());
    EXPECT_EQ(Mapped(lab.routerMappings()),
              (std::set<std::string>{Map("tcp", 3074), Map("tcp", 3075), Map("udp", 3074),
                                     Map("udp", 3075)}));
}

TEST_F(ForwardingLab, SeveralSelectedRowsAreInstalledTogether)
{
    LabTab tab({MakeEntry("a", "TCP", "2001", lan().c_str()),
                MakeEntry("b", "UDP", "2002", lan().c_str()),
                MakeEntry("c", "TCP", "2003", lan().c_str())},
               router);
    EXPECT_TRUE(tab.addIntoRouter({0, 2}).isEmpty());
    EXPECT_EQ(Mapped(lab.routerMappings()),
              (std::set<std::string>{Map("tcp", 2001), Map("tcp", 2003)}));
}

TEST_F(ForwardingLab, PortsOutsideTheRangeAreSkippedAndReported)
{
    // 65616 would wrap to 80 in a 16-bit port.
    LabTab tab({MakeEntry("wrap", "TCP", "65616,8081", lan().c_str())}, router);
    EXPECT_EQ(tab.addIntoRouter({0}), QStringList{kAddFailed});
    EXPECT_EQ(Mapped(lab.routerMappings()), (std::set<std::string>{Map("tcp", 8081)}));
}

TEST_F(ForwardingLab, ARouterInSecureModeRefusesAnotherClient)
{
    ASSERT_TRUE(lab.restartRouter(RouterMode::Both, true));
    ASSERT_TRUE(lab.refreshInfo());
    LabTab tab({MakeEntry("other", "TCP", "9100,9101", "192.168.77.3")}, router);
    EXPECT_EQ(tab.addIntoRouter({0}), QStringList{kAddFailed});
    EXPECT_TRUE(lab.routerMappings().empty());
}

TEST_F(ForwardingLab, ARouterThatAcceptsButDoesNotKeepIsAFailure)
{
    // A stand-in router that answers every SOAP request with 200 OK.
    TempDir dir;
    dir.write("desc.xml", lab::FakeDescription("Forgetful Router"));
    dir.write("soap.xml", "<?xml version=\"1.0\"?>\r\n<s:Envelope "
                          "xmlns:s=\"http://schemas.xmlsoap.org/soap/envelope/\"><s:Body>"
                          "<u:AddPortMappingResponse "
                          "xmlns:u=\"urn:schemas-upnp-org:service:WANIPConnection:1\"/>"
                          "</s:Body></s:Envelope>\r\n");
    auto fake = lab.spawn(lab::Side::Router,
                          {LabEnvironment::FakeIgdPath(), "--desc", dir.file("desc.xml"), "--soap",
                           dir.file("soap.xml"), "--http-port", "5555", "--seconds", "60"},
                          dir.file("fake.log"));
    ASSERT_TRUE(fake.waitForOutput("fake_igd ready", std::chrono::seconds(10))) << fake.output();
    auto forgetful = RouterAt("http://" + lab.routerLan() + ":5555/ctl/IPConn",
                              "urn:schemas-upnp-org:service:WANIPConnection:1");
    LabTab tab({MakeEntry("kept?", "TCP", "7000", lan().c_str())}, forgetful);
    EXPECT_EQ(tab.addIntoRouter({0}), QStringList{kAddFailed});
    EXPECT_NE(fake.output().find("AddPortMapping"), std::string::npos) << fake.output();
}

TEST_F(ForwardingLab, APortsListShowsTheMappingsAndDeletesTheSelectedOnes)
{
    LabTab tab({MakeEntry("web", "TCP", "80,443-447,8080", lan().c_str()),
                MakeEntry("game", "Both", "3074", lan().c_str())},
               router);
    ASSERT_TRUE(tab.addIntoRouter({0, 1}).isEmpty());
    ASSERT_EQ(lab.routerMappings().size(), 9u);

    Ports_List dialog(router);
    dialog.show();
    ASSERT_TRUE(WaitFor([&] { return dialog.listingFinished(); }, 30000));
    auto* list = dialog.list();
    ASSERT_EQ(list->rowCount(), 9);
    std::set<std::string> rows;
    for (int r = 0; r < list->rowCount(); ++r) {
        rows.insert((list->cell(r, 0) + "|" + list->cell(r, 1) + "|" + list->cell(r, 2) + "|" +
                     list->cell(r, 3))
                        .toStdString());
    }
    EXPECT_TRUE(rows.count("web|TCP|443|" + lan()));
    EXPECT_TRUE(rows.count("game|UDP|3074|" + lan()));
    EXPECT_TRUE(rows.count("game|TCP|3074|" + lan()));

    auto* remove = dialog.findChild<QPushButton*>("deleteFromRouterButton");
    EXPECT_FALSE(remove->isEnabled());
    SelectRows(list, {1, 4, 7});
    ASSERT_TRUE(remove->isEnabled());
    EXPECT_TRUE(dialog.findChild<QPushButton*>("portCheckButton")->isEnabled());
    std::set<std::string> gone;
    for (int r : {1, 4, 7}) {
        const std::string protocol = list->cell(r, 1).toLower().toStdString();
        gone.insert(Map(protocol.c_str(), list->cell(r, 2).toInt()));
    }
    QTest::mouseClick(remove, Qt::LeftButton);
    EXPECT_EQ(list->rowCount(), 6);
    EXPECT_FALSE(remove->isEnabled());
    auto left = Mapped(lab.routerMappings());
    EXPECT_EQ(left.size(), 6u);
    for (const auto& m : gone)
        EXPECT_EQ(left.count(m), 0u) << m;
    dialog.reject();
}

TEST_F(ForwardingLab, TheTabsPortsListButtonOpensTheRoutersList)
{
    LabTab tab({MakeEntry("web", "UDP", "5353", lan().c_str())}, router);
    ASSERT_TRUE(tab.addIntoRouter({0}).isEmpty());
    int rows = -1;
    ModalCatcher catcher;
    catcher.answer = [&](QWidget* modal) {
        auto* dialog = qobject_cast<Ports_List*>(modal);
        if (!dialog)
            return;
        WaitFor([&] { return dialog->listingFinished(); }, 30000);
        rows = dialog->list()->rowCount();
        dialog->reject();
    };
    QTest::mouseClick(tab.view->findChild<QPushButton*>("portsListButton"), Qt::LeftButton);
    ASSERT_EQ(catcher.seen().size(), 1);
    EXPECT_EQ(catcher.seen()[0].title, QString("Ports list in router"));
    EXPECT_EQ(rows, 1);
}

TEST_F(ForwardingLab, ARowSelectedWhileListingEnablesTheButtonsOnlyAfterwards)
{
    LabTab tab({MakeEntry("web", "TCP", "81", lan().c_str())}, router);
    ASSERT_TRUE(tab.addIntoRouter({0}).isEmpty());
    Ports_List dialog(router);
    auto* remove = dialog.findChild<QPushButton*>("deleteFromRouterButton");
    // The row arrives before the finished flag: selecting it then changes nothing.
    ASSERT_TRUE(WaitFor([&] { return dialog.list()->rowCount() == 1; }, 30000));
    if (!dialog.listingFinished()) {
        SelectRows(dialog.list(), {0});
        EXPECT_FALSE(remove->isEnabled());
    }
    ASSERT_TRUE(WaitFor([&] { return dialog.listingFinished(); }, 30000));
    dialog.list()->clearSelection();
    SelectRows(dialog.list(), {0});
    EXPECT_TRUE(remove->isEnabled());
}

TEST_F(ForwardingLab, AnEmptyRouterListsNothingAndKeepsTheButtonsOff)
{
    Ports_List dialog(router);
    ASSERT_TRUE(WaitFor([&] { return dialog.listingFinished(); }, 30000));
    EXPECT_EQ(dialog.list()->rowCount(), 0);
    EXPECT_FALSE(dialog.findChild<QPushButton*>("deleteFromRouterButton")->isEnabled());
    EXPECT_FALSE(dialog.findChild<QPushButton*>("portCheckButton")->isEnabled());
}

TEST_F(ForwardingLab, TheProposedInternalIpIsTheAddressFacingTheRouter)
{
    LabApp();
    std::vector<ForwardingEntry> entries;
    CRouter_Add_Port dialog(entries, nullptr);
    EXPECT_EQ(dialog.findChild<QLineEdit*>("internalIpEdit")->text().toStdString(), lan());
}

// Runs the Port Check of row `row` from the ports list; the report's text.
std::string CheckFromPortsList(const RouterEntryPtr& router, const std::string& port,
                               const std::string& protocol)
{
    Ports_List dialog(router);
    dialog.show();
    if (!WaitFor([&] { return dialog.listingFinished(); }, 30000))
        return "(listing did not finish)";
    int row = -1;
    for (int r = 0; r < dialog.list()->rowCount(); ++r) {
        if (dialog.list()->cell(r, 2).toStdString() == port &&
            dialog.list()->cell(r, 1).toStdString() == protocol)
            row = r;
    }
    if (row < 0)
        return "(no such row)";
    SelectRows(dialog.list(), {row});
    std::string report;
    ModalCatcher catcher;
    catcher.answer = [&](QWidget* modal) {
        auto* check = qobject_cast<CPort_Check*>(modal);
        if (!check)
            return;
        WaitFor([&] { return check->checkFinished(); }, 30000);
        report = check->report().toStdString();
        check->accept();
    };
    QTest::mouseClick(dialog.findChild<QPushButton*>("portCheckButton"), Qt::LeftButton);
    dialog.reject();
    return report;
}

bool Has(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

TEST_F(ForwardingLab, PortCheckOfAMappingToAListener)
{
    lab::TcpListener listener(lan(), 18080);
    ASSERT_TRUE(listener.ok());
    LabTab tab({MakeEntry("served", "TCP", "18080", lan().c_str())}, router);
    ASSERT_TRUE(tab.addIntoRouter({0}).isEmpty());
    const auto report = CheckFromPortsList(router, "18080", "TCP");
    EXPECT_TRUE(Has(report, "held, forwarded to " + lan() + ":18080.\n   State: unfiltered"))
        << report;
    EXPECT_TRUE(Has(report, "TCP " + lan() + ":18080, connection accepted.\n   State: open"))
        << report;
    EXPECT_TRUE(Has(report, "external address: " + lab.routerWan())) << report;
    EXPECT_TRUE(Has(report, "needs a check from outside")) << report;
}

TEST_F(ForwardingLab, PortCheckOfAMappingToAClosedPort)
{
    LabTab tab({MakeEntry("nobody", "Both", "18081", lan().c_str())}, router);
    ASSERT_TRUE(tab.addIntoRouter({0}).isEmpty());
    auto report = CheckFromPortsList(router, "18081", "TCP");
    EXPECT_TRUE(Has(report, "connection refused.\n   State: closed")) << report;
    report = CheckFromPortsList(router, "18081", "UDP");
    EXPECT_TRUE(Has(report, "UDP " + lan() + ":18081, port unreachable.\n   State: closed"))
        << report;
}

TEST_F(ForwardingLab, TheTabsPortCheckChecksTheEntrysFirstPort)
{
    lab::TcpListener listener(lan(), 18090);
    ASSERT_TRUE(listener.ok());
    LabTab tab({MakeEntry("served", "Both", "18090-18091", lan().c_str())}, router);
    ASSERT_TRUE(tab.addIntoRouter({0}).isEmpty());
    std::string report;
    ModalCatcher catcher;
    catcher.answer = [&](QWidget* modal) {
        auto* check = qobject_cast<CPort_Check*>(modal);
        if (!check)
            return;
        WaitFor([&] { return check->checkFinished(); }, 30000);
        report = check->report().toStdString();
        check->accept();
    };
    // The button is hidden on the tab; it still does its job when pressed.
    tab.view->findChild<QPushButton*>("portCheckButton")->click();
    EXPECT_TRUE(Has(report, "\"served\", TCP port 18090")) << report;
    EXPECT_TRUE(Has(report, "State: open")) << report;
}

TEST_F(ForwardingLab, PortCheckOfAMappingTheRouterNoLongerHolds)
{
    PortCheckTarget target{"gone", "TCP", 18082, lan()};
    PortCheckOptions options;
    const auto report = BuildPortCheckReport(RunPortCheck(EndpointOf(*router), target, options));
    EXPECT_TRUE(Has(report, "the router no longer holds it.\n   State: filtered")) << report;
    EXPECT_TRUE(Has(report, "State: closed")) << report;
}

} // namespace
} // namespace velmora::test
