#include "forwarding/core/MappingInstaller.h"

#include <gtest/gtest.h>
#include <map>
#include <set>

using namespace velmora;

namespace {

ForwardingEntry Entry(const char* name, const char* protocol, const char* ports,
                      const char* client = "192.168.77.2")
{
    auto entry = ZeroedRecord<ForwardingEntry>();
    SetField(entry.name, name);
    SetField(entry.protocol, protocol);
    SetField(entry.listen_port, ports);
    SetField(entry.destination_ip, client);
    return entry;
}

// A router in memory: accepts, refuses, ignores or silently drops writes.
class FakeRouter final : public MappingWriter
{
public:
    std::vector<MappingRequest> written;
    std::set<uint16_t> refuse, drop, silent;
    std::map<std::pair<uint16_t, std::string>, std::string> table;
    int reads = 0;
    std::atomic<bool> cancel{false};
    size_t cancelAfter = 0; // writes; 0: never
    std::chrono::steady_clock::time_point now{};
    std::chrono::steady_clock::duration silentCost{}; // how long a silent write waits

    Outcome write(const MappingRequest& r) override
    {
        written.push_back(r);
        if (written.size() == cancelAfter)
            cancel = true;
        if (silent.count(r.port)) {
            now += silentCost;
            return Outcome::Unreachable;
        }
        if (refuse.count(r.port))
            return Outcome::Refused;
        if (!drop.count(r.port))
            table[{r.port, r.protocol}] = r.internalClient;
        return Outcome::Written;
    }
    bool holds(const MappingRequest& r) override
    {
        ++reads;
        auto it = table.find({r.port, r.protocol});
        return it != table.end() && it->second == r.internalClient;
    }
    InstallResult install(std::vector<ForwardingEntry> entries, InstallOptions options = {})
    {
        return InstallMappings(PlanMappings(entries), *this, cancel, {}, options);
    }
};

} // namespace

TEST(PlanMappings, InvalidPortsCountOncePerProtocolAndAreNeverSent)
{
    auto plan = PlanMappings({Entry("a", "Both", "70000,0,22"), Entry("b", "UDP", "65536")});
    ASSERT_EQ(plan.requests.size(), 2u);
    EXPECT_EQ(plan.requests[0].port, 22);
    EXPECT_EQ(plan.invalidPorts, 2 * 2 + 1);
}

// One request per port and protocol with the entry's values, in order; then
// each is read back.
TEST(InstallMappings, AllWrittenAndReadBack)
{
    FakeRouter router;
    std::vector<std::pair<size_t, size_t>> steps;
    auto result = InstallMappings(
        PlanMappings({Entry("web", "TCP", "80,443-447,8080"), Entry("game", "Both", "3074"),
                      Entry("b", "UDP", "2", "10.0.0.9")}),
        router, router.cancel, [&](size_t d, size_t t) {
            steps.push_back({d, t});
        });
    EXPECT_EQ(result.requested, 10u);
    EXPECT_EQ(result.installed, 10u);
    EXPECT_EQ(result.failed, 0);
    EXPECT_FALSE(result.cancelled);
    EXPECT_EQ(router.reads, 10);
    ASSERT_FALSE(steps.empty());
    EXPECT_EQ(steps.back(), std::make_pair(size_t{20}, size_t{20}));

    const auto& sent = router.written;
    ASSERT_EQ(sent.size(), 10u);
    const uint16_t webPorts[] = {80, 443, 444, 445, 446, 447, 8080};
    for (size_t i = 0; i < 7; ++i) {
        EXPECT_EQ(sent[i].port, webPorts[i]);
        EXPECT_EQ(sent[i].protocol, "TCP");
        EXPECT_EQ(sent[i].description, "web");
        EXPECT_EQ(sent[i].internalClient, "192.168.77.2");
    }
    // "Both" is sent as TCP and UDP.
    EXPECT_EQ(sent[7].protocol, "TCP");
    EXPECT_EQ(sent[8].protocol, "UDP");
    EXPECT_EQ(sent[8].port, 3074);
    EXPECT_EQ(sent[9].description, "b");
    EXPECT_EQ(sent[9].internalClient, "10.0.0.9");
}

TEST(InstallMappings, AWriteTheRouterAcceptedButDidNotKeepFails)
{
    FakeRouter router;
    router.drop = {443, 80};
    router.table[{80, "TCP"}] = "192.168.77.9"; // held for another client
    auto result = router.install({Entry("web", "TCP", "80,443,8080")});
    EXPECT_EQ(result.installed, 1u);
    EXPECT_EQ(result.failed, 2);
}

TEST(InstallMappings, RefusalsAndInvalidPortsAreFailures)
{
    FakeRouter router;
    router.refuse = {22};
    auto result = router.install({Entry("x", "TCP", "22,23,99999")});
    EXPECT_EQ(result.installed, 1u);
    EXPECT_EQ(result.failed, 2);
    ASSERT_EQ(router.written.size(), 2u); // 99999 is never sent, not even wrapped
    EXPECT_EQ(router.written[0].port, 22);
    EXPECT_EQ(router.written[1].port, 23);
}

// Three unanswered requests in a row, or 10 s of them, and the rest are given
// up: a request that ran to a 30 s deadline is not followed by another.
TEST(InstallMappings, StopsSendingAfterTheRouterStoppedAnswering)
{
    const std::pair<int, size_t> cases[] = {{0, 3}, {4, 3}, {5, 2}, {30, 1}}; // s each, sent
    for (const auto& [seconds, sent] : cases) {
        FakeRouter router;
        for (uint16_t p = 1; p <= 10; ++p)
            router.silent.insert(p);
        router.silentCost = std::chrono::seconds(seconds);
        InstallOptions options;
        options.clock = [&router] { return router.now; };
        auto result = router.install({Entry("x", "TCP", "1-10")}, options);
        EXPECT_EQ(router.written.size(), sent) << seconds;
        EXPECT_EQ(result.failed, 10);
        EXPECT_EQ(result.installed, 0u);
    }
}

TEST(InstallMappings, CancelStopsBetweenRequestsWithoutReadingBack)
{
    FakeRouter router;
    router.cancelAfter = 2;
    auto result = router.install({Entry("x", "TCP", "1-10")});
    EXPECT_TRUE(result.cancelled);
    EXPECT_EQ(router.written.size(), 2u);
    EXPECT_EQ(router.reads, 0);
}

TEST(InstallMappings, WhatIsLeftAtTheDeadlineFails)
{
    FakeRouter router;
    InstallOptions options;
    options.budget = std::chrono::steady_clock::duration::zero();
    auto result = router.install({Entry("x", "UDP", "1-4")}, options);
    EXPECT_TRUE(result.timedOut);
    EXPECT_EQ(result.failed, 4);
    EXPECT_TRUE(router.written.empty());
}
