// View IP from the click to the external address shown, and Router Management
// from the click to 100 rows shown, against `upnpc -s` and `upnpc -l` run in
// the same lab in the same run, on the version 1 and the version 2 lab router.
// Prints medians and ratios; asserts nothing about time.
#include "bench/BenchTiming.h"
#include "forwarding/ui/CRouter_Management.h"
#include "platform/BackgroundThreads.h"
#include "platform/ui/ReportList.h"
#include "tests/lab/LabEnvironment.h"
#include "tests/lab/LabProbes.h"
#include "tests/support/ModalCatcher.h"
#include "tests/support/QtTestApplication.h"
#include "upnp/ui/CView_IP.h"

#include <QApplication>
#include <QLineEdit>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace velmora::lab {
namespace {

using bench::Clock;
using bench::Median;
constexpr int kRuns = 7;
constexpr int kTableSize = 100;
constexpr int kFirstPort = 42000;

// Runs the event loop until `done` holds (at most 60 s); the time it took.
double UntilShown(const std::function<void()>& click, const std::function<bool()>& done)
{
    const auto start = Clock::now();
    click();
    while (!done() && bench::MsSince(start) < 60000)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    return done() ? bench::MsSince(start) : -1;
}

void Report(const char* what, const char* peer, const std::vector<double>& ours,
            const std::vector<double>& theirs)
{
    const double a = Median(ours);
    const double b = Median(theirs);
    std::printf("  %-44s ours %9.1f ms   %s %9.1f ms   ratio %6.3f  (median of %d; fastest "
                "%.1f / %.1f ms)\n",
                what, a, peer, b, a / b, kRuns, *std::min_element(ours.begin(), ours.end()),
                *std::min_element(theirs.begin(), theirs.end()));
    std::fflush(stdout);
}

std::vector<double> Peer(const std::vector<std::string>& argv, const std::string& expect)
{
    std::vector<double> times;
    for (int run = 0; run < kRuns; ++run) {
        const auto start = Clock::now();
        const ExecResult r = RunProgram(argv, std::chrono::seconds(60));
        times.push_back(bench::MsSince(start));
        EXPECT_NE(r.output.find(expect), std::string::npos) << r.output;
    }
    return times;
}

RouterEntryPtr UpnpRouter(const std::string& descriptionUrl)
{
    auto router = std::make_shared<RouterEntry>();
    char lan[64] = {};
    if (UPNP_GetIGDFromUrl(descriptionUrl.c_str(), &router->urls, &router->data, lan, sizeof lan) ==
        0)
        return nullptr;
    return router;
}

void RunFlavour(const char* name, bool igd2)
{
    LabEnvironment& lab = LabEnvironment::Instance();
    ASSERT_TRUE(lab.stopRouter());
    std::vector<std::string> start = {"router", lab.prefix(), "start"};
    if (igd2)
        start.push_back("--igd2");
    ASSERT_TRUE(lab.script(start).ok());
    std::printf("%s lab router (miniupnpd), %d runs each\n", name, kRuns);
    test::ModalCatcher catcher; // any message box would end up here

    const QString external = QString::fromStdString(lab.routerWan());
    std::vector<double> ours;
    for (int run = 0; run < kRuns; ++run) {
        std::unique_ptr<CView_IP> dialog;
        QLineEdit* edit = nullptr;
        ours.push_back(UntilShown(
            [&] {
                dialog = std::make_unique<CView_IP>();
                dialog->show();
                edit = dialog->findChild<QLineEdit*>("externalIpEdit");
            },
            [&] { return edit && edit->text() == external; }));
        dialog->accept();
    }
    Report("View IP: click .. external address shown", "upnpc -s", ours,
           Peer({"upnpc", "-s"}, "ExternalIPAddress = " + lab.routerWan()));

    Igd igd;
    ASSERT_TRUE(igd.fromUrl(lab.descriptionUrl())) << igd.error;
    for (int i = 0; i < kTableSize; ++i)
        ASSERT_EQ(igd.addMapping("TCP", kFirstPort + i, lab.lanHost(), kFirstPort + i, "bench"), 0);
    RouterEntryPtr router = UpnpRouter(lab.descriptionUrl());
    ASSERT_TRUE(router);
    std::printf("  (service %s)\n", router->data.first.servicetype);
    ours.clear();
    for (int run = 0; run < kRuns; ++run) {
        std::unique_ptr<CRouter_Management> dialog;
        ours.push_back(UntilShown(
            [&] {
                dialog = std::make_unique<CRouter_Management>(true, router, [] {});
                dialog->show();
            },
            [&] { return dialog->list()->rowCount() == kTableSize && dialog->listingFinished(); }));
        dialog->reject();
    }
    Report("Router Management: click .. 100 rows shown", "upnpc -l", ours,
           Peer({"upnpc", "-l"}, std::to_string(kFirstPort + kTableSize - 1)));
    for (int i = 0; i < kTableSize; ++i)
        igd.deleteMapping("TCP", kFirstPort + i);
    BackgroundThreads::instance().joinAll();
}

TEST(RouterDialogsBench, AgainstUpnpcInTheSameLab)
{
    if (RunProgram({"upnpc"}, std::chrono::seconds(5)).exitCode < 0) {
        std::printf("upnpc is not installed (Debian package miniupnpc): no peer to compare\n");
        return;
    }
    RunFlavour("IGD:1", false);
    RunFlavour("IGD:2", true);
    EXPECT_TRUE(LabEnvironment::Instance().restartRouter());
}

} // namespace
} // namespace velmora::lab
