// `velmora-cli list` of a router holding 100 mappings, from the start of the
// command to its last line, against `upnpc -l` run in the same lab in the same
// run, on the version 1 and the version 2 lab router: one run each. Prints the
// times and their ratio; asserts nothing about time.
#include "bench/BenchTiming.h"
#include "tests/lab/LabEnvironment.h"
#include "tests/lab/LabProbes.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace velmora::lab {
namespace {

constexpr int kTableSize = 100;
constexpr int kFirstPort = 42000;

// Milliseconds the program took; its output must hold `expect`.
double TimeOf(const std::vector<std::string>& argv, const std::string& expect)
{
    const auto start = bench::Clock::now();
    const ExecResult r = RunProgram(argv, std::chrono::seconds(60));
    const double ms = bench::MsSince(start);
    EXPECT_TRUE(r.ok()) << r.output;
    EXPECT_NE(r.output.find(expect), std::string::npos) << r.output;
    return ms;
}

void RunFlavour(const char* name, bool igd2)
{
    LabEnvironment& lab = LabEnvironment::Instance();
    ASSERT_TRUE(lab.stopRouter());
    std::vector<std::string> start = {"router", lab.prefix(), "start"};
    if (igd2)
        start.push_back("--igd2");
    ASSERT_TRUE(lab.script(start).ok());
    Igd igd;
    ASSERT_TRUE(igd.fromUrl(lab.descriptionUrl())) << igd.error;
    for (int i = 0; i < kTableSize; ++i)
        ASSERT_EQ(igd.addMapping("TCP", kFirstPort + i, lab.lanHost(), kFirstPort + i, "bench"), 0);

    const std::string last = std::to_string(kFirstPort + kTableSize - 1);
    const double theirs = TimeOf({"upnpc", "-l"}, last);
    const double ours = TimeOf({VELMORA_CLI_PATH, "list"}, last);
    std::printf("%s lab router (miniupnpd, service %s), %d mappings, one run each\n", name,
                igd.data.first.servicetype, kTableSize);
    std::printf("  velmora-cli list %8.1f ms   upnpc -l %8.1f ms   ratio %6.3f\n", ours, theirs,
                ours / theirs);
    std::fflush(stdout);
    for (int i = 0; i < kTableSize; ++i)
        igd.deleteMapping("TCP", kFirstPort + i);
}

TEST(CliBench, ListBesideUpnpcInTheSameLab)
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
