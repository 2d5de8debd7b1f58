// The UPnP client against miniupnpc in the router lab, in the same run:
// medians of repeated runs of each action, printed as times and ratios.
// Built on the router lab's test main (needs root); prints, asserts nothing.
#include "bench/BenchTiming.h"
#include "tests/lab/LabEnvironment.h"
#include "tests/lab/LabProbes.h"
#include "upnp/core/UpnpClient.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <gtest/gtest.h>
#include <miniupnpc/miniupnpc.h>
#include <miniupnpc/upnpcommands.h>
#include <string>
#include <vector>

namespace velmora::lab {
namespace {

using bench::Clock;
using bench::Median;
constexpr int kRuns = 61;
constexpr int kListRuns = 7;
constexpr int kReadRuns = 301;
constexpr int kChainRuns = 5;
constexpr int kTableSize = 100;

double TimeMs(const std::function<void()>& run)
{
    const auto start = Clock::now();
    run();
    return bench::MsSince(start);
}

void Report(const char* what, const std::vector<double>& ours, const std::vector<double>& theirs,
            int runs)
{
    const double a = Median(ours);
    const double b = Median(theirs);
    std::printf("  %-34s ours %9.3f ms   miniupnpc %9.3f ms   ratio %6.3fx  (median of %d; "
                "fastest %.3f / %.3f ms)\n",
                what, a, b, a / b, runs, *std::min_element(ours.begin(), ours.end()),
                *std::min_element(theirs.begin(), theirs.end()));
    std::fflush(stdout);
}

class UpnpClientBench : public ::testing::Test
{
protected:
    LabEnvironment& lab = LabEnvironment::Instance();
};

TEST_F(UpnpClientBench, OursAgainstMiniupnpc)
{
    Igd igd;
    ASSERT_TRUE(igd.fromUrl(lab.descriptionUrl())) << igd.error;
    const char* control = igd.urls.controlURL;
    const char* service = igd.data.first.servicetype;
    const std::string host = lab.lanHost();

    UpnpClient client;
    client.init_client(3);
    client.setRouterInfo(RouterInfo::forService(control, service));

    std::printf("UPnP client against miniupnpc %s, router lab (miniupnpd)\n", MINIUPNPC_VERSION);
    std::vector<double> oursAdd, theirsAdd, oursDel, theirsDel, oursIp, theirsIp;
    for (int i = 0; i < kRuns; ++i) {
        bool ok = true;
        char ours[50] = {};
        char theirs[40] = {};
        auto runOurs = [&] {
            oursAdd.push_back(
                TimeMs([&] { ok &= client.AddPortMapping("bench", host, 40000, 40000, "TCP"); }));
            oursDel.push_back(TimeMs([&] { ok &= client.DeletePortMapping(40000, "TCP"); }));
            oursIp.push_back(TimeMs([&] { ok &= client.GetExternalIPAddress(ours, sizeof ours); }));
        };
        auto runTheirs = [&] {
            theirsAdd.push_back(TimeMs([&] {
                ok &= UPNP_AddPortMapping(control, service, "40001", "40001", host.c_str(), "bench",
                                          "TCP", nullptr, "0") == UPNPCOMMAND_SUCCESS;
            }));
            theirsDel.push_back(TimeMs([&] {
                ok &= UPNP_DeletePortMapping(control, service, "40001", "TCP", nullptr) ==
                      UPNPCOMMAND_SUCCESS;
            }));
            theirsIp.push_back(TimeMs([&] {
                ok &= UPNP_GetExternalIPAddress(control, service, theirs) == UPNPCOMMAND_SUCCESS;
            }));
        };
        // Alternate who goes first, so neither side gains from the other's warm-up.
        if (i % 2 == 0) {
            runOurs();
            runTheirs();
        } else {
            runTheirs();
            runOurs();
        }
        ASSERT_TRUE(ok) << client.last_error;
        ASSERT_STREQ(ours, theirs);
    }
    Report("AddPortMapping", oursAdd, theirsAdd, kRuns);
    Report("GetExternalIPAddress", oursIp, theirsIp, kRuns);
    // The read alone, many times (it is the cheapest action, so the noisiest).
    oursIp.clear();
    theirsIp.clear();
    for (int i = 0; i < kReadRuns; ++i) {
        char ours[50] = {};
        char theirs[40] = {};
        auto runOurs = [&] {
            oursIp.push_back(TimeMs([&] { client.GetExternalIPAddress(ours, sizeof ours); }));
        };
        auto runTheirs = [&] {
            theirsIp.push_back(
                TimeMs([&] { UPNP_GetExternalIPAddress(control, service, theirs); }));
        };
        if (i % 2 == 0) {
            runOurs();
            runTheirs();
        } else {
            runTheirs();
            runOurs();
        }
    }
    Report("GetExternalIPAddress, back to back", oursIp, theirsIp, kReadRuns);
    Report("DeletePortMapping", oursDel, theirsDel, kRuns);

    // A table of 100 mappings, read whole by each side.
    for (int i = 0; i < kTableSize; ++i) {
        const std::string port = std::to_string(41000 + i);
        ASSERT_EQ(UPNP_AddPortMapping(control, service, port.c_str(), port.c_str(), host.c_str(),
                                      ("entry " + port).c_str(), "TCP", nullptr, "0"),
                  UPNPCOMMAND_SUCCESS);
    }
    std::vector<double> oursList, theirsList;
    for (int run = 0; run < kListRuns; ++run) {
        oursList.push_back(TimeMs([&] { client.list_port_mappings(); }));
        ASSERT_EQ(client.mappings.size(), static_cast<size_t>(kTableSize));
        int read = 0;
        theirsList.push_back(TimeMs([&] {
            for (int i = 0;; ++i) {
                char ext[6], cl[16], in[6], proto[4], desc[80], en[6], rh[64], lease[16];
                if (UPNP_GetGenericPortMappingEntry(control, service, std::to_string(i).c_str(),
                                                    ext, cl, in, proto, desc, en, rh,
                                                    lease) != UPNPCOMMAND_SUCCESS)
                    break;
                ++read;
            }
        }));
        ASSERT_EQ(read, kTableSize);
    }
    Report("listing 100 mappings", oursList, theirsList, kListRuns);
    for (int i = 0; i < kTableSize; ++i)
        UPNP_DeletePortMapping(control, service, std::to_string(41000 + i).c_str(), "TCP", nullptr);

    // View-IP chain: ours from discovery to the external address, against
    // miniupnpc's discovery, IGD selection and external address.
    std::vector<double> oursChain, theirsChain;
    for (int run = 0; run < kChainRuns; ++run) {
        std::string oursAddress, theirsAddress;
        oursChain.push_back(TimeMs([&] {
            UpnpClient fresh;
            fresh.init_client(60);
            char address[50] = {};
            if (fresh.discovery() && fresh.get_description() && fresh.parser_description() &&
                fresh.GetExternalIPAddress(address, sizeof address))
                oursAddress = address;
        }));
        theirsChain.push_back(TimeMs([&] {
            int error = 0;
            UPNPDev* devices = upnpDiscover(2000, nullptr, nullptr, 0, 0, 2, &error);
            UPNPUrls urls{};
            IGDdatas data{};
            char lan[64] = {};
            if (devices && UPNP_GetValidIGD(devices, &urls, &data, lan, sizeof lan) > 0) {
                char address[40] = {};
                if (UPNP_GetExternalIPAddress(urls.controlURL, data.first.servicetype, address) ==
                    UPNPCOMMAND_SUCCESS)
                    theirsAddress = address;
                FreeUPNPUrls(&urls);
            }
            freeUPNPDevlist(devices);
        }));
        ASSERT_EQ(oursAddress, lab.routerWan());
        ASSERT_EQ(theirsAddress, lab.routerWan());
    }
    Report("View-IP chain (discovery..address)", oursChain, theirsChain, kChainRuns);
}

} // namespace
} // namespace velmora::lab
