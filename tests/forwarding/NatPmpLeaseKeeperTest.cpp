#include "forwarding/core/NatPmpLeaseKeeper.h"

#include <gtest/gtest.h>
#include <natpmp.h>

using namespace velmora;
using namespace std::chrono_literals;

namespace {

// Polls until `done` holds or a generous limit passes.
bool Eventually(const std::function<bool()>& done)
{
    auto until = std::chrono::steady_clock::now() + 20s;
    while (!done() && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(20ms);
    return done();
}

NatPmpLease Lease(uint16_t port, uint32_t lifetime = 2)
{
    return {htonl(0xC0A84D01), NATPMP_PROTOCOL_TCP, port, lifetime};
}

NatPmpAnswer Granted(const NatPmpLease& lease)
{
    return {0, lease.port, lease.lifetime};
}

} // namespace

TEST(NatPmpLeaseKeeper, RenewsAtHalfTheLifetimeAgainAndAgain)
{
    EXPECT_EQ(NatPmpLeaseKeeper::renewInterval(7200), 3600s);
    EXPECT_EQ(NatPmpLeaseKeeper::renewInterval(2), 1s);
    // Never faster than once a second, whatever the gateway grants.
    EXPECT_EQ(NatPmpLeaseKeeper::renewInterval(0), 1s);
    EXPECT_EQ(NatPmpLeaseKeeper::retryInterval(7200), 30s);

    std::mutex m;
    std::vector<NatPmpLease> asked;
    NatPmpLeaseKeeper keeper([&](const NatPmpLease& lease) {
        std::lock_guard lock(m);
        asked.push_back(lease);
        return Granted(lease);
    });
    keeper.keep(Lease(8080), 2);
    ASSERT_TRUE(Eventually([&] { return keeper.renewals() >= 2; }));
    std::lock_guard lock(m);
    EXPECT_EQ(asked.front().port, 8080);
    EXPECT_EQ(asked.front().lifetime, 2u);
    EXPECT_EQ(asked.front().protocol, NATPMP_PROTOCOL_TCP);
}

TEST(NatPmpLeaseKeeper, KeepsTryingAfterAFailedRenewal)
{
    std::atomic<int> calls{0};
    NatPmpLeaseKeeper keeper([&](const NatPmpLease& lease) {
        return ++calls == 1 ? NatPmpAnswer{NATPMP_TRYAGAIN, 0, 0} : Granted(lease);
    });
    keeper.keep(Lease(22), 2);
    ASSERT_TRUE(Eventually([&] { return calls >= 3; }));
    EXPECT_EQ(keeper.leaseCount(), 1u);
}

TEST(NatPmpLeaseKeeper, TheSameMappingIsKeptOnce)
{
    NatPmpLeaseKeeper keeper([](const NatPmpLease& l) { return NatPmpAnswer{0, l.port, 7200}; });
    keeper.keep(Lease(80, 7200), 7200);
    keeper.keep(Lease(80, 7200), 7200);
    keeper.keep(Lease(81, 7200), 7200);
    EXPECT_EQ(keeper.leaseCount(), 2u);
    EXPECT_EQ(keeper.renewals(), 0u);
}

TEST(NatPmpLeaseKeeper, DestroyingItStopsTheRenewals)
{
    auto calls = std::make_shared<std::atomic<int>>(0);
    {
        NatPmpLeaseKeeper keeper([calls](const NatPmpLease& l) {
            ++*calls;
            return Granted(l);
        });
        keeper.keep(Lease(80), 2);
    }
    int after = *calls;
    std::this_thread::sleep_for(1500ms);
    EXPECT_EQ(*calls, after);
}

TEST(NatPmpLeaseKeeper, LeasesAddedWhileItWaitsAreKept)
{
    std::atomic<int> calls{0};
    NatPmpLeaseKeeper keeper([&](const NatPmpLease& l) {
        ++calls;
        return Granted(l);
    });
    keeper.keep(Lease(1, 7200), 7200); // the thread now waits for this one's renewal
    std::this_thread::sleep_for(50ms);
    for (uint16_t port = 2; port <= 64; ++port) // grows (and moves) the list under it
        keeper.keep(Lease(port, 2), 2);
    ASSERT_TRUE(Eventually([&] { return calls >= 63; }));
    EXPECT_EQ(keeper.leaseCount(), 64u);
}

TEST(NatPmpLeaseKeeper, ARenewalGrantedForNoTimeEndsTheLease)
{
    // RFC 6886: a lifetime of 0 in the answer is a deletion, not a grant.
    std::atomic<int> calls{0};
    NatPmpLeaseKeeper keeper([&](const NatPmpLease& lease) {
        ++calls;
        return NatPmpAnswer{0, lease.port, 0};
    });
    keeper.keep(Lease(4000), 2);
    ASSERT_TRUE(Eventually([&] { return keeper.leaseCount() == 0; }));
    std::this_thread::sleep_for(2500ms); // longer than the next renewal would have waited
    EXPECT_EQ(calls.load(), 1);
}
