// Router scan time in the lab: from the start of a scan to the router box
// filled, with one LAN address and with two, against rounds run one after
// another (about two seconds each). Prints its figures; asserts nothing about
// time. Needs root: the lab's test main brings a lab up and moves this process
// into its LAN namespace.
#include "platform/NetworkInterfaces.h"
#include "router/core/NatPmpProbe.h"
#include "router/core/RouterScan.h"
#include "router/core/UpnpDiscovery.h"
#include "router/ui/RouterScanController.h"
#include "tests/support/QtTestApplication.h"
#include "tests/lab/LabEnvironment.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <gtest/gtest.h>

namespace velmora::lab {
namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRuns = 5;

struct Figures
{
    std::vector<double> seconds;
    size_t routers = 0;

    double median() const
    {
        std::vector<double> s = seconds;
        std::sort(s.begin(), s.end());
        return s.empty() ? 0 : s[s.size() / 2];
    }
    double min() const { return *std::min_element(seconds.begin(), seconds.end()); }
    double max() const { return *std::max_element(seconds.begin(), seconds.end()); }
};

// Start of the scan to the router box filled, through the window's controller.
double TimeBoxFilled(size_t* routers)
{
    QWidget top;
    auto* box = new QComboBox(&top);
    box->setEditable(true);
    auto* info = new QPushButton(&top);
    auto* rescan = new QPushButton(&top);
    auto* progress = new QProgressBar(&top);
    RouterScanController scan({box, info, rescan, progress, &top});
    QEventLoop loop;
    QObject::connect(&scan, &RouterScanController::routersFound, &loop, &QEventLoop::quit);
    QObject::connect(&scan, &RouterScanController::routerNotFoundShown, &loop, &QEventLoop::quit);
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    QElapsedTimer timer;
    timer.start();
    scan.startScan();
    loop.exec();
    double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    *routers = static_cast<size_t>(box->count());
    return seconds;
}

// The same scan with the rounds and the probe one after another.
double TimeOneAfterAnother(size_t* routers)
{
    auto start = Clock::now();
    RouterList list;
    std::string lines;
    MergeUpnpRound(list, DiscoverUpnpRouters(""), lines);
    for (const std::string& address : LocalIPv4Addresses())
        MergeUpnpRound(list, DiscoverUpnpRouters(address), lines);
    if (RouterEntryPtr gateway = ProbeNatPmpRouter())
        list.push_back(gateway);
    *routers = list.size();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

Figures Measure(double (*scan)(size_t*), int runs)
{
    Figures f;
    for (int i = 0; i < runs; ++i)
        f.seconds.push_back(scan(&f.routers));
    return f;
}

void Print(const char* name, const Figures& f, size_t addresses)
{
    std::printf("%-34s addresses %zu  rounds %zu  routers %zu  median %.3f s  min %.3f  max %.3f"
                "  (%zu runs)\n",
                name, addresses, addresses + 1, f.routers, f.median(), f.min(), f.max(),
                f.seconds.size());
    std::fflush(stdout);
}

bool Restart(LabEnvironment& lab, RouterMode mode)
{
    for (int attempt = 0; attempt < 3; ++attempt) {
        auto result =
            lab.script({"router", lab.prefix(), "restart", "--mode", RouterModeName(mode)});
        lab.refreshInfo();
        if (result.ok())
            return true;
    }
    return false;
}

void RunCase(LabEnvironment& lab, RouterMode mode, const char* label)
{
    ASSERT_TRUE(Restart(lab, mode));
    std::printf("\n== router answers %s ==\n", label);
    auto one = Measure(TimeBoxFilled, kRuns);
    Print("box filled (rounds together)", one, LocalIPv4Addresses().size());
    auto oneSerial = Measure(TimeOneAfterAnother, 2);
    Print("one after another", oneSerial, LocalIPv4Addresses().size());
    if (LocalIPv4Addresses().size() < 2) {
        ASSERT_TRUE(lab.addLanAddress("192.168.77.3/24"));
    }
    auto two = Measure(TimeBoxFilled, kRuns);
    Print("box filled (rounds together)", two, LocalIPv4Addresses().size());
    auto twoSerial = Measure(TimeOneAfterAnother, 2);
    Print("one after another", twoSerial, LocalIPv4Addresses().size());
    std::printf("ratio two addresses / one (box filled): %.3f  (goal <= 1.1)\n",
                two.median() / one.median());
    std::printf("ratio together / one after another: one address %.3f, two addresses %.3f\n",
                one.median() / oneSerial.median(), two.median() / twoSerial.median());
    std::fflush(stdout);
}

// The router drops NAT-PMP without an answer (no port-unreachable either).
bool DropNatPmp(LabEnvironment& lab, bool drop)
{
    std::vector<std::string> argv =
        drop
            ? std::vector<std::string>{"nft", "add table inet benchdrop ; add chain inet benchdrop "
                                              "input { type filter hook input priority -10 ; } ; "
                                              "add rule inet benchdrop input udp dport 5351 drop"}
            : std::vector<std::string>{"nft", "delete table inet benchdrop"};
    return lab.exec(Side::Router, argv).ok();
}

TEST(ScanBench, BoxFilledWithOneAndTwoAddresses)
{
    LabEnvironment& lab = LabEnvironment::Instance();
    RunCase(lab, RouterMode::Both, "UPnP and NAT-PMP");
    // The second address stays for the rest of the run.
    ASSERT_TRUE(Restart(lab, RouterMode::Upnp));
    ASSERT_TRUE(DropNatPmp(lab, true));
    std::printf("\n== router answers UPnP only, drops NAT-PMP silently ==\n");
    auto two = Measure(TimeBoxFilled, kRuns);
    Print("box filled (rounds together)", two, LocalIPv4Addresses().size());
    auto twoSerial = Measure(TimeOneAfterAnother, 1);
    Print("one after another", twoSerial, LocalIPv4Addresses().size());
    ASSERT_TRUE(DropNatPmp(lab, false));

    ASSERT_TRUE(lab.stopRouter());
    std::printf("\n== nothing answers: start to the router-not-found dialog ==\n");
    auto none = Measure(TimeBoxFilled, 2);
    Print("dialog shown (rounds together)", none, LocalIPv4Addresses().size());
    auto noneSerial = Measure(TimeOneAfterAnother, 1);
    Print("one after another", noneSerial, LocalIPv4Addresses().size());
}

} // namespace
} // namespace velmora::lab
