// Router Management against the lab: the mappings miniupnpc made, deletion of
// the first selected row, no router yet, an AirPort station, the version 2
// router (bulk listing, Add into Router), and a router that never answers SOAP.

#include "forwarding/core/MappingInstaller.h"
#include "forwarding/core/UpnpMappingWriter.h"
#include "forwarding/ui/CRouter_Management.h"
#include "platform/BackgroundThreads.h"
#include "platform/ui/ReportList.h"
#include "tests/forwarding/LabRouterEntry.h"
#include "tests/lab/LabEnvironment.h"
#include "tests/lab/LabProbes.h"
#include "tests/support/ModalCatcher.h"
#include "tests/support/QtTestApplication.h"
#include "tests/support/TempDir.h"
#include "upnp/core/PortMappingList.h"
#include "upnp/core/UpnpClient.h"

#include <QLabel>
#include <QPushButton>
#include <cstring>
#include <gtest/gtest.h>
#include <set>

namespace velmora::test {
namespace {

using namespace std::chrono_literals;
using lab::LabEnvironment;
using lab::Side;

using velmora::test::UpnpRouter;

using Rows = std::set<std::vector<std::string>>;

Rows RowsOf(const ReportList* list)
{
    Rows rows;
    for (int r = 0; r < list->rowCount(); ++r)
        rows.insert({list->cell(r, 0).toStdString(), list->cell(r, 1).toStdString(),
                     list->cell(r, 2).toStdString(), list->cell(r, 3).toStdString()});
    return rows;
}

struct Opened
{
    std::unique_ptr<CRouter_Management> dialog;
    std::unique_ptr<ModalCatcher> catcher = std::make_unique<ModalCatcher>();
    int testPresses = 0;

    Opened(bool found, RouterEntryPtr router)
    {
        dialog = std::make_unique<CRouter_Management>(found, std::move(router),
                                                      [this] { ++testPresses; });
        dialog->show();
    }
    ReportList* list() const { return dialog->list(); }
    bool finish()
    {
        return WaitFor([&] { return dialog->listingFinished(); }, 60000);
    }
};

class RouterManagementLab : public ::testing::Test
{
protected:
    void SetUp() override { clearMappings(); }
    void TearDown() override
    {
        clearMappings();
        BackgroundThreads::instance().joinAll();
    }
    void clearMappings()
    {
        LabEnvironment& lab = LabEnvironment::Instance();
        lab::Igd igd;
        if (!igd.fromUrl(lab.descriptionUrl()))
            return;
        for (const auto& m : lab.routerMappings())
            igd.deleteMapping(m.protocol == "tcp" ? "TCP" : "UDP", m.externalPort);
    }
    // Three mappings made by miniupnpc, two of them under one description.
    Rows addThree()
    {
        LabEnvironment& lab = LabEnvironment::Instance();
        lab::Igd igd;
        EXPECT_TRUE(igd.fromUrl(lab.descriptionUrl())) << igd.error;
        EXPECT_EQ(igd.addMapping("TCP", 15001, lab.lanHost(), 15001, "game"), 0);
        EXPECT_EQ(igd.addMapping("UDP", 15001, lab.lanHost(), 15001, "game"), 0);
        EXPECT_EQ(igd.addMapping("TCP", 18080, lab.lanHost(), 80, "web"), 0);
        return {{"game", "TCP", "15001", lab.lanHost()},
                {"game", "UDP", "15001", lab.lanHost()},
                {"web", "TCP", "18080", lab.lanHost()}};
    }
};

TEST_F(RouterManagementLab, ListsTheRoutersMappingsAndDeletesTheFirstSelected)
{
    LabEnvironment& lab = LabEnvironment::Instance();
    const Rows made = addThree();
    Opened opened(true, UpnpRouter(lab.descriptionUrl()));
    ASSERT_TRUE(opened.finish());
    EXPECT_EQ(RowsOf(opened.list()), made);
    EXPECT_EQ(opened.catcher->texts(), QStringList());

    // Two rows selected: one request, for the first of them.
    opened.list()->selectRow(1);
    opened.list()->selectionModel()->select(opened.list()->model()->index(2, 0),
                                            QItemSelectionModel::Select |
                                                QItemSelectionModel::Rows);
    const std::string port = opened.list()->cell(1, 2).toStdString();
    const std::string protocol = opened.list()->cell(1, 1).toStdString();
    const auto kept = opened.list()->cell(2, 2);
    opened.dialog->findChild<QPushButton*>("deleteButton")->click();
    ASSERT_TRUE(WaitFor([&] { return opened.dialog->deletionsAnswered() == 1; }, 30000));
    EXPECT_EQ(opened.list()->rowCount(), 2);
    EXPECT_EQ(opened.list()->cell(1, 2), kept);
    const auto mappings = lab.routerMappings();
    ASSERT_EQ(mappings.size(), 2u);
    for (const auto& m : mappings)
        EXPECT_FALSE(std::to_string(m.externalPort) == port &&
                     (m.protocol == "tcp") == (protocol == "TCP"));

    opened.dialog->findChild<QPushButton*>("testButton")->click();
    EXPECT_EQ(opened.testPresses, 1);
    EXPECT_TRUE(opened.dialog->isVisible()); // Test leaves the dialog open
}

TEST_F(RouterManagementLab, RefusedDeletionLeavesTheRowWithoutAWord)
{
    LabEnvironment& lab = LabEnvironment::Instance();
    addThree();
    Opened opened(true, UpnpRouter(lab.descriptionUrl()));
    ASSERT_TRUE(opened.finish());
    // The lab's scripted router takes the router's place and port, and
    // refuses every action (HTTP 500 without a SOAP answer).
    ASSERT_TRUE(lab.stopRouter());
    TempDir dir;
    dir.write("desc.xml", lab::FakeDescription("Refusing Router"));
    lab::BackgroundProcess fake =
        lab.spawn(Side::Router,
                  {LabEnvironment::FakeIgdPath(), "--desc", dir.file("desc.xml"), "--http-port",
                   std::to_string(lab.httpPort()), "--seconds", "60"},
                  dir.file("fake.out"));
    ASSERT_TRUE(fake.waitForOutput("fake_igd ready", 10s)) << fake.output();
    opened.list()->selectRow(0);
    opened.dialog->findChild<QPushButton*>("deleteButton")->click();
    ASSERT_TRUE(WaitFor([&] { return opened.dialog->deletionsAnswered() == 1; }, 30000));
    EXPECT_NE(fake.output().find("#DeletePortMapping"), std::string::npos) << fake.output();
    EXPECT_EQ(opened.list()->rowCount(), 3);
    WaitFor([] { return false; }, 200);
    EXPECT_EQ(opened.catcher->texts(), QStringList());
    fake.stop();
    EXPECT_TRUE(lab.startRouter());
}

TEST_F(RouterManagementLab, BeforeAnyRouterIsFoundAndOnAnAirPortStation)
{
    addThree();
    {
        Opened opened(false, nullptr);
        ASSERT_TRUE(opened.finish());
        opened.list()->selectAll();
        opened.dialog->findChild<QPushButton*>("deleteButton")->click();
        WaitFor([] { return false; }, 300);
        EXPECT_EQ(opened.list()->rowCount(), 0);
        EXPECT_EQ(opened.catcher->texts(), QStringList());
        EXPECT_EQ(opened.dialog->deletionsAnswered(), 0);
    }
    auto apple = std::make_shared<RouterEntry>();
    apple->is_apple = true;
    Opened opened(true, apple);
    ASSERT_TRUE(WaitFor([&] { return !opened.catcher->texts().isEmpty(); }, 5000));
    EXPECT_EQ(opened.catcher->texts(),
              QStringList({"Apple router does not support view ports in router."}));
    EXPECT_EQ(opened.list()->rowCount(), 0);
    EXPECT_EQ(LabEnvironment::Instance().routerMappings().size(), 3u);
}

TEST_F(RouterManagementLab, UnreachableRouterSaysTheListingFailed)
{
    auto router = std::make_shared<RouterEntry>();
    router->urls.controlURL = strdup("http://192.168.77.1:5999/ctl/IPConn"); // nothing listens
    std::strncpy(router->data.first.servicetype, "urn:schemas-upnp-org:service:WANIPConnection:1",
                 sizeof router->data.first.servicetype - 1);
    Opened opened(true, router);
    ASSERT_TRUE(opened.finish());
    WaitFor([&] { return !opened.catcher->texts().isEmpty(); }, 5000);
    EXPECT_EQ(opened.catcher->texts(), QStringList({"Failed to get router's port mappings!"}));
    EXPECT_EQ(opened.list()->rowCount(), 0);
}

TEST_F(RouterManagementLab, VersionTwoRouterListsInBulkAndTakesAddIntoRouter)
{
    LabEnvironment& lab = LabEnvironment::Instance();
    ASSERT_TRUE(lab.stopRouter());
    ASSERT_TRUE(lab.script({"router", lab.prefix(), "start", "--igd2"}).ok());
    RouterEntryPtr router = UpnpRouter(lab.descriptionUrl());
    ASSERT_TRUE(router);
    const RouterEndpoint endpoint = EndpointOf(*router);
    EXPECT_EQ(endpoint.serviceType, kWanIpConnection2);

    // Add into Router's writer on the version 2 service.
    UpnpMappingWriter writer(endpoint);
    MappingRequest request;
    request.description = "added";
    request.internalClient = lab.lanHost();
    request.port = 17000;
    request.protocol = "TCP";
    EXPECT_EQ(writer.write(request), MappingWriter::Outcome::Written);
    EXPECT_TRUE(writer.holds(request));
    Rows made = addThree();
    made.insert({"added", "TCP", "17000", lab.lanHost()});

    Opened opened(true, router);
    ASSERT_TRUE(opened.finish());
    EXPECT_EQ(RowsOf(opened.list()), made);
    EXPECT_EQ(opened.catcher->texts(), QStringList());

    // The router takes the bulk request, and entry by entry gives the same rows.
    UpnpClient client;
    client.init_client(2);
    client.setRouterInfo(RouterInfo::forService(endpoint.controlUrl, endpoint.serviceType));
    const auto rowsOf = [](const UpnpClient& c) {
        Rows rows;
        for (const auto& m : c.mappings)
            rows.insert({m.mapping_desc, m.protocol, m.external_port, m.internal_client});
        return rows;
    };
    ASSERT_EQ(ListPortMappingsInBulk(client), BulkListing::Read);
    EXPECT_EQ(rowsOf(client), made);
    ASSERT_TRUE(client.list_port_mappings());
    EXPECT_EQ(rowsOf(client), made);

    opened.list()->selectRow(0);
    opened.dialog->findChild<QPushButton*>("deleteButton")->click();
    ASSERT_TRUE(WaitFor([&] { return opened.dialog->deletionsAnswered() == 1; }, 30000));
    EXPECT_EQ(opened.list()->rowCount(), 3);
    EXPECT_EQ(lab.routerMappings().size(), 3u);
    opened.dialog.reset();
    clearMappings();
    EXPECT_TRUE(lab.restartRouter());
}

TEST_F(RouterManagementLab, ClosesAtOnceWhileTheRouterNeverAnswers)
{
    LabEnvironment& lab = LabEnvironment::Instance();
    lab.stopRouter();
    TempDir dir;
    dir.write("desc.xml", lab::FakeDescription("Silent Router"));
    lab::BackgroundProcess fake =
        lab.spawn(Side::Router,
                  {LabEnvironment::FakeIgdPath(), "--desc", dir.file("desc.xml"), "--http-port",
                   "6000", "--seconds", "120", "--silent-soap"},
                  dir.file("fake.out"));
    ASSERT_TRUE(fake.waitForOutput("fake_igd ready", 10s)) << fake.output();
    RouterEntryPtr router = UpnpRouter("http://" + lab.routerLan() + ":6000/desc.xml");
    ASSERT_TRUE(router);
    {
        Opened opened(true, router);
        ASSERT_TRUE(fake.waitForOutput("(held)", 10s)) << fake.output();
        opened.dialog->findChild<QPushButton*>("closeButton")->click();
        EXPECT_FALSE(opened.dialog->isVisible());
        EXPECT_FALSE(opened.dialog->listingFinished());
        EXPECT_EQ(opened.list()->rowCount(), 0);
    }
    BackgroundThreads::instance().joinAll();
    fake.stop();
    EXPECT_TRUE(lab.startRouter());
}

} // namespace
} // namespace velmora::test
