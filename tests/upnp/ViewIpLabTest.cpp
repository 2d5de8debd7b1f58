// The View IP dialog against the lab: miniupnpd with a version 1 and a
// version 2 description, a router without UPnP, the lab's scripted router
// answering a private external address, and one that never answers SOAP.

#include "platform/BackgroundThreads.h"
#include "tests/lab/LabEnvironment.h"
#include "tests/lab/LabProbes.h"
#include "tests/support/ModalCatcher.h"
#include "tests/support/QtTestApplication.h"
#include "tests/support/TempDir.h"
#include "upnp/core/DoubleNat.h"
#include "upnp/ui/CView_IP.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

namespace velmora::test {
namespace {

using namespace std::chrono_literals;
using lab::LabEnvironment;
using lab::RouterMode;
using lab::Side;

constexpr char kNoRouter[] =
    "Failed to find a router.Please make sure your router's UPnP option is enabled.If you still "
    "get this error,you should set your windows firewall or other firewall you installed,open "
    "port 1900 of UDP and port 2869 of TCP!";

size_t Count(const std::string& text, const std::string& part)
{
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

struct Shown
{
    QStringList localAddresses;
    QString selected;
    QString external;
    QStringList messages;
};

// Opens the dialog, waits for its lookup and the messages it brings, and
// reads what it shows.
Shown OpenViewIp(int waitMs = 60000)
{
    ModalCatcher catcher;
    CView_IP dialog;
    dialog.show();
    Shown shown;
    EXPECT_EQ(dialog.findChild<QLineEdit*>("externalIpEdit")->text(), QString("Fail to Find"));
    EXPECT_TRUE(WaitFor([&] { return dialog.lookupFinished(); }, waitMs));
    WaitFor([] { return false; }, 300); // a message box the answer brings
    auto* box = dialog.findChild<QComboBox*>("localIpBox");
    for (int i = 0; i < box->count(); ++i)
        shown.localAddresses << box->itemText(i);
    shown.selected = box->currentText();
    shown.external = dialog.findChild<QLineEdit*>("externalIpEdit")->text();
    shown.messages = catcher.texts();
    dialog.findChild<QPushButton*>("okButton")->click();
    EXPECT_FALSE(dialog.isVisible());
    return shown;
}

// The lab's scripted router in place of miniupnpd, answering every SOAP
// request with `soap` (or never, when empty).
struct ScriptedRouter
{
    explicit ScriptedRouter(const std::string& soap)
    {
        LabEnvironment& lab = LabEnvironment::Instance();
        lab.stopRouter();
        dir.write("desc.xml", lab::FakeDescription("Scripted Router"));
        std::vector<std::string> argv = {LabEnvironment::FakeIgdPath(),
                                         "--desc",
                                         dir.file("desc.xml"),
                                         "--http-port",
                                         "6000",
                                         "--seconds",
                                         "120"};
        if (soap.empty()) {
            argv.push_back("--silent-soap");
        } else {
            dir.write("soap.xml", soap);
            argv.insert(argv.end(), {"--soap", dir.file("soap.xml")});
        }
        process = std::make_unique<lab::BackgroundProcess>(
            lab.spawn(Side::Router, argv, dir.file("fake.out")));
        EXPECT_TRUE(process->waitForOutput("fake_igd ready", 10s)) << process->output();
    }
    ~ScriptedRouter()
    {
        process.reset();
        LabEnvironment::Instance().startRouter();
    }
    TempDir dir;
    std::unique_ptr<lab::BackgroundProcess> process;
};

TEST(ViewIpLab, ComputerAddressesAndTheRoutersExternalAddress)
{
    LabEnvironment& lab = LabEnvironment::Instance();
    const Shown shown = OpenViewIp();
    EXPECT_EQ(shown.localAddresses, QStringList({QString::fromStdString(lab.lanHost())}));
    EXPECT_EQ(shown.external, QString::fromStdString(lab.routerWan()));
    EXPECT_EQ(shown.messages, QStringList());
}

TEST(ViewIpLab, TwoAddressesAreSortedAndTheFirstFoundIsSelected)
{
    LabEnvironment& lab = LabEnvironment::Instance();
    ASSERT_TRUE(lab.addLanAddress("192.168.77.10/24"));
    const Shown shown = OpenViewIp();
    EXPECT_EQ(shown.localAddresses, QStringList({"192.168.77.10", "192.168.77.2"}));
    EXPECT_EQ(shown.selected, QString::fromStdString(lab.lanHost()));
    lab.exec(Side::Lan, {"ip", "addr", "del", "192.168.77.10/24", "dev", "eth0"});
}

TEST(ViewIpLab, VersionTwoDescription)
{
    LabEnvironment& lab = LabEnvironment::Instance();
    ASSERT_TRUE(lab.stopRouter());
    ASSERT_TRUE(lab.script({"router", lab.prefix(), "start", "--igd2"}).ok());
    const Shown shown = OpenViewIp();
    EXPECT_EQ(shown.external, QString::fromStdString(lab.routerWan()));
    EXPECT_EQ(shown.messages, QStringList());
    EXPECT_TRUE(lab.restartRouter());
}

TEST(ViewIpLab, UpnpOffSaysSoOnceAndKeepsFailToFind)
{
    LabEnvironment& lab = LabEnvironment::Instance();
    ASSERT_TRUE(lab.restartRouter(RouterMode::Natpmp));
    const Shown shown = OpenViewIp(90000);
    EXPECT_EQ(shown.messages, QStringList({kNoRouter}));
    EXPECT_EQ(shown.external, QString("Fail to Find"));
    EXPECT_TRUE(lab.restartRouter());
}

TEST(ViewIpLab, PrivateExternalAddressTellsOfAnotherNat)
{
    ScriptedRouter router(
        "<?xml version=\"1.0\"?><s:Envelope xmlns:s=\"http://schemas.xmlsoap.org/soap/envelope/\">"
        "<s:Body><u:GetExternalIPAddressResponse "
        "xmlns:u=\"urn:schemas-upnp-org:service:WANIPConnection:1\">"
        "<NewExternalIPAddress>100.64.7.9</NewExternalIPAddress>"
        "</u:GetExternalIPAddressResponse></s:Body></s:Envelope>");
    const Shown shown = OpenViewIp();
    EXPECT_EQ(shown.external, QString("100.64.7.9"));
    EXPECT_EQ(shown.messages,
              QStringList({QString::fromStdString(DoubleNatMessage("100.64.7.9"))}));
}

TEST(ViewIpLab, ClosesAtOnceWhileTheRouterNeverAnswers)
{
    ScriptedRouter router("");
    const auto held = [&router] { return Count(router.process->output(), "(held)"); };
    for (const char* button : {"okButton", "cancelButton"}) {
        ModalCatcher catcher;
        const size_t before = held();
        auto dialog = std::make_unique<CView_IP>();
        dialog->show();
        // The request for the external address is at the router, unanswered.
        ASSERT_TRUE(WaitFor([&] { return held() > before; }, 30000)) << router.process->output();
        dialog->findChild<QPushButton*>(button)->click();
        EXPECT_FALSE(dialog->isVisible()) << button;
        EXPECT_FALSE(dialog->lookupFinished()) << button;
        dialog.reset(); // the late answer has nowhere to go
        EXPECT_GE(BackgroundThreads::instance().pending(), size_t{1});
        BackgroundThreads::instance().joinAll(); // the request's own deadline ends it
        WaitFor([] { return false; }, 200);
        EXPECT_EQ(catcher.texts(), QStringList()) << button;
    }
}

} // namespace
} // namespace velmora::test
