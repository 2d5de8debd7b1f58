// Router scan in the lab: from the start of a scan to the first router in
// the box, and to the scan's end, beside the time `upnpc -s` takes for its
// discovery, measured in the same run; the order the box ends in with a UPnP
// router and a NAT-PMP gateway; and the peak memory of reading a 300 MB
// description. Prints its figures; asserts nothing about time. Needs root:
// the lab's test main brings a lab up and moves this process into its LAN
// namespace.
#include "bench/BenchTiming.h"
#include "router/core/ScanBoard.h"
#include "router/core/UpnpDiscovery.h"
#include "router/core/UpnpSearch.h"
#include "router/ui/RouterScanController.h"
#include "tests/lab/LabEnvironment.h"
#include "tests/support/PeakMemory.h"
#include "tests/support/QtTestApplication.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <arpa/inet.h>
#include <atomic>
#include <cstdio>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace velmora::lab {
namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRuns = 7;

using bench::Median;
using test::PeakRssKb;

std::string Join(const std::vector<double>& values)
{
    std::string text;
    char one[32];
    for (double value : values) {
        std::snprintf(one, sizeof one, "%s%.3f", text.empty() ? "" : " ", value);
        text += one;
    }
    return text;
}

struct ScanFigures
{
    double firstListed = -1; // seconds; -1: nothing was listed
    double upnpListed = -1;  // the first line that is not "AirPort Station"
    double ended = 0;
    QStringList lines;
    int selected = -1;
};

// One scan through the window's controller.
ScanFigures TimeScan()
{
    QWidget top;
    auto* box = new QComboBox(&top);
    box->setEditable(true);
    auto* info = new QPushButton(&top);
    auto* rescan = new QPushButton(&top);
    auto* progress = new QProgressBar(&top);
    RouterScanController scan({box, info, rescan, progress, &top});
    ScanFigures figures;
    QElapsedTimer timer;
    QEventLoop loop;
    QObject::connect(&scan, &RouterScanController::routerListed, [&] {
        figures.firstListed = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    });
    QObject::connect(box->model(), &QAbstractItemModel::rowsInserted, [&] {
        for (int i = 0; i < box->count() && figures.upnpListed < 0; ++i)
            if (box->itemText(i) != "AirPort Station")
                figures.upnpListed = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    });
    QObject::connect(&scan, &RouterScanController::routersFound, &loop, &QEventLoop::quit);
    QObject::connect(&scan, &RouterScanController::routerNotFoundShown, &loop, &QEventLoop::quit);
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    timer.start();
    scan.startScan();
    loop.exec();
    figures.ended = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    for (int i = 0; i < box->count(); ++i)
        figures.lines << box->itemText(i);
    figures.selected = box->currentIndex();
    // The router-not-found dialog, when it came, goes with the window.
    return figures;
}

// `upnpc -s`: launch to its device list printed (the end of its discovery).
double TimeUpnpcDiscovery()
{
    const auto start = Clock::now();
    std::FILE* out = ::popen("stdbuf -oL upnpc -s 2>&1", "r");
    if (!out)
        return -1;
    double seconds = -1;
    char line[512];
    while (std::fgets(line, sizeof line, out)) {
        if (seconds < 0 && std::string(line).find("List of UPNP devices found") == 0)
            seconds = std::chrono::duration<double>(Clock::now() - start).count();
    }
    ::pclose(out);
    return seconds;
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

// A device on loopback that answers every GET with a 300 MB description,
// made up as it is sent.
class HugeDescriptionServer final
{
public:
    HugeDescriptionServer()
    {
        listen_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        ::bind(listen_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(listen_, 4);
        ::getsockname(listen_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this] { serve(); });
    }
    ~HugeDescriptionServer()
    {
        stop_ = true;
        ::shutdown(listen_, SHUT_RDWR);
        thread_.join();
        ::close(listen_);
    }
    int port() const { return port_; }

private:
    void serve()
    {
        while (!stop_) {
            const int fd = ::accept(listen_, nullptr, nullptr);
            if (fd < 0)
                return;
            constexpr size_t kSize = 300u * 1024 * 1024;
            // No length announced: the reader finds out how long it is by reading.
            const std::string head = "HTTP/1.1 200 OK\r\nContent-Type: text/xml\r\n\r\n<root>";
            ::send(fd, head.data(), head.size(), MSG_NOSIGNAL);
            const std::string block(64 * 1024, ' ');
            for (size_t sent = 0; sent < kSize && !stop_;) {
                const ssize_t n = ::send(fd, block.data(), block.size(), MSG_NOSIGNAL);
                if (n <= 0)
                    break;
                sent += static_cast<size_t>(n);
            }
            ::close(fd);
        }
    }

    int listen_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

// First: the process's peak memory is still that of its start.
TEST(ScanBench, PeakMemoryOfA300MbDescription)
{
    HugeDescriptionServer server;
    const std::string port = std::to_string(server.port());
    std::printf("== a 300 MB description on loopback ==\n");
    for (const std::string& location :
         {"http://localhost:" + port + "/d.xml", "http://2130706433:" + port + "/d.xml"}) {
        const long before = PeakRssKb();
        ScanBoard board(1);
        RouterEntryPtr router;
        std::string outcome = "not read (not on the address it answered from)";
        UpnpAnswers answers(board, [&](size_t, const std::string& url, const std::string& sender) {
            std::string lines;
            router = FetchUpnpRouter(url, sender, DeadlineAfter(kDescriptionDeadline), lines);
            outcome = router ? "router" : "read and given up";
        });
        const auto start = Clock::now();
        answers.take(0,
                     "HTTP/1.1 200 OK\r\nST: urn:schemas-upnp-org:device:InternetGatewayDevice:1"
                     "\r\nLOCATION: " +
                         location + "\r\n\r\n",
                     "127.0.0.1");
        std::printf("LOCATION %-38s %-48s %.3f s  peak RSS %ld KiB (start %ld KiB, +%ld)  "
                    "(goal < 60 MB)\n",
                    location.c_str(), outcome.c_str(),
                    std::chrono::duration<double>(Clock::now() - start).count(), PeakRssKb(),
                    before, PeakRssKb() - before);
    }
    std::fflush(stdout);
}

TEST(ScanBench, FirstRouterListedBesideUpnpcDiscovery)
{
    LabEnvironment& lab = LabEnvironment::Instance();
    ASSERT_TRUE(Restart(lab, RouterMode::Both));
    std::printf("\n== router answers UPnP and NAT-PMP (one run, alternating) ==\n");
    std::vector<double> listed, upnpListed, ended, upnpc;
    bool ordered = true;
    ScanFigures last;
    for (int run = 0; run < kRuns; ++run) {
        last = TimeScan();
        listed.push_back(last.firstListed);
        upnpListed.push_back(last.upnpListed);
        ended.push_back(last.ended);
        ordered = ordered &&
                  last.lines == QStringList({QString::fromStdString(lab.friendlyName()),
                                             "AirPort Station"}) &&
                  last.selected == 0;
        upnpc.push_back(TimeUpnpcDiscovery());
    }
    std::printf("start to first router listed   median %.3f s  (all: %s)\n", Median(listed),
                Join(listed).c_str());
    std::printf("start to UPnP router listed    median %.3f s  (all: %s)\n", Median(upnpListed),
                Join(upnpListed).c_str());
    std::printf("start to scan ended            median %.3f s\n", Median(ended));
    std::printf("upnpc -s discovery             median %.3f s  (all: %s)\n", Median(upnpc),
                Join(upnpc).c_str());
    std::printf(
        "ratio first listed / upnpc: %.3f, UPnP router listed / upnpc: %.3f  (goal <= 0.15; "
        "first listed goal <= 0.3 s)\n",
        Median(listed) / Median(upnpc), Median(upnpListed) / Median(upnpc));
    std::printf("box at the end: %s, line %d selected: %s\n",
                last.lines.join(" | ").toStdString().c_str(), last.selected,
                ordered ? "friendly name first, AirPort Station last, first line selected, "
                          "in every run"
                        : "NOT IN THE EXPECTED ORDER");
    std::fflush(stdout);
}

TEST(ScanBench, NothingAnswers)
{
    LabEnvironment& lab = LabEnvironment::Instance();
    ASSERT_TRUE(lab.stopRouter());
    std::printf("\n== nothing answers: start to the router-not-found dialog ==\n");
    std::vector<double> ended;
    for (int run = 0; run < 3; ++run)
        ended.push_back(TimeScan().ended);
    std::printf("dialog shown                   median %.3f s  (listening time %.1f s)\n",
                Median(ended), static_cast<double>(kUpnpListenTime.count()) / 1000);
    std::fflush(stdout);
    ASSERT_TRUE(Restart(lab, RouterMode::Both));
}

} // namespace
} // namespace velmora::lab
