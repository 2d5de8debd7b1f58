#include "forwarding/core/NatPmpLeaseKeeper.h"

#include "tests/support/ManualClock.h"

#include <gtest/gtest.h>
#include <natpmp.h>

using namespace velmora;
using namespace std::chrono_literals;
using velmora::test::ManualClock;

namespace {

// Polls until `done` holds or a generous limit passes; the keeper's thread
// answers a moved clock within a millisecond.
bool Eventually(const std::function<bool()>& done)
{
    auto until = std::chrono::steady_clock::now() + 20s;
    while (!done() && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(1ms);
    return done();
}

NatPmpLease Lease(uint16_t port, uint32_t lifetime = 7200)
{
    return {htonl(0xC0A84D01), NATPMP_PROTOCOL_TCP, port, lifetime};
}

NatPmpAnswer Granted(const NatPmpLease& lease)
{
    return {0, lease.port, lease.lifetime};
}

// A keeper on a manual clock whose gateway answers from `answer`, counting calls.
struct Keeper
{
    explicit Keeper(std::function<NatPmpAnswer(const NatPmpLease&, int call)> answer)
        : keeper(
              [this, answer](const NatPmpLease& lease) {
                  std::lock_guard lock(m);
                  asked.push_back(lease);
                  return answer(lease, static_cast<int>(asked.size()));
              },
              clock)
    {
    }
    size_t calls()
    {
        std::lock_guard lock(m);
        return asked.size();
    }
    // Waits until the keeper sleeps until `at` after the clock's start.
    bool sleepsUntil(std::chrono::seconds at)
    {
        return Eventually([&] { return clock.sleepingUntil() == ManualClock::kStart + at; });
    }

    ManualClock clock;
    std::mutex m;
    std::vector<NatPmpLease> asked;
    NatPmpLeaseKeeper keeper;
};

} // namespace

TEST(NatPmpLeaseKeeper, RenewsAtHalfTheGrantedLifetimeAgainAndAgain)
{
    EXPECT_EQ(NatPmpLeaseKeeper::renewInterval(7200), 3600s);
    EXPECT_EQ(NatPmpLeaseKeeper::renewInterval(2), 1s);
    // Never faster than once a second, whatever the gateway grants.
    EXPECT_EQ(NatPmpLeaseKeeper::renewInterval(0), 1s);
    EXPECT_EQ(NatPmpLeaseKeeper::retryInterval(7200), 30s);

    // The gateway grants an hour less than asked: the next renewal follows its grant.
    Keeper k([](const NatPmpLease& lease, int) { return NatPmpAnswer{0, lease.port, 3600}; });
    k.keeper.keep(Lease(8080), 7200);
    ASSERT_TRUE(k.sleepsUntil(3600s));
    EXPECT_EQ(k.calls(), 0u);
    k.clock.advance(3600s);
    ASSERT_TRUE(k.sleepsUntil(3600s + 1800s));
    k.clock.advance(1800s);
    ASSERT_TRUE(k.sleepsUntil(3600s + 1800s + 1800s));
    EXPECT_EQ(k.calls(), 2u);
    EXPECT_EQ(k.asked.front().port, 8080);
    EXPECT_EQ(k.asked.front().lifetime, 7200u);
    EXPECT_EQ(k.asked.front().protocol, NATPMP_PROTOCOL_TCP);
}

TEST(NatPmpLeaseKeeper, AFailedRenewalIsTriedAgainSoonerAndTheLeaseKept)
{
    Keeper k([](const NatPmpLease& lease, int call) {
        return call == 1 ? NatPmpAnswer{NATPMP_TRYAGAIN, 0, 0} : Granted(lease);
    });
    k.keeper.keep(Lease(22), 7200);
    ASSERT_TRUE(k.sleepsUntil(3600s));
    k.clock.advance(3600s);
    ASSERT_TRUE(k.sleepsUntil(3600s + 30s)); // the retry
    k.clock.advance(30s);
    ASSERT_TRUE(k.sleepsUntil(3600s + 30s + 3600s));
    EXPECT_EQ(k.calls(), 2u);
    EXPECT_EQ(k.keeper.leaseCount(), 1u);
}

TEST(NatPmpLeaseKeeper, TheSameMappingIsKeptOnce)
{
    Keeper k([](const NatPmpLease& lease, int) { return Granted(lease); });
    k.keeper.keep(Lease(80), 7200);
    k.keeper.keep(Lease(80), 7200);
    k.keeper.keep(Lease(81), 7200);
    EXPECT_EQ(k.keeper.leaseCount(), 2u);
    EXPECT_EQ(k.keeper.renewals(), 0u);
}

TEST(NatPmpLeaseKeeper, DestroyingItStopsTheRenewals)
{
    auto calls = std::make_shared<std::atomic<int>>(0);
    ManualClock clock;
    {
        NatPmpLeaseKeeper keeper(
            [calls](const NatPmpLease& l) {
                ++*calls;
                return Granted(l);
            },
            clock);
        keeper.keep(Lease(80), 2);
    }
    // Its thread is gone with it, and nothing else holds the gateway exchange.
    EXPECT_EQ(calls.use_count(), 1);
    EXPECT_EQ(*calls, 0);
}

TEST(NatPmpLeaseKeeper, LeasesAddedWhileItWaitsAreKept)
{
    Keeper k([](const NatPmpLease& lease, int) { return Granted(lease); });
    k.keeper.keep(Lease(1), 7200);
    ASSERT_TRUE(k.sleepsUntil(3600s));          // the thread waits for this one's renewal
    for (uint16_t port = 2; port <= 64; ++port) // grows (and moves) the list under it
        k.keeper.keep(Lease(port, 2), 2);
    k.clock.advance(1s);
    ASSERT_TRUE(Eventually([&] { return k.calls() >= 63; }));
    EXPECT_EQ(k.keeper.leaseCount(), 64u);
}

TEST(NatPmpLeaseKeeper, ARenewalGrantedForNoTimeEndsTheLease)
{
    // RFC 6886: a lifetime of 0 in the answer is a deletion, not a grant.
    Keeper k([](const NatPmpLease& lease, int) { return NatPmpAnswer{0, lease.port, 0}; });
    k.keeper.keep(Lease(4000), 7200);
    ASSERT_TRUE(k.sleepsUntil(3600s));
    k.clock.advance(3600s);
    ASSERT_TRUE(Eventually([&] { return k.keeper.leaseCount() == 0; }));
    k.clock.advance(24h); // far past any renewal it could still have planned
    EXPECT_EQ(k.calls(), 1u);
}
