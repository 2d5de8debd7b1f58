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
    std::function<void()> onWrite;

    Outcome write(const MappingRequest& r) override
    {
        written.push_back(r);
        if (onWrite)
            onWrite();
        if (silent.count(r.port))
            return Outcome::Unreachable;
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
};

} // namespace

TEST(PlanMappings, OneRequestPerPortAndProtocolWithTheEntrysValues)
{
    auto plan = PlanMappings({Entry("web", "TCP", "80,443-447,8080")});
    ASSERT_EQ(plan.requests.size(), 7u);
    EXPECT_EQ(plan.invalidPorts, 0);
    for (const auto& r : plan.requests) {
        EXPECT_EQ(r.protocol, "TCP");
        EXPECT_EQ(r.description, "web");
        EXPECT_EQ(r.internalClient, "192.168.77.2");
    }
    EXPECT_EQ(plan.requests[1].port, 443);
    EXPECT_EQ(plan.requests[6].port, 8080);
}

TEST(PlanMappings, BothIsSentAsTcpAndUdp)
{
    auto plan = PlanMappings({Entry("game", "Both", "3074")});
    ASSERT_EQ(plan.requests.size(), 2u);
    EXPECT_EQ(plan.requests[0].protocol, "TCP");
    EXPECT_EQ(plan.requests[1].protocol, "UDP");
    EXPECT_EQ(plan.requests[1].port, 3074);
}

TEST(PlanMappings, InvalidPortsCountOncePerProtocolAndAreNeverSent)
{
    auto plan = PlanMappings({Entry("a", "Both", "70000,0,22"), Entry("b", "UDP", "65536")});
    ASSERT_EQ(plan.requests.size(), 2u);
    EXPECT_EQ(plan.requests[0].port, 22);
    EXPECT_EQ(plan.invalidPorts, 2 * 2 + 1);
}

TEST(PlanMappings, SeveralEntriesInOrder)
{
    auto plan = PlanMappings({Entry("a", "TCP", "1"), Entry("b", "UDP", "2", "10.0.0.9")});
    ASSERT_EQ(plan.requests.size(), 2u);
    EXPECT_EQ(plan.requests[0].description, "a");
    EXPECT_EQ(plan.requests[1].description, "b");
    EXPECT_EQ(plan.requests[1].internalClient, "10.0.0.9");
}

TEST(InstallMappings, AllWrittenAndReadBack)
{
    FakeRouter router;
    std::atomic<bool> cancel{false};
    std::vector<std::pair<size_t, size_t>> steps;
    auto result = InstallMappings(PlanMappings({Entry("web", "TCP", "80,443-447,8080")}), router,
                                  cancel, [&](size_t d, size_t t) {
                                      steps.push_back({d, t});
                                  });
    EXPECT_EQ(result.requested, 7u);
    EXPECT_EQ(result.installed, 7u);
    EXPECT_EQ(result.failed, 0);
    EXPECT_FALSE(result.cancelled);
    EXPECT_EQ(router.reads, 7);
    ASSERT_FALSE(steps.empty());
    EXPECT_EQ(steps.back(), std::make_pair(size_t{14}, size_t{14}));
}

TEST(InstallMappings, AWriteTheRouterAcceptedButDidNotKeepFails)
{
    FakeRouter router;
    router.drop = {443};
    std::atomic<bool> cancel{false};
    auto result =
        InstallMappings(PlanMappings({Entry("web", "TCP", "80,443")}), router, cancel, {});
    EXPECT_EQ(result.installed, 1u);
    EXPECT_EQ(result.failed, 1);
}

TEST(InstallMappings, AMappingHeldForAnotherClientFails)
{
    FakeRouter router;
    router.table[{80, "TCP"}] = "192.168.77.9";
    router.drop = {80}; // the router keeps the other client's mapping
    std::atomic<bool> cancel{false};
    auto result = InstallMappings(PlanMappings({Entry("web", "TCP", "80")}), router, cancel, {});
    EXPECT_EQ(result.installed, 0u);
    EXPECT_EQ(result.failed, 1);
}

TEST(InstallMappings, RefusalsAndInvalidPortsAreFailures)
{
    FakeRouter router;
    router.refuse = {22};
    std::atomic<bool> cancel{false};
    auto result =
        InstallMappings(PlanMappings({Entry("x", "TCP", "22,23,99999")}), router, cancel, {});
    EXPECT_EQ(result.installed, 1u);
    EXPECT_EQ(result.failed, 2);
    ASSERT_EQ(router.written.size(), 2u); // 99999 is never sent, not even wrapped
    EXPECT_EQ(router.written[0].port, 22);
    EXPECT_EQ(router.written[1].port, 23);
}

TEST(InstallMappings, StopsSendingAfterTheRouterStoppedAnswering)
{
    FakeRouter router;
    for (uint16_t p = 1; p <= 10; ++p)
        router.silent.insert(p);
    std::atomic<bool> cancel{false};
    InstallOptions options;
    options.unreachableLimit = 3;
    auto result =
        InstallMappings(PlanMappings({Entry("x", "TCP", "1-10")}), router, cancel, {}, options);
    EXPECT_EQ(router.written.size(), 3u);
    EXPECT_EQ(result.failed, 10);
    EXPECT_EQ(result.installed, 0u);
}

TEST(InstallMappings, CancelStopsBetweenRequests)
{
    FakeRouter router;
    std::atomic<bool> cancel{false};
    router.onWrite = [&] {
        if (router.written.size() == 2)
            cancel = true;
    };
    auto result = InstallMappings(PlanMappings({Entry("x", "TCP", "1-10")}), router, cancel, {});
    EXPECT_TRUE(result.cancelled);
    EXPECT_EQ(router.written.size(), 2u);
    EXPECT_EQ(router.reads, 0);
}

TEST(InstallMappings, WhatIsLeftAtTheDeadlineFails)
{
    FakeRouter router;
    std::atomic<bool> cancel{false};
    InstallOptions options;
    options.budget = std::chrono::steady_clock::duration::zero();
    auto result =
        InstallMappings(PlanMappings({Entry("x", "UDP", "1-4")}), router, cancel, {}, options);
    EXPECT_TRUE(result.timedOut);
    EXPECT_EQ(result.failed, 4);
    EXPECT_TRUE(router.written.empty());
}
