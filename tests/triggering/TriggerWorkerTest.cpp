// Trigger traffic of the workers against loopback counters.
#include "tests/triggering/LoopbackCounter.h"
#include "tests/triggering/TriggeringTestSupport.h"
#include "triggering/core/Triggering.h"

#include <chrono>
#include <gtest/gtest.h>
#include <string>

using namespace std::chrono_literals;
using velmora::test::LogCapture;
using velmora::test::LoopbackCounter;
using velmora::test::MakeTriggeringEntry;
using velmora::test::StartLine;
using velmora::test::StopLine;
using velmora::test::WaitUntil;

namespace {

const TriggeringTiming kShortGrace{std::chrono::milliseconds(20)};

class TriggerWorkerTest : public ::testing::Test
{
protected:
    std::shared_ptr<TriggeringRun> start(const TriggeringEntry& entry)
    {
        auto run = StartTriggeringEntry(entry, {}, kShortGrace);
        runs_.push_back(run);
        return run;
    }

    static void stopAndWait(const std::shared_ptr<TriggeringRun>& run)
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
    std::vector<std::shared_ptr<TriggeringRun>> runs_;
};

} // namespace

TEST_F(TriggerWorkerTest, TcpMakesOneHandshakeAndHoldsTheConnection)
{
    auto counter = LoopbackCounter::Open(1, LoopbackCounter::Tcp::Accept, true);
    ASSERT_TRUE(counter);
    const int port = counter->basePort();
    auto run = start(MakeTriggeringEntry("tcp", "TCP", "127.0.0.1", port, port, 2));
    ASSERT_TRUE(WaitUntil([&] { return counter->accepts(0) >= 1; }));
    const long long seen = run->cyclesCompleted();
    ASSERT_TRUE(WaitUntil([&] { return run->cyclesCompleted() >= seen + 20; }));
    EXPECT_EQ(counter->accepts(0), 1);
    EXPECT_EQ(counter->peerCloses(0), 0);
    EXPECT_EQ(counter->datagrams(0), 0); // "TCP" sends no datagram

    stopAndWait(run);
    ASSERT_TRUE(WaitUntil([&] { return counter->peerCloses(0) == 1; })); // closed on the way out
    EXPECT_EQ(counter->accepts(0), 1);
}

TEST_F(TriggerWorkerTest, TcpConnectionClosedByThePeerIsMadeAgain)
{
    auto counter = LoopbackCounter::Open(1, LoopbackCounter::Tcp::AcceptAndClose, true);
    ASSERT_TRUE(counter);
    const int port = counter->basePort();
    auto run = start(MakeTriggeringEntry("dropped", "TCP and UDP", "127.0.0.1", port, port, 5));
    // Each closed connection is noticed in a later cycle, which skips its
    // datagram; the cycle after that connects again.
    ASSERT_TRUE(WaitUntil([&] { return counter->accepts(0) >= 3; }));
    stopAndWait(run);
    EXPECT_LT(counter->datagrams(0), run->cyclesCompleted());
}

TEST_F(TriggerWorkerTest, UdpSendsOneEmptyDatagramPerCycle)
{
    auto counter = LoopbackCounter::Open(1, LoopbackCounter::Tcp::Accept, true);
    ASSERT_TRUE(counter);
    const int port = counter->basePort();
    const int frequency = 15;
    const auto began = std::chrono::steady_clock::now();
    auto run = start(MakeTriggeringEntry("udp", "UDP", "127.0.0.1", port, port, frequency));
    ASSERT_TRUE(WaitUntil([&] { return run->cyclesCompleted() >= 8; }));
    stopAndWait(run);
    const auto elapsed = std::chrono::steady_clock::now() - began;

    const long long cycles = run->cyclesCompleted();
    ASSERT_TRUE(WaitUntil([&] { return counter->datagrams(0) >= cycles; }));
    EXPECT_EQ(counter->datagrams(0), cycles);
    EXPECT_EQ(counter->accepts(0), 0); // "UDP" makes no TCP connection
    // Every cycle pauses for the frequency, so there cannot be more cycles than that allows.
    EXPECT_LE(cycles, elapsed / std::chrono::milliseconds(frequency) + 1);
}

TEST_F(TriggerWorkerTest, RefusedTcpStepSkipsTheDatagramOfTcpAndUdp)
{
    auto counter = LoopbackCounter::Open(1, LoopbackCounter::Tcp::Refuse, true);
    ASSERT_TRUE(counter);
    const int port = counter->basePort();
    auto run = start(MakeTriggeringEntry("both", "TCP and UDP", "127.0.0.1", port, port, 2));
    ASSERT_TRUE(WaitUntil([&] { return run->cyclesCompleted() >= 15; }));
    stopAndWait(run);
    EXPECT_EQ(counter->datagrams(0), 0);
}

TEST_F(TriggerWorkerTest, TcpAndUdpAgainstAnAcceptingPortSendsBoth)
{
    auto counter = LoopbackCounter::Open(1, LoopbackCounter::Tcp::Accept, true);
    ASSERT_TRUE(counter);
    const int port = counter->basePort();
    auto run = start(MakeTriggeringEntry("both", "TCP and UDP", "127.0.0.1", port, port, 5));
    ASSERT_TRUE(WaitUntil([&] { return run->cyclesCompleted() >= 5; }));
    stopAndWait(run);
    const long long cycles = run->cyclesCompleted();
    ASSERT_TRUE(WaitUntil([&] { return counter->datagrams(0) >= cycles; }));
    EXPECT_EQ(counter->datagrams(0), cycles);
    EXPECT_EQ(counter->accepts(0), 1);
}

TEST_F(TriggerWorkerTest, RangeOfOnePortRunsOneWorker)
{
    auto counter = LoopbackCounter::Open(2, LoopbackCounter::Tcp::None, true);
    ASSERT_TRUE(counter);
    const int port = counter->basePort();
    auto run = start(MakeTriggeringEntry("one", "UDP", "127.0.0.1", port, port, 5));
    EXPECT_EQ(run->workersStarted(), 1);
    ASSERT_TRUE(WaitUntil([&] { return counter->datagrams(0) >= 3; }));
    stopAndWait(run);
    EXPECT_EQ(counter->datagrams(1), 0);
    EXPECT_EQ(log_.count(StartLine("one", "127.0.0.1", std::to_string(port))), 1);
    EXPECT_EQ(log_.count(StopLine("one", "127.0.0.1", std::to_string(port))), 1);
    EXPECT_EQ(log_.lines().size(), 2u);
}

TEST_F(TriggerWorkerTest, RangeOfFivePortsRunsOneWorkerPerPort)
{
    auto counter = LoopbackCounter::Open(6, LoopbackCounter::Tcp::None, true);
    ASSERT_TRUE(counter);
    const int port = counter->basePort();
    auto run = start(MakeTriggeringEntry("five", "UDP", "127.0.0.1", port, port + 4, 5));
    EXPECT_EQ(run->workersStarted(), 5);
    for (int i = 0; i < 5; ++i)
        ASSERT_TRUE(WaitUntil([&] { return counter->datagrams(i) >= 2; })) << i;
    stopAndWait(run);
    EXPECT_EQ(counter->datagrams(5), 0); // nothing past the end port
    for (int i = 0; i < 5; ++i) {
        const std::string text = std::to_string(port + i);
        EXPECT_EQ(log_.count(StartLine("five", "127.0.0.1", text)), 1) << text;
        EXPECT_EQ(log_.count(StopLine("five", "127.0.0.1", text)), 1) << text;
    }
    EXPECT_EQ(log_.lines().size(), 10u);
}

TEST_F(TriggerWorkerTest, EndBelowStartStartsNoWorker)
{
    auto run = start(MakeTriggeringEntry("none", "UDP", "127.0.0.1", 30001, 30000, 5));
    EXPECT_EQ(run->workersStarted(), 0);
    EXPECT_TRUE(run->finished());
    RequestTriggeringStop(run); // a stop with nothing to stop stays harmless
    EXPECT_TRUE(log_.lines().empty());
}

TEST_F(TriggerWorkerTest, PortAboveTheSixteenBitRangeWraps)
{
    auto counter = LoopbackCounter::Open(1, LoopbackCounter::Tcp::None, true);
    ASSERT_TRUE(counter);
    const int wrapped = 65536 + counter->basePort();
    auto run = start(MakeTriggeringEntry("wrap", "UDP", "127.0.0.1", wrapped, wrapped, 5));
    ASSERT_TRUE(WaitUntil([&] { return counter->datagrams(0) >= 2; }));
    stopAndWait(run);
    // The log names the port as the entry gives it.
    EXPECT_EQ(log_.count(StartLine("wrap", "127.0.0.1", std::to_string(wrapped))), 1);
}

TEST_F(TriggerWorkerTest, FrequencyZeroStillSleepsEveryCycle)
{
    auto counter = LoopbackCounter::Open(1, LoopbackCounter::Tcp::None, true);
    ASSERT_TRUE(counter);
    const int port = counter->basePort();
    const auto began = std::chrono::steady_clock::now();
    auto run = start(MakeTriggeringEntry("zero", "UDP", "127.0.0.1", port, port, 0));
    ASSERT_TRUE(WaitUntil([&] { return run->cyclesCompleted() >= 30; }));
    stopAndWait(run);
    const auto elapsed = std::chrono::steady_clock::now() - began;
    // At least the system's shortest sleep (1 ms) between cycles: no busy loop.
    EXPECT_LE(run->cyclesCompleted(), elapsed / std::chrono::milliseconds(1) + 1);
    EXPECT_GE(counter->datagrams(0), 1);
}

TEST_F(TriggerWorkerTest, HostNameIsLookedUpOnce)
{
    auto counter = LoopbackCounter::Open(1, LoopbackCounter::Tcp::None, true);
    ASSERT_TRUE(counter);
    const int port = counter->basePort();
    auto run = start(MakeTriggeringEntry("named", "UDP", "localhost", port, port, 5));
    ASSERT_TRUE(WaitUntil([&] { return counter->datagrams(0) >= 2; }));
    stopAndWait(run);
    // The log shows the address as entered, not the resolved one.
    EXPECT_EQ(log_.count(StartLine("named", "localhost", std::to_string(port))), 1);
}

TEST_F(TriggerWorkerTest, OtherProtocolTextOnlyPauses)
{
    auto counter = LoopbackCounter::Open(1, LoopbackCounter::Tcp::Accept, true);
    ASSERT_TRUE(counter);
    const int port = counter->basePort();
    auto run = start(MakeTriggeringEntry("icmp", "ICMP", "127.0.0.1", port, port, 2));
    ASSERT_TRUE(WaitUntil([&] { return run->cyclesCompleted() >= 10; }));
    stopAndWait(run);
    EXPECT_EQ(counter->datagrams(0), 0);
    EXPECT_EQ(counter->accepts(0), 0);
}

TEST_F(TriggerWorkerTest, UnusableAddressesKeepCyclingWithoutTraffic)
{
    auto counter = LoopbackCounter::Open(1, LoopbackCounter::Tcp::Accept, true);
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
    EXPECT_EQ(log_.count(StopLine("long", longAddress, std::to_string(port))), 1);
}

TEST_F(TriggerWorkerTest, WorkersPerEntryAreBounded)
{
    auto run = start(MakeTriggeringEntry("huge", "ICMP", "127.0.0.1", 0, 99999, 50));
    EXPECT_EQ(run->workersStarted(), kMaxWorkersPerEntry);
    stopAndWait(run);
    EXPECT_EQ(log_.count(StartLine("huge", "127.0.0.1", std::to_string(kMaxWorkersPerEntry - 1))),
              1);
    EXPECT_EQ(log_.count(StartLine("huge", "127.0.0.1", std::to_string(kMaxWorkersPerEntry))), 0);
}
