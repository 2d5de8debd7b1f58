#include "forwarding/ui/CPort_Check.h"
#include "forwarding/ui/CRouter_Management.h"
#include "forwarding/ui/Ports_List.h"
#include "platform/BackgroundThreads.h"
#include "platform/ui/ReportList.h"
#include "tests/forwarding/HeldDeletionServer.h"
#include "tests/support/LoopbackHttpServer.h"
#include "tests/support/ModalCatcher.h"
#include "tests/support/SoapAnswers.h"

#include <QElapsedTimer>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <cstring>

using velmora::BackgroundThreads;
using velmora::test::HeldDeletionServer;
using velmora::test::LoopbackHttpServer;
using velmora::test::ModalCatcher;
using velmora::test::WaitFor;

namespace {

const char kService[] = "urn:schemas-upnp-org:service:WANIPConnection:1";

velmora::RouterEntryPtr RouterAt(const std::string& controlUrl)
{
    auto router = std::make_shared<RouterEntry>();
    router->urls.controlURL = strdup(controlUrl.c_str());
    std::strncpy(router->data.first.servicetype, kService,
                 sizeof router->data.first.servicetype - 1);
    return router;
}

// A slow router: holds its answer to the first request until release(), then
// answers it with one mapping entry; later requests get no answer, so a
// listing reads one row and stops.
std::vector<LoopbackHttpServer::Reply> SlowRouter()
{
    auto first =
        LoopbackHttpServer::Whole(velmora::test::EntryAnswer("80", "TCP", "127.0.0.1", "late"));
    first.waitForRelease = true;
    std::vector<LoopbackHttpServer::Reply> script{first};
    script.resize(9, LoopbackHttpServer::Whole(""));
    return script;
}

std::string ControlUrl(const LoopbackHttpServer& server)
{
    return server.url("/ctl/IPConn");
}

size_t RequestsSeen(const LoopbackHttpServer& server)
{
    return server.requests().size();
}

QPushButton* Button(QWidget* dialog, const char* name)
{
    return dialog->findChild<QPushButton*>(name);
}

} // namespace

class PortsListDialogTest : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { BackgroundThreads::instance().joinAll(); }

    void layoutThenRowsArriveAndTheListingFinishes()
    {
        LoopbackHttpServer server(SlowRouter());
        Ports_List dialog(RouterAt(ControlUrl(server)));
        QCOMPARE(dialog.windowTitle(), QString("Ports list in router"));
        auto* list = dialog.list();
        const QStringList headings{"Name", "Protocol", "Port", "Internal IP"};
        const int widths[] = {120, 80, 120, 120};
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(list->horizontalHeaderItem(i)->text(), headings[i]);
            QCOMPARE(list->columnWidth(i), widths[i]);
        }
        QVERIFY(!Button(&dialog, "portCheckButton")->isEnabled());
        QVERIFY(!Button(&dialog, "deleteFromRouterButton")->isEnabled());
        QVERIFY(Button(&dialog, "cancelButton")->isEnabled());
        QVERIFY(Button(&dialog, "cancelButton")->isDefault());
        QVERIFY(!dialog.listingFinished());

        server.release();
        QVERIFY(WaitFor([&] { return dialog.listingFinished(); }, 20000));
        QCOMPARE(list->rowCount(), 1);
        const QStringList row{"late", "TCP", "80", "127.0.0.1"};
        for (int i = 0; i < 4; ++i)
            QCOMPARE(list->cell(0, i), row[i]);
        list->selectRow(0);
        QVERIFY(Button(&dialog, "portCheckButton")->isEnabled());
        QVERIFY(Button(&dialog, "deleteFromRouterButton")->isEnabled());
    }

    void aRouterThatStallsIsGivenUpAndSaidSo()
    {
        LoopbackHttpServer server(SlowRouter());
        velmora::test::ModalCatcher catcher;
        Ports_List dialog(RouterAt(ControlUrl(server)));
        dialog.setStallLimit(300);
        dialog.show();
        QVERIFY(WaitFor([&] { return dialog.listingStalled(); }, 20000));
        QVERIFY(dialog.listingFinished());
        QVERIFY(WaitFor([&] { return !catcher.seen().isEmpty(); }, 5000));
        QCOMPARE(catcher.seen().first().title, QString("Velmora"));
        QCOMPARE(
            catcher.seen().first().text,
            QString("The router stopped sending its port mappings: the list is not complete."));
        // The abandoned request's late row never reaches the list.
        server.release();
        BackgroundThreads::instance().joinAll();
        QTest::qWait(50);
        QCOMPARE(dialog.list()->rowCount(), 0);
    }

    void closingWhileTheRouterIsSlowReturnsAtOnceAndTheRowNeverArrives()
    {
        LoopbackHttpServer server(SlowRouter());
        Ports_List dialog(RouterAt(ControlUrl(server)));
        dialog.show();
        QVERIFY(WaitFor([&] { return RequestsSeen(server) == 1; }, 20000));
        QTest::mouseClick(Button(&dialog, "cancelButton"), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        // The listing still waits for the router: the dialog did not wait for it.
        QCOMPARE(BackgroundThreads::instance().pending(), size_t{1});
        server.release();
        BackgroundThreads::instance().joinAll();
        QTest::qWait(50); // anything the thread posted would be delivered now
        QCOMPARE(dialog.list()->rowCount(), 0);
        QVERIFY(!dialog.listingFinished());
    }

    void destroyingTheDialogWhileListingIsSafe()
    {
        LoopbackHttpServer server(SlowRouter());
        {
            Ports_List dialog(RouterAt(ControlUrl(server)));
            QVERIFY(WaitFor([&] { return RequestsSeen(server) == 1; }, 20000));
        }
        server.release();
        BackgroundThreads::instance().joinAll();
        QTest::qWait(50);
    }

    void deletionsRunOffTheWindowOneAfterAnotherEachRowGoingWithItsAnswer()
    {
        HeldDeletionServer server;
        Ports_List dialog(RouterAt(server.controlUrl()));
        dialog.show();
        QVERIFY(WaitFor([&] { return dialog.listingFinished(); }, 20000));
        auto* list = dialog.list();
        QCOMPARE(list->rowCount(), 3);
        list->selectAll();
        QElapsedTimer clock;
        clock.start();
        QTest::mouseClick(Button(&dialog, "deleteFromRouterButton"), Qt::LeftButton);
        QVERIFY2(clock.elapsed() < 200, "the click waited for the router");
        QVERIFY(WaitFor([&] { return server.deletedPorts().size() == 1; }, 20000));
        QTest::qWait(100); // the window keeps answering; nothing else goes out meanwhile
        QCOMPARE(list->rowCount(), 3);
        QCOMPARE(server.deletedPorts().size(), size_t{1});
        for (int answered = 1; answered <= 3; ++answered) {
            server.releaseOne();
            QVERIFY(WaitFor([&] { return dialog.deletionsAnswered() == answered; }, 20000));
            QCOMPARE(list->rowCount(), 3 - answered);
        }
        QCOMPARE(server.deletedPorts(), (std::vector<std::string>{"1001", "1002", "1003"}));
        QVERIFY(!server.overlapped());
        QVERIFY(!Button(&dialog, "deleteFromRouterButton")->isEnabled());
    }

    // The rows chosen still go out, unwatched, and leave the monitor's watch.
    void cancelDuringDeletionsReturnsAtOnceAndLateAnswersTouchNothing()
    {
        HeldDeletionServer server;
        Ports_List dialog(RouterAt(server.controlUrl()));
        QStringList told;
        dialog.setDeletionListener([&](const std::string& protocol, uint16_t port) {
            told << QString::fromStdString(protocol) + " " + QString::number(port);
        });
        dialog.show();
        QVERIFY(WaitFor([&] { return dialog.listingFinished(); }, 20000));
        for (int row : {1, 2}) { // the second waits behind the first
            dialog.list()->selectRow(row);
            QTest::mouseClick(Button(&dialog, "deleteFromRouterButton"), Qt::LeftButton);
        }
        QCOMPARE(told, QStringList({"TCP 1002", "TCP 1003"}));
        QVERIFY(WaitFor([&] { return server.deletedPorts().size() == 1; }, 20000));
        QElapsedTimer clock;
        clock.start();
        QTest::mouseClick(Button(&dialog, "cancelButton"), Qt::LeftButton);
        QVERIFY(clock.elapsed() < 200);
        QVERIFY(!dialog.isVisible());
        server.releaseAll();
        BackgroundThreads::instance().joinAll();
        QTest::qWait(50);
        QCOMPARE(dialog.list()->rowCount(), 3);
        QCOMPARE(dialog.deletionsAnswered(), 0);
        QCOMPARE(server.deletedPorts(), (std::vector<std::string>{"1002", "1003"}));
    }

    // Both dialogs stop at one bound and say so; Router Management also says
    // so when an IGD:2 router refuses part of its list.
    void aListThatIsNotWholeSaysSo()
    {
        using velmora::test::EntryAnswer;
        const QString capped = "The router holds more port mappings than the list can show: "
                               "only the first 2 are listed.";
        const QString stalled =
            "The router stopped sending its port mappings: the list is not complete.";
        const std::string tcpList = velmora::test::ActionAnswer(
            "GetListOfPortMappings",
            "<NewPortListing><![CDATA[<p:PortMappingList xmlns:p=\"urn:schemas-upnp-org:gw:"
            "WANIPConnection\"><p:PortMappingEntry><p:NewExternalPort>80</p:NewExternalPort>"
            "<p:NewProtocol>TCP</p:NewProtocol></p:PortMappingEntry></p:PortMappingList>]]>"
            "</NewPortListing>");
        std::vector<LoopbackHttpServer::Reply> three;
        for (const char* port : {"80", "81", "82"})
            three.push_back(LoopbackHttpServer::Whole(EntryAnswer(port, "TCP", "127.0.0.1", "m")));
        const struct
        {
            bool management;
            const char* service;
            std::vector<LoopbackHttpServer::Reply> script;
            int rows;
            QString message;
        } cases[] = {
            {false, kService, three, 2, capped},
            {true, kService, three, 2, capped},
            {true,
             "urn:schemas-upnp-org:service:WANIPConnection:2",
             {LoopbackHttpServer::Whole(tcpList),
              LoopbackHttpServer::Whole(velmora::test::FaultAnswer(501, "ActionFailed"))},
             1,
             stalled},
        };
        for (const auto& c : cases) {
            LoopbackHttpServer server(c.script);
            auto router = RouterAt(ControlUrl(server));
            std::strncpy(router->data.first.servicetype, c.service,
                         sizeof router->data.first.servicetype - 1);
            ModalCatcher catcher;
            std::unique_ptr<QDialog> dialog;
            if (c.management)
                dialog = std::make_unique<CRouter_Management>(true, router, nullptr, nullptr, 2);
            else
                dialog = std::make_unique<Ports_List>(router, nullptr, 2);
            dialog->show();
            QVERIFY(WaitFor([&] { return catcher.seen().size() == 1; }, 20000));
            QCOMPARE(catcher.seen().first().text, c.message);
            QCOMPARE(dialog->findChild<QTableWidget*>()->rowCount(), c.rows);
        }
    }

    // Close does not take back a deletion that waits behind the listing.
    void aDeletionAskedForInRouterManagementOutlivesClose()
    {
        auto held = LoopbackHttpServer::Whole(velmora::test::FaultAnswer(713, "Invalid"));
        held.waitForRelease = true;
        LoopbackHttpServer server(
            {LoopbackHttpServer::Whole(velmora::test::EntryAnswer("1001", "TCP", "127.0.0.1", "a")),
             held, LoopbackHttpServer::Whole(velmora::test::ActionAnswer("DeletePortMapping"))});
        auto dialog =
            std::make_unique<CRouter_Management>(true, RouterAt(ControlUrl(server)), nullptr);
        std::string told;
        dialog->setDeletionListener([&](const std::string& protocol, uint16_t port) {
            told = protocol + std::to_string(port);
        });
        QVERIFY(WaitFor(
            [&] { return RequestsSeen(server) == 2 && dialog->list()->rowCount() == 1; }, 20000));
        dialog->list()->selectRow(0);
        QTest::mouseClick(Button(dialog.get(), "deleteButton"), Qt::LeftButton);
        QTest::mouseClick(Button(dialog.get(), "closeButton"), Qt::LeftButton);
        dialog.reset(); // as the main window's dialog goes once it has closed
        server.release();
        BackgroundThreads::instance().joinAll();
        QCOMPARE(told, std::string("TCP1001"));
        QVERIFY(WaitFor([&] { return RequestsSeen(server) == 3; }, 20000));
        QVERIFY(server.requests().back().find("#DeletePortMapping") != std::string::npos);
    }

    void aPortCheckPastItsDeadlineReportsWhatItDidNotLearn()
    {
        LoopbackHttpServer server(SlowRouter()); // holds the mapping request
        velmora::CPort_Check report;
        report.show();
        velmora::PortCheckOptions options;
        options.deadline = std::chrono::milliseconds(300);
        report.startCheck({ControlUrl(server), kService}, {"held", "TCP", 80, "127.0.0.1"},
                          options);
        QVERIFY(WaitFor([&] { return report.checkFinished(); }, 10000));
        const QString text = report.report();
        QVERIFY2(text.contains("1. The router's port mapping TCP 80: not read (the check ran out "
                               "of time)."),
                 qPrintable(text));
        QVERIFY(text.contains("2. The internal client from this computer: not probed"));
        server.release();
        BackgroundThreads::instance().joinAll();
        QTest::qWait(50);
        QCOMPARE(report.report(), text); // the late answer changes nothing
    }

    void portCheckLayoutAndClosingItWhileItRuns()
    {
        LoopbackHttpServer server(SlowRouter());
        velmora::CPort_Check report;
        QCOMPARE(report.windowTitle(), QString("Port Check"));
        QStringList labels;
        for (auto* label : report.findChildren<QLabel*>())
            labels << label->text();
        QVERIFY(labels.contains("Check Report: "));
        QVERIFY(labels.contains("Port State: "));
        QVERIFY(labels.contains(
            "1.open: port is opened\n\n2.closed: port is closed\n\n3.filtered: port is blocked "
            "by firewall or router\n\n4.unfiltered: port is not blocked, but not sure if it is "
            "opened\n\n5.open|filtered: port is opened or filtered\n\n6.closed|filtered: port is "
            "closed or filtered"));
        auto* edit = report.findChild<QPlainTextEdit*>("reportEdit");
        QVERIFY(edit->isReadOnly());
        QCOMPARE(edit->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QCOMPARE(edit->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);

        report.show();
        report.startCheck({ControlUrl(server), kService}, {"late", "TCP", 80, "127.0.0.1"});
        QVERIFY(WaitFor([&] { return RequestsSeen(server) == 1; }, 20000));
        QVERIFY(report.report().startsWith("Checking"));
        report.accept();
        QVERIFY(!report.checkFinished());
        QCOMPARE(BackgroundThreads::instance().pending(), size_t{1});
        server.release();
        BackgroundThreads::instance().joinAll();
        QTest::qWait(50);
        QVERIFY(report.report().startsWith("Checking"));
    }
};

QTEST_MAIN(PortsListDialogTest)
#include "PortsListDialogTest.moc"
