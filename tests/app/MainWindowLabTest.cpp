// The tool menu's router entries as a user meets them: the main window scans
// the lab, then "Fetch Port Forwarding Entry in Router" and "View IP" are
// chosen, on a version 1 and a version 2 router (offscreen, inside the lab).
#include "app/ui/CquaymarkDlg.h"
#include "forwarding/ui/CRouter_Management.h"
#include "platform/BackgroundThreads.h"
#include "platform/ui/ReportList.h"
#include "tests/lab/LabEnvironment.h"
#include "tests/lab/LabProbes.h"
#include "tests/support/ModalCatcher.h"
#include "tests/support/QtTestApplication.h"
#include "tests/support/TempDir.h"
#include "upnp/ui/CView_IP.h"

#include <QLineEdit>
#include <QMenu>
#include <QToolButton>
#include <QUrl>
#include <filesystem>
#include <gtest/gtest.h>

namespace velmora::test {
namespace {

using lab::LabEnvironment;

struct Seen
{
    QStringList rows;
    QString external;
    QStringList messages;
};

Seen UseTheMenu(bool igd2)
{
    LabEnvironment& lab = LabEnvironment::Instance();
    EXPECT_TRUE(lab.stopRouter());
    std::vector<std::string> start = {"router", lab.prefix(), "start", "--mode", "upnp"};
    if (igd2)
        start.push_back("--igd2");
    EXPECT_TRUE(lab.script(start).ok());
    lab::Igd igd;
    EXPECT_TRUE(igd.fromUrl(lab.descriptionUrl())) << igd.error;
    EXPECT_EQ(igd.addMapping("TCP", 16001, lab.lanHost(), 16001, "menu test"), 0);

    TempDir dir;
    std::filesystem::create_directory(dir.path() + "log");
    CquaymarkDlg::Options options;
    options.programDir = dir.path();
    options.trayAvailable = false;
    options.openUrl = [](const QUrl&) {};
    CquaymarkDlg window(options);
    Seen seen;
    ModalCatcher catcher;
    catcher.answer = [&](QWidget* modal) {
        if (auto* management = qobject_cast<CRouter_Management*>(modal)) {
            WaitFor([&] { return management->listingFinished(); }, 30000);
            for (int r = 0; r < management->list()->rowCount(); ++r)
                seen.rows << management->list()->cell(r, 0) + "|" + management->list()->cell(r, 2);
            management->reject();
        } else if (auto* viewIp = qobject_cast<CView_IP*>(modal)) {
            WaitFor([&] { return viewIp->lookupFinished(); }, 60000);
            seen.external = viewIp->findChild<QLineEdit*>("externalIpEdit")->text();
            viewIp->accept();
        } else if (auto* dialog = qobject_cast<QDialog*>(modal)) {
            dialog->accept(); // a message box
        }
    };
    window.OnInitDialog(); // no config.xml: one message, then the scan starts
    EXPECT_TRUE(WaitFor([&] { return window.routerFound(); }, 60000));
    QMenu* menu = window.findChild<QToolButton*>("toolButton")->menu();
    menu->findChild<QAction*>("command32784")->trigger();
    menu->findChild<QAction*>("command32780")->trigger();
    for (const auto& s : catcher.seen()) {
        if (!s.text.isEmpty())
            seen.messages << s.text;
    }
    igd.deleteMapping("TCP", 16001);
    window.SaveConfigAndExit();
    BackgroundThreads::instance().joinAll();
    return seen;
}

TEST(MainWindowLab, RouterEntriesOfTheToolMenuOnVersionOneAndTwoRouters)
{
    LabEnvironment& lab = LabEnvironment::Instance();
    for (bool igd2 : {false, true}) {
        const Seen seen = UseTheMenu(igd2);
        EXPECT_EQ(seen.rows, QStringList({"menu test|16001"})) << igd2;
        EXPECT_EQ(seen.external, QString::fromStdString(lab.routerWan())) << igd2;
        EXPECT_EQ(seen.messages, QStringList({"invalid config file!"})) << igd2;
    }
    EXPECT_TRUE(lab.restartRouter());
}

} // namespace
} // namespace velmora::test
