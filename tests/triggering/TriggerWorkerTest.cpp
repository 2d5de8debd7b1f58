// Trigger traffic of the workers against loopback counters.
#include "tests/triggering/LoopbackCounter.h"
#include "tests/triggering/TriggeringTestSupport.h"
#include "triggering/core/TriggerWorkerCap.h"
#include "triggering/core/Triggering.h"

#include <algorithm>
#include <gtest/gtest.h>

using namespace std::chrono_literals;
using namespace velmora::test;
using Tcp = LoopbackCounter::Tcp;

namespace {

class TriggerWorkerTest : public ::testing::Test
{
protected:
    std::shared_ptr<velmora::TriggeringRun> start(const TriggeringEntry& entry)
    {
        runs_.push_back(StartTriggeringEntry(entry, {}, velmora::TriggeringTiming{20ms, 1ms}));
        return runs_.back();
    }
    static void stopAndWait(const std::shared_ptr<velmora::TriggeringRun>& run)
    {
        RequestTriggeringStop(run);
        ASSERT_TRUE(run->waitUntilFinished(20s));
    }
    void TearDown() override
    {
        for (auto& run : runs_) {
            RequestTriggeringStop(run);
            run->waitUntilFinished(20s);
        }
    }

    LogCapture log_;
    std::vector<std::shared_ptr<velmora::TriggeringRun>> runs_;
};

} // namespace

TEST_F(TriggerWorkerTest, EachProtocolSendsItsTrafficEveryCycleAtTheFrequency)
{
    struct Case
    {
        const char* protocol;
        Tcp tcp;
        int frequency;
        long long accepts;     // connections made, held until the way out
        bool datagramPerCycle; // otherwise no datagram at all
    };
    const Case cases[] = {
        {"TCP", Tcp::Accept, 2, 1, false},
        {"UDP", Tcp::Accept, 15, 0, true},
        {"TCP and UDP", Tcp::Accept, 5, 1, true},
        {"TCP and UDP", Tcp::Refuse, 2, 0, false}, // a failed TCP step skips the datagram
        {"ICMP", Tcp::Accept, 2, 0, false},        // any other text only pauses
        {"UDP", Tcp::None, 0, 0, true},            // frequency 0 still sleeps every cycle
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.protocol) + ", frequency " + std::to_string(c.frequency));
        auto counter = LoopbackCounter::Open(1, c.tcp, true);
        ASSERT_TRUE(counter);
        const int port = counter->basePort();
        const auto began = std::chrono::steady_clock::now();
        auto run =
            start(MakeTriggeringEntry("t", c.protocol, "127.0.0.1", port, port, c.frequency));
        ASSERT_TRUE(WaitUntil(
            [&] { return run->cyclesCompleted() >= 20 && counter->accepts(0) >= c.accepts; }));
        EXPECT_EQ(counter->accepts(0), c.accepts);
        EXPECT_EQ(counter->peerCloses(0), 0);
        stopAndWait(run);
        const auto elapsed = std::chrono::steady_clock::now() - began;

        const long long cycles = run->cyclesCompleted();
        const long long datagrams = c.datagramPerCycle ? cycles : 0;
        ASSERT_TRUE(WaitUntil([&] {
            return counter->datagrams(0) >= datagrams && counter->peerCloses(0) >= c.accepts;
        }));
        EXPECT_EQ(counter->datagrams(0), datagrams);
        EXPECT_EQ(counter->accepts(0), c.accepts);
        EXPECT_EQ(counter->peerCloses(0), c.accepts); // closed on the way out
        // Each cycle pauses for the frequency, at least the system's shortest sleep (1 ms).
        EXPECT_LE(cycles, elapsed / std::chrono::milliseconds(std::max(1, c.frequency)) + 1);
    }
}

TEST_F(TriggerWorkerTest, TcpConnectionClosedByThePeerIsMadeAgain)
{
    auto counter = LoopbackCounter::Open(1, Tcp::AcceptAndClose, true);
    ASSERT_TRUE(counter);
    const int port = counter->basePort();
    auto run = start(MakeTriggeringEntry("dropped", "TCP and UDP", "127.0.0.1", port, port, 5));
    // Each closed connection is noticed in a later cycle, which skips its
    // datagram; the cycle after that connects again.
    ASSERT_TRUE(WaitUntil([&] { return counter->accepts(0) >= 3; }));
    stopAndWait(run);
    EXPECT_LT(counter->datagrams(0), run->cyclesCompleted());
}

TEST_F(TriggerWorkerTest, OneWorkerPerPortOfTheRangeWithOneStartAndOneStopLineEach)
{
    for (int ports : {1, 5}) {
        SCOPED_TRACE(ports);
        auto counter = LoopbackCounter::Open(ports + 1, Tcp::None, true);
        ASSERT_TRUE(counter);
        const int first = counter->basePort();
        const std::string name = "range" + std::to_string(ports);
        const size_t linesBefore = log_.messages().size();
        auto run =
            start(MakeTriggeringEntry(name, "UDP", "127.0.0.1", first, first + ports - 1, 5));
        EXPECT_EQ(run->workersStarted(), ports);
        for (int i = 0; i < ports; ++i)
            ASSERT_TRUE(WaitUntil([&] { return counter->datagrams(i) >= 2; })) << i;
        stopAndWait(run);
        EXPECT_EQ(counter->datagrams(ports), 0); // nothing past the end port
        for (int i = 0; i < ports; ++i) {
            EXPECT_EQ(log_.count(WorkerLine("start", name, "127.0.0.1", first + i)), 1) << i;
            EXPECT_EQ(log_.count(WorkerLine("stop", name, "127.0.0.1", first + i)), 1) << i;
        }
        EXPECT_EQ(log_.messages().size(), linesBefore + 2 * ports);
    }
}

TEST_F(TriggerWorkerTest, EndBelowStartStartsNoWorker)
{
    auto run = start(MakeTriggeringEntry("none", "UDP", "127.0.0.1", 30001, 30000, 5));
    EXPECT_EQ(run->workersStarted(), 0);
    EXPECT_TRUE(run->finished());
    RequestTriggeringStop(run); // a stop with nothing to stop stays harmless
    EXPECT_TRUE(log_.messages().empty());
}

TEST_F(TriggerWorkerTest, HostNameIsLookedUpAndAPortAbove65535Wraps)
{
    auto counter = LoopbackCounter::Open(1, Tcp::None, true);
    ASSERT_TRUE(counter);
    const int wrapped = 65536 + counter->basePort();
    auto run = start(MakeTriggeringEntry("named", "UDP", "localhost", wrapped, wrapped, 5));
    ASSERT_TRUE(WaitUntil([&] { return counter->datagrams(0) >= 2; }));
    stopAndWait(run);
    // The log names the address and the port as the entry gives them.
    EXPECT_EQ(log_.count(WorkerLine("start", "named", "localhost", wrapped)), 1);
}

TEST_F(TriggerWorkerTest, UnusableAddressesKeepCyclingWithoutTraffic)
{
    auto counter = LoopbackCounter::Open(1, Tcp::Accept, true);
    ASSERT_TRUE(counter);
    const int port = counter->basePort();
    // Longer than the target buffer (it would read as loopback if it were cut),
    // and a text that is no dotted address and is never looked up.
    std::string longAddress = "127.0.0.1";
    while (longAddress.size() < 200)
        longAddress += ".1";
    auto tooLong = start(MakeTriggeringEntry("long", "TCP and UDP", longAddress, port, port, 2));
    auto unreadable = start(MakeTriggeringEntry("bad", "UDP", "1.2.3.4.5", port, port, 2));
    ASSERT_TRUE(WaitUntil(
        [&] { return tooLong->cyclesCompleted() >= 10 && unreadable->cyclesCompleted() >= 10; }));
    stopAndWait(tooLong);
    stopAndWait(unreadable);
    EXPECT_EQ(counter->datagrams(0), 0);
    EXPECT_EQ(counter->accepts(0), 0);
    EXPECT_EQ(log_.count(WorkerLine("stop", "long", longAddress, port)), 1);
}

TEST_F(TriggerWorkerTest, WorkersPerEntryAreBounded)
{
    auto run = start(MakeTriggeringEntry("huge", "ICMP", "127.0.0.1", 0, 99999, 50));
    EXPECT_EQ(run->workersStarted(), velmora::kMaxWorkersPerEntry);
    stopAndWait(run);
    EXPECT_EQ(
        log_.count(WorkerLine("start", "huge", "127.0.0.1", velmora::kMaxWorkersPerEntry - 1)), 1);
    EXPECT_EQ(log_.count(WorkerLine("start", "huge", "127.0.0.1", velmora::kMaxWorkersPerEntry)),
              0);
}

TEST_F(TriggerWorkerTest, WorkersKeepTheLowestPauseAndTheProgramWideCap)
{
    const auto started = std::chrono::steady_clock::now();
    auto busy = StartTriggeringEntry(MakeTriggeringEntry("0", "ICMP", "127.0.0.1", 1, 1, 0), {},
                                     velmora::TriggeringTiming{20ms});
    runs_.push_back(busy);
    velmora::SetTriggerWorkerCapForTesting(7); // one of them taken by `busy`
    auto a = start(Quiet("a", 1, 4));
    EXPECT_EQ(StartTriggeringEntry(Quiet("b", 1, 3)), nullptr); // whole or not at all
    EXPECT_EQ(velmora::TriggerWorkersInUse(), 5);
    EXPECT_NE(start(Quiet("c", 1, 2)), nullptr);
    stopAndWait(a);
    EXPECT_NE(start(Quiet("b", 1, 3)), nullptr); // the ended workers' room is free again
    velmora::SetTriggerWorkerCapForTesting(0);
    std::this_thread::sleep_for(250ms); // a busy loop would run hundreds of rounds meanwhile
    // At most one round per lowest pause since the start, however slow the machine.
    const auto elapsed = std::chrono::steady_clock::now() - started;
    EXPECT_LE(busy->cyclesCompleted(), elapsed / velmora::kLowestTriggerPause + 1);
}
