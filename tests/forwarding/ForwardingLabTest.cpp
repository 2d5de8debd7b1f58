// Port forwarding against the lab's miniupnpd: "Add into Router" over UPnP and
// NAT-PMP, the router's ports list with deletion, refusals, and the port check.

#include "forwarding/core/NatPmpLeaseKeeper.h"
#include "forwarding/core/PortCheck.h"
#include "forwarding/core/RouterMappings.h"
#include "forwarding/ui/CFormView_Client.h"
#include "forwarding/ui/CPort_Check.h"
#include "forwarding/ui/CRouter_Add_Port.h"
#include "forwarding/ui/Ports_List.h"
#include "tests/forwarding/FakeForwardingHost.h"
#include "tests/forwarding/LabRouterEntry.h"
#include "tests/lab/LabEnvironment.h"
#include "tests/lab/LabProbes.h"
#include "tests/support/ModalCatcher.h"
#include "tests/support/QtTestApplication.h"

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <arpa/inet.h>
#include <cstring>
#include <ctime>
#include <fstream>
#include <gtest/gtest.h>
#include <set>

namespace velmora::test {
namespace {

using lab::LabEnvironment;
using lab::RouterMode;

constexpr char kAddFailed[] = "Failed to add port mapping into router!";

using velmora::test::UpnpRouter;

// A UPnP router known only by its control URL.
RouterEntryPtr RouterAt(const std::string& controlUrl)
{
    auto router = std::make_shared<RouterEntry>();
    router->urls.controlURL = strdup(controlUrl.c_str());
    std::strncpy(router->data.first.servicetype, "urn:schemas-upnp-org:service:WANIPConnection:1",
                 sizeof router->data.first.servicetype - 1);
    return router;
}

// The tab over `entries` with `router` in the router box.
struct LabTab
{
    LabTab(std::vector<ForwardingEntry> list, RouterEntryPtr router)
        : entries(std::move(list)), host(entries)
    {
        host.found = router != nullptr;
        host.router = std::move(router);
        view = std::make_unique<CFormView_Client>(entries, host);
        view->reloadRows();
        view->onRoutersFound();
    }

    // Presses "Add into Router" on the rows, waits for the run to end and
    // returns the texts of the message boxes it showed.
    QStringList addIntoRouter(std::initializer_list<int> rows)
    {
        SelectRows(view->list(), rows);
        ModalCatcher catcher;
        catcher.answer = AcceptMessageBoxes;
        auto* button = view->findChild<QPushButton*>("addIntoRouterButton");
        if (!button->isEnabled())
            return {"(Add into Router is disabled)"};
        QTest::mouseClick(button, Qt::LeftButton);
        QStringList messages;
        if (!WaitFor([&] { return !view->installing(); }, 300000))
            messages << "(still installing)";
        return catcher.messageTexts() + messages;
    }

    // Presses `button` and returns the text of the Port Check report it opened.
    static std::string portCheck(QPushButton* button)
    {
        std::string report;
        ModalCatcher catcher;
        catcher.answer = [&](QWidget* modal) {
            if (auto* check = qobject_cast<CPort_Check*>(modal)) {
                WaitFor([&] { return check->checkFinished(); }, 30000);
                report = check->report().toStdString();
                check->accept();
            }
        };
        button->click(); // the tab's button is hidden; it still works when pressed
        return report;
    }

    std::vector<ForwardingEntry> entries;
    FakeForwardingHost host;
    std::unique_ptr<CFormView_Client> view;
};

bool Has(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

class ForwardingLab : public ::testing::Test
{
protected:
    LabEnvironment& lab = LabEnvironment::Instance();
    RouterEntryPtr router;

    void SetUp() override
    {
        router = UpnpRouter(lab.descriptionUrl());
        ASSERT_NE(router, nullptr);
    }

    // Each test starts with a UPnP and NAT-PMP router, not in secure mode,
    // that holds no mapping.
    void TearDown() override { RestoreCleanLabRouter(lab); }

    std::string lan() const { return lab.lanHost(); }
    // The router's mappings as "tcp 80 <client>:80".
    std::set<std::string> mapped() const
    {
        std::set<std::string> out;
        for (const auto& m : lab.routerMappings())
            out.insert(m.protocol + " " + std::to_string(m.externalPort) + " " + m.internalAddress +
                       ":" + std::to_string(m.internalPort));
        return out;
    }
    std::string Map(const std::string& protocol, int port) const
    {
        return protocol + " " + std::to_string(port) + " " + lan() + ":" + std::to_string(port);
    }
    // Makes the lab's router a NAT-PMP-only gateway; the handle the scan leaves.
    RouterEntryPtr appleRouter()
    {
        if (!lab.restartRouter(RouterMode::Natpmp))
            return nullptr;
        auto apple = std::make_shared<RouterEntry>();
        apple->is_apple = true;
        if (initnatpmp(&apple->natpmp, 1, inet_addr(lab.routerLan().c_str())) != 0)
            return nullptr;
        apple->natpmp_open = true;
        return apple;
    }
};

TEST_F(ForwardingLab, APortListInstallsEveryPortItNames)
{
    LabTab tab({MakeEntry("web", "TCP", "80,443-447,8080", lan().c_str())}, router);
    EXPECT_TRUE(tab.addIntoRouter({0}).isEmpty());
    EXPECT_EQ(mapped(), (std::set<std::string>{Map("tcp", 80), Map("tcp", 443), Map("tcp", 444),
                                               Map("tcp", 445), Map("tcp", 446), Map("tcp", 447),
                                               Map("tcp", 8080)}));
    for (const auto& lease : lab.routerLeases())
        EXPECT_EQ(lease.description, "web");
}

TEST_F(ForwardingLab, BothInstallsTcpAndUdpOfTheSelectedRowOnly)
{
    LabTab tab({MakeEntry("game", "Both", "3074-3075", lan().c_str()),
                MakeEntry("unselected", "TCP", "2002", lan().c_str())},
               router);
    EXPECT_TRUE(tab.addIntoRouter({0}).isEmpty());
    EXPECT_EQ(mapped(), (std::set<std::string>{Map("tcp", 3074), Map("tcp", 3075), Map("udp", 3074),
                                               Map("udp", 3075)}));
}

TEST_F(ForwardingLab, PortsOutsideTheRangeAreSkippedAndReported)
{
    // 65616 would wrap to 80 in a 16-bit port.
    LabTab tab({MakeEntry("wrap", "TCP", "65616,8081", lan().c_str())}, router);
    EXPECT_EQ(tab.addIntoRouter({0}), QStringList{kAddFailed});
    EXPECT_EQ(mapped(), (std::set<std::string>{Map("tcp", 8081)}));
}

TEST_F(ForwardingLab, ARouterInSecureModeRefusesAnotherClient)
{
    ASSERT_TRUE(lab.restartRouter(RouterMode::Both, true));
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
    LabTab tab({MakeEntry("kept?", "TCP", "7000", lan().c_str())},
               RouterAt("http://" + lab.routerLan() + ":5555/ctl/IPConn"));
    EXPECT_EQ(tab.addIntoRouter({0}), QStringList{kAddFailed});
    EXPECT_NE(fake.output().find("AddPortMapping"), std::string::npos) << fake.output();
}

TEST_F(ForwardingLab, ThePortsListShowsTheMappingsAndDeletesTheSelectedOnes)
{
    {
        Ports_List empty(router);
        ASSERT_TRUE(WaitFor([&] { return empty.listingFinished(); }, 30000));
        EXPECT_EQ(empty.list()->rowCount(), 0);
        EXPECT_FALSE(empty.findChild<QPushButton*>("portCheckButton")->isEnabled());
    }
    LabTab tab({MakeEntry("web", "TCP", "80,443-447,8080", lan().c_str()),
                MakeEntry("game", "Both", "3074", lan().c_str()),
                MakeEntry("range", "TCP", "20000-20199", lan().c_str())},
               router);
    ASSERT_TRUE(tab.addIntoRouter({0, 1, 2}).isEmpty());
    ASSERT_EQ(lab.routerMappings().size(), 209u);

    std::set<std::string> rows, gone;
    int rowsLeft = -1;
    ModalCatcher catcher;
    catcher.answer = [&](QWidget* modal) {
        auto* dialog = qobject_cast<Ports_List*>(modal);
        if (!dialog || !WaitFor([&] { return dialog->listingFinished(); }, 120000))
            return;
        auto* list = dialog->list();
        for (int r = 0; r < list->rowCount(); ++r)
            rows.insert((list->cell(r, 0) + "|" + list->cell(r, 1) + "|" + list->cell(r, 2) + "|" +
                         list->cell(r, 3))
                            .toStdString());
        auto* remove = dialog->findChild<QPushButton*>("deleteFromRouterButton");
        EXPECT_FALSE(remove->isEnabled());
        SelectRows(list, {1, 4, 7});
        EXPECT_TRUE(remove->isEnabled());
        EXPECT_TRUE(dialog->findChild<QPushButton*>("portCheckButton")->isEnabled());
        for (int r : {1, 4, 7})
            gone.insert(Map(list->cell(r, 1).toLower().toStdString(), list->cell(r, 2).toInt()));
        QTest::mouseClick(remove, Qt::LeftButton);
        // Deletions go out off the GUI thread; each row goes when its answer comes.
        EXPECT_TRUE(WaitFor([&] { return dialog->deletionsAnswered() == 3; }, 30000));
        rowsLeft = list->rowCount();
        EXPECT_FALSE(remove->isEnabled());
        dialog->reject();
    };
    QTest::mouseClick(tab.view->findChild<QPushButton*>("portsListButton"), Qt::LeftButton);
    ASSERT_EQ(catcher.seen().size(), 1);
    EXPECT_EQ(catcher.seen()[0].title, QString("Ports list in router"));
    EXPECT_EQ(rows.size(), 209u);
    EXPECT_TRUE(rows.count("web|TCP|443|" + lan()));
    EXPECT_TRUE(rows.count("game|UDP|3074|" + lan()));
    EXPECT_TRUE(rows.count("game|TCP|3074|" + lan()));
    EXPECT_TRUE(rows.count("range|TCP|20199|" + lan()));
    EXPECT_EQ(rowsLeft, 206);
    ASSERT_EQ(gone.size(), 3u);
    auto left = mapped();
    EXPECT_EQ(left.size(), 206u);
    for (const auto& m : gone)
        EXPECT_EQ(left.count(m), 0u) << m;
}

TEST_F(ForwardingLab, TheProposedInternalIpIsTheAddressFacingTheRouter)
{
    std::vector<ForwardingEntry> entries;
    CRouter_Add_Port dialog(entries, nullptr);
    EXPECT_EQ(dialog.findChild<QLineEdit*>("internalIpEdit")->text().toStdString(), lan());
}

TEST_F(ForwardingLab, TheTabsPortCheckOfAMappingToAListener)
{
    lab::TcpListener listener(lan(), 18080);
    ASSERT_TRUE(listener.ok());
    LabTab tab({MakeEntry("served", "Both", "18080-18081", lan().c_str())}, router);
    ASSERT_TRUE(tab.addIntoRouter({0}).isEmpty());
    SelectRows(tab.view->list(), {0});
    const auto report = LabTab::portCheck(tab.view->findChild<QPushButton*>("portCheckButton"));
    EXPECT_TRUE(Has(report, "\"served\", TCP port 18080")) << report;
    EXPECT_TRUE(Has(report, "held, forwarded to " + lan() + ":18080.\n   State: unfiltered"))
        << report;
    EXPECT_TRUE(Has(report, "TCP " + lan() + ":18080, connection accepted.\n   State: open"))
        << report;
    EXPECT_TRUE(Has(report, "external address: " + lab.routerWan())) << report;
    EXPECT_TRUE(Has(report, "needs a check from outside")) << report;
}

TEST_F(ForwardingLab, PortCheckFromThePortsListOfAClosedPortAndOfAMappingNoLongerHeld)
{
    LabTab tab({MakeEntry("nobody", "Both", "18081", lan().c_str())}, router);
    ASSERT_TRUE(tab.addIntoRouter({0}).isEmpty());
    for (const char* protocol : {"TCP", "UDP"}) {
        Ports_List dialog(router);
        dialog.show();
        ASSERT_TRUE(WaitFor([&] { return dialog.listingFinished(); }, 30000));
        ASSERT_EQ(dialog.list()->rowCount(), 2);
        SelectRows(dialog.list(), {dialog.list()->cell(0, 1) == protocol ? 0 : 1});
        const auto report = LabTab::portCheck(dialog.findChild<QPushButton*>("portCheckButton"));
        const std::string expected =
            std::string(protocol) == "TCP"
                ? "connection refused.\n   State: closed"
                : "UDP " + lan() + ":18081, port unreachable.\n   State: closed";
        EXPECT_TRUE(Has(report, expected)) << report;
    }
    PortCheckTarget target{"gone", "TCP", 18082, lan()};
    const auto report = BuildPortCheckReport(RunPortCheck(EndpointOf(*router), target, {}));
    EXPECT_TRUE(Has(report, "the router no longer holds it.\n   State: filtered")) << report;
    EXPECT_TRUE(Has(report, "State: closed")) << report;
}

// Seconds from now to the expiry the router's lease file gives a mapping, or -1.
long SecondsLeft(const std::string& leaseFile, const std::string& protocol, int port)
{
    std::ifstream in(leaseFile);
    const std::string prefix = protocol + ":" + std::to_string(port) + ":";
    for (std::string line; std::getline(in, line);) {
        if (line.rfind(prefix, 0) != 0)
            continue;
        // PROTO:EXTPORT:IADDR:IPORT:EXPIRY:DESCRIPTION
        size_t field = 0;
        for (int i = 0; i < 4 && field != std::string::npos; ++i)
            field = line.find(':', field + 1);
        if (field == std::string::npos)
            return -1;
        return std::atol(line.c_str() + field + 1) - static_cast<long>(std::time(nullptr));
    }
    return -1;
}

TEST_F(ForwardingLab, AnAppleBaseStationMapsBothProtocolsForTwoHours)
{
    auto apple = appleRouter();
    ASSERT_NE(apple, nullptr);
    LabTab tab({MakeEntry("game", "Both", "24010-24011", "Localhost")}, apple);
    EXPECT_TRUE(tab.addIntoRouter({0}).isEmpty());
    EXPECT_EQ(mapped(), (std::set<std::string>{Map("tcp", 24010), Map("tcp", 24011),
                                               Map("udp", 24010), Map("udp", 24011)}));
    EXPECT_EQ(tab.view->natPmpLeases().leaseCount(), 4u);
    const long left = SecondsLeft(lab.leaseFile(), "UDP", 24011);
    EXPECT_GT(left, 7200 - 60);
    EXPECT_LE(left, 7200);
    EXPECT_EQ(tab.view->natPmpLeases().renewals(), 0u);
}

TEST_F(ForwardingLab, AnAppleMappingIsRenewedWhileTheProgramRuns)
{
    auto apple = appleRouter();
    ASSERT_NE(apple, nullptr);
    LabTab tab({MakeEntry("airport", "TCP", "24000", "Localhost")}, apple);
    tab.view->setNatPmpLifetime(4);
    EXPECT_TRUE(tab.addIntoRouter({0}).isEmpty());
    const std::set<std::string> expected{Map("tcp", 24000)};
    EXPECT_EQ(mapped(), expected);

    // Renewed at half its lifetime, it outlives that lifetime several times over.
    ASSERT_TRUE(WaitFor([&] { return tab.view->natPmpLeases().renewals() >= 4; }, 30000));
    EXPECT_EQ(mapped(), expected);

    // Once nobody renews it, the router lets it run out.
    tab.view.reset();
    EXPECT_TRUE(WaitFor([&] { return lab.routerMappings().empty(); }, 30000));
}

TEST_F(ForwardingLab, AnAppleGatewayThatDoesNotAnswerIsAFailure)
{
    auto apple = appleRouter();
    ASSERT_NE(apple, nullptr);
    ASSERT_TRUE(lab.stopRouter());
    LabTab tab({MakeEntry("silent", "TCP", "24030", "Localhost")}, apple);
    EXPECT_EQ(tab.addIntoRouter({0}), QStringList{kAddFailed});
    EXPECT_EQ(tab.view->natPmpLeases().leaseCount(), 0u);
}

} // namespace
} // namespace velmora::test
