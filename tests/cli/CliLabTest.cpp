// velmora-cli in the router lab, run as the user runs it: every command
// against miniupnpd as an IGD:1 and an IGD:2 router and against a NAT-PMP-only
// gateway; "keep" putting the mappings back after the router restarts and
// ending on SIGTERM; and a router that never answers holding no command past
// its deadline.

#include "tests/forwarding/LabRouterEntry.h"
#include "tests/lab/LabEnvironment.h"
#include "tests/lab/LabProbes.h"
#include "tests/support/TempDir.h"

#include <chrono>
#include <filesystem>
#include <future>
#include <gtest/gtest.h>
#include <thread>

namespace velmora::test {
namespace {

using lab::LabEnvironment;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

struct Outcome
{
    int status = -1;
    std::string out;
    std::string err;
};

// The lab router as each kind of router the commands meet: how to start it, and the kind
// "scan" says.
const struct
{
    std::vector<std::string> start;
    std::string kind;
} kRouters[] = {{{"--mode", "upnp"}, "UPnP IGD:1"},
                {{"--mode", "upnp", "--igd2"}, "UPnP IGD:2"},
                {{"--mode", "natpmp"}, "NAT-PMP"}};

long long MsSince(Clock::time_point start)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

class CliLab : public ::testing::Test
{
protected:
    LabEnvironment& lab = LabEnvironment::Instance();
    TempDir dir;
    std::string cli = dir.file("velmora-cli"); // a portable copy: its files beside it

    void SetUp() override
    {
        std::filesystem::copy_file(VELMORA_CLI_PATH, cli);
        const std::string lan = lab.lanHost();
        dir.write("config.xml",
                  "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n<mappings auto_startup=\"0\" "
                  "monitor_router=\"1\" >\r\n<triggerings>\r\n<trigger name=\"chat\" "
                  "auto_start=\"N\" protocol=\"UDP\" trigger_address=\"11.22.33.100\" "
                  "trigger_port=\"6000\" trigger_port_end=\"6001\" frequence=\"1000\" >\r\n"
                  "</trigger>\r\n</triggerings>\r\n<forwardings>\r\n<forwarding name=\"game\" "
                  "protocol=\"TCP\" listen_port=\"15100-15101\" destination_ip=\"" +
                      lan +
                      "\" type=\"Y\" >\r\n</forwarding>\r\n<forwarding name=\"web\" "
                      "protocol=\"TCP\" listen_port=\"15200\" destination_ip=\"" +
                      lan + "\" type=\"\" >\r\n</forwarding>\r\n</forwardings>\r\n</mappings>\r\n");
    }
    void TearDown() override
    {
        EXPECT_TRUE(lab.setRouterPcp(true));
        RestoreCleanLabRouter(lab);
    }

    Outcome run(const std::vector<std::string>& arguments, const std::string& errFile = "err")
    {
        std::vector<std::string> argv{"/bin/sh", "-c",
                                      "exec \"$0\" \"$@\" 2>'" + dir.file(errFile) + "'", cli};
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        const lab::ExecResult r = lab::RunProgram(argv, 90s);
        return {r.timedOut ? -1 : r.exitCode, r.output, dir.read(errFile)};
    }
    std::string clientOf(const std::string& protocol, int port) const
    {
        for (const auto& m : lab.routerMappings()) {
            if (m.protocol == protocol && m.externalPort == port)
                return m.internalAddress;
        }
        return "";
    }
    void startRouter(const std::vector<std::string>& options)
    {
        ASSERT_TRUE(lab.stopRouter());
        std::vector<std::string> start{"router", lab.prefix(), "start"};
        start.insert(start.end(), options.begin(), options.end());
        ASSERT_TRUE(lab.script(start).ok());
    }
};

TEST_F(CliLab, EveryCommandOnVersionOneAndTwoRoutersAndANatPmpGateway)
{
    const std::string lan = lab.lanHost();
    for (const auto& router : kRouters) {
        SCOPED_TRACE(router.kind);
        startRouter(router.start);
        const bool upnp = router.kind != "NAT-PMP";
        const std::string name = upnp ? lab.friendlyName() : "AirPort Station";
        const Outcome scan = run({"scan"});
        EXPECT_EQ(scan.status, 0) << scan.err;
        EXPECT_EQ(scan.out, name + " (" + router.kind + ", " + lab.routerLan() + ")\n");
        EXPECT_NE(run({"scan", "--json"}).out.find("\"kind\":\"" + router.kind + "\""),
                  std::string::npos);

        if (upnp) {
            const Outcome info = run({"info", "--router", name});
            EXPECT_EQ(info.status, 0) << info.err;
            EXPECT_NE(info.out.find("ExternalIPAddress = " + lab.routerWan()), std::string::npos);
        } else {
            // A gateway that speaks PCP has its offer to tell; then it drops PCP, and the rest
            // runs against a NAT-PMP-only gateway.
            const Outcome offer = run({"info", "--router", name});
            EXPECT_EQ(offer.status, 0) << offer.err;
            EXPECT_EQ(offer.out, "IPv4 port mappings: PCP\nIPv6 pinholes: not offered\n");
            ASSERT_TRUE(lab.setRouterPcp(false));
            const Outcome info = run({"info", "--router", name});
            EXPECT_EQ(info.status, 1);
            EXPECT_EQ(info.err, "velmora-cli: Apple router does not support view info.\n");
        }
        const Outcome ip = run({"ip", "--router", lab.routerLan()});
        EXPECT_EQ(ip.status, 0) << ip.err;
        EXPECT_EQ(ip.out, "Local IP: " + lan + "\nExternal IP: " + lab.routerWan() + "\n");

        const Outcome add = run({"add", "web"});
        EXPECT_EQ(add.status, 0) << add.err;
        EXPECT_EQ(add.out, "Added \"web\": TCP 15200.\n");
        EXPECT_EQ(clientOf("tcp", 15200), lan);
        const Outcome list = run({"list", "--json"});
        EXPECT_EQ(list.status, upnp ? 0 : 1);
        if (upnp)
            EXPECT_EQ(list.out, "[{\"name\":\"web\",\"protocol\":\"TCP\",\"external_port\":15200,"
                                "\"internal_client\":\"" +
                                    lan + "\",\"internal_port\":15200}]\n");
        else
            EXPECT_EQ(list.err,
                      "velmora-cli: Apple router does not support view ports in router.\n");
        const Outcome removed = run({"delete", "tcp", "15200"});
        EXPECT_EQ(removed.status, 0) << removed.err;
        EXPECT_EQ(clientOf("tcp", 15200), "");
        if (upnp) {
            EXPECT_EQ(run({"list"}).out, "Name  Protocol  Port  Internal IP\n");
        }
    }
}

TEST_F(CliLab, EntriesAndCommandLinesThatCannotRun)
{
    const Outcome entries = run({"entries"});
    EXPECT_EQ(entries.status, 0);
    EXPECT_NE(entries.out.find("\nweb   TCP       15200        " + lab.lanHost() + "\n"),
              std::string::npos)
        << entries.out;
    EXPECT_NE(run({"entries", "--json"}).out.find("{\"name\":\"chat\",\"auto_start\":\"N\""),
              std::string::npos);
    const std::vector<std::vector<std::string>> kWrong = {{},
                                                          {"bogus"},
                                                          {"add"},
                                                          {"add", "nosuch"},
                                                          {"add", "web", "--all"},
                                                          {"delete", "TCP"},
                                                          {"delete", "SCTP", "80"},
                                                          {"delete", "TCP", "65536"},
                                                          {"entries", "--router", "x"},
                                                          {"list", "--router"}};
    for (const auto& line : kWrong) {
        const Outcome wrong = run(line);
        EXPECT_EQ(wrong.status, 2) << ::testing::PrintToString(line);
        EXPECT_EQ(std::count(wrong.err.begin(), wrong.err.end(), '\n'), 1) << wrong.err;
    }
}

TEST_F(CliLab, KeepAddsTheEntriesPutsThemBackAfterARestartAndEndsOnSigterm)
{
    auto waitFor = [&](const std::function<bool()>& done, std::chrono::seconds limit) {
        for (const auto end = Clock::now() + limit; !done() && Clock::now() < end;)
            std::this_thread::sleep_for(50ms);
        return done();
    };
    const std::string added =
        "Auto add: port forwarding \"game\": TCP 15100-15101 has been added into the router.";
    const std::string readded = "Port forwarding \"game\": TCP 15100-15101 was missing in the "
                                "router and has been added again.";
    for (const auto& router : kRouters) {
        SCOPED_TRACE(router.kind);
        startRouter(router.start);
        lab::BackgroundProcess keep({cli, "keep"}, dir.file("keep " + router.kind));
        ASSERT_TRUE(waitFor([&] { return keep.output().find(added) != std::string::npos; }, 40s))
            << keep.output();
        EXPECT_EQ(clientOf("tcp", 15101), lab.lanHost());
        if (router.kind != "NAT-PMP") { // a gateway's restart shows at its next probe, in 30 s
            // A router that starts afresh: its NAT rules and lease file gone.
            ASSERT_TRUE(lab.stopRouter());
            std::filesystem::remove(lab.leaseFile());
            for (const char* chain : {"miniupnpd", "prerouting_miniupnpd", "postrouting_miniupnpd"})
                lab.exec(lab::Side::Router, {"nft", "flush", "chain", "inet", "filter", chain});
            ASSERT_EQ(clientOf("tcp", 15100), "");
            startRouter(router.start);
            const auto back = Clock::now();
            EXPECT_TRUE(waitFor([&] { return clientOf("tcp", 15100) == lab.lanHost(); }, 30s));
            std::printf("figure keep %s: mappings back %lld ms after the router's return\n",
                        router.kind.c_str(), MsSince(back));
            EXPECT_TRUE(
                waitFor([&] { return keep.output().find(readded) != std::string::npos; }, 5s));
            EXPECT_NE(dir.read("log/velmora.log").find(">:" + readded + "\n"), std::string::npos);
        }
        const auto stopping = Clock::now();
        EXPECT_EQ(keep.stop(), 0);
        EXPECT_LT(MsSince(stopping), 1000);
        RestoreCleanLabRouter(lab);
    }
}

TEST_F(CliLab, ARouterThatNeverAnswersHoldsNoCommandPastItsDeadline)
{
    ASSERT_TRUE(lab.stopRouter());
    dir.write("desc.xml", lab::FakeDescription("Silent Router"));
    lab::BackgroundProcess fake =
        lab.spawn(lab::Side::Router,
                  {LabEnvironment::FakeIgdPath(), "--desc", dir.file("desc.xml"), "--seconds",
                   "300", "--hostile", "silent", "--hostile-on", "soap"},
                  dir.file("fake.log"));
    ASSERT_TRUE(fake.waitForOutput("fake_igd ready", 10s)) << fake.output();
    const std::vector<std::vector<std::string>> kCommands = {
        {"info"}, {"ip"}, {"list"}, {"add", "web"}, {"delete", "TCP", "15200"}};
    std::vector<std::future<std::pair<Outcome, long long>>> runs;
    for (size_t i = 0; i < kCommands.size(); ++i) {
        runs.push_back(std::async(std::launch::async, [&, i] {
            const auto start = Clock::now();
            Outcome outcome = run(kCommands[i], "err" + std::to_string(i));
            return std::make_pair(outcome, MsSince(start));
        }));
    }
    for (size_t i = 0; i < runs.size(); ++i) {
        const auto [outcome, ms] = runs[i].get();
        SCOPED_TRACE(kCommands[i][0]);
        std::printf("figure silent-router %-7s status=%d time_ms=%lld %s", kCommands[i][0].c_str(),
                    outcome.status, ms, outcome.err.c_str());
        EXPECT_EQ(outcome.status, 1);
        EXPECT_EQ(std::count(outcome.err.begin(), outcome.err.end(), '\n'), 1) << outcome.err;
        // The search, then the command's own deadlines (20 s for an answer; a write and its
        // read-back for add, as the window's Add into Router), with a margin for a busy machine.
        EXPECT_LT(ms, 45000);
    }
    fake.stop();
    ASSERT_TRUE(lab.startRouter());
}

} // namespace
} // namespace velmora::test
