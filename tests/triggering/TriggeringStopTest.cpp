// Which workers a stop ends, and what each leaves behind.
#include "tests/triggering/TriggeringTestSupport.h"
#include "triggering/core/Triggering.h"

#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <map>
#include <mutex>
#include <set>
#include <string>

using namespace std::chrono_literals;
using velmora::test::LogCapture;
using velmora::test::MakeTriggeringEntry;
using velmora::test::StartLine;
using velmora::test::StopLine;
using velmora::test::WaitUntil;

namespace {

const TriggeringTiming kShortGrace{std::chrono::milliseconds(30)};

// Ports without a listener: "ICMP" sends nothing, so no traffic leaves at all.
TriggeringEntry Quiet(const std::string& name, int firstPort, int lastPort)
{
    return MakeTriggeringEntry(name, "ICMP", "127.0.0.1", firstPort, lastPort, 3);
}

// Records every end report: which run, which port, and whether the stop line
// was already in the log when the report came.
struct EndReports
{
    explicit EndReports(const LogCapture& log) : log(log) {}

    WorkerEndedFn callback()
    {
        return [this](const std::shared_ptr<TriggeringRun>& run, const TriggeringEntry& copy) {
            const std::string port(velmora::Field(copy.trigger_port));
            const std::string address(velmora::Field(copy.trigger_address));
            std::lock_guard lock(mutex);
            reports.insert({run.get(), port});
            // Every report so far for this name and port needs its stop line already.
            const int wanted = ++reportsPerPort[run->name() + "/" + port];
            if (log.count(StopLine(run->name(), address, port)) < wanted)
                ++reportsBeforeStopLine;
        };
    }
    size_t countFor(const TriggeringRun* run)
    {
        std::lock_guard lock(mutex);
        size_t found = 0;
        for (const auto& report : reports)
            found += report.first == run ? 1 : 0;
        return found;
    }

    const LogCapture& log;
    std::mutex mutex;
    std::set<std::pair<const TriggeringRun*, std::string>> reports;
    std::map<std::string, int> reportsPerPort;
    int reportsBeforeStopLine = 0;
};

class TriggeringStopTest : public ::testing::Test
{
protected:
    std::shared_ptr<TriggeringRun> start(const TriggeringEntry& entry)
    {
        auto run = StartTriggeringEntry(entry, ends_.callback(), kShortGrace);
        runs_.push_back(run);
        return run;
    }
    void TearDown() override
    {
        for (auto& run : runs_) {
            RequestTriggeringStop(run);
            run->waitUntilFinished(20s);
        }
    }

    LogCapture log_;
    EndReports ends_{log_};
    std::vector<std::shared_ptr<TriggeringRun>> runs_;
};

} // namespace

TEST_F(TriggeringStopTest, StopEndsEveryWorkerOfItsEntryAndNoOther)
{
    auto a = start(Quiet("A", 100, 119)); // 20 workers
    auto b = start(Quiet("B", 200, 202));
    ASSERT_TRUE(WaitUntil([&] { return a->cyclesCompleted() >= 40 && b->cyclesCompleted() >= 6; }));

    RequestTriggeringStop(a);
    ASSERT_TRUE(a->waitUntilFinished(20s));
    EXPECT_EQ(ends_.countFor(a.get()), 20u);

    const long long bCycles = b->cyclesCompleted();
    ASSERT_TRUE(WaitUntil([&] { return b->cyclesCompleted() >= bCycles + 6; }));
    EXPECT_EQ(b->workersAlive(), 3);
    EXPECT_FALSE(b->stopRequested());
    EXPECT_EQ(ends_.countFor(b.get()), 0u);

    RequestTriggeringStop(b);
    ASSERT_TRUE(b->waitUntilFinished(20s));
    EXPECT_EQ(ends_.countFor(b.get()), 3u);
    EXPECT_EQ(ends_.reportsBeforeStopLine, 0);
}

TEST_F(TriggeringStopTest, StopThenImmediateRestartEndsOnlyTheEarlierWorkers)
{
    const auto entry = Quiet("again", 300, 303);
    auto first = start(entry);
    ASSERT_TRUE(WaitUntil([&] { return first->cyclesCompleted() >= 8; }));
    RequestTriggeringStop(first);
    auto second = start(entry);

    ASSERT_TRUE(first->waitUntilFinished(20s));
    const long long secondCycles = second->cyclesCompleted();
    ASSERT_TRUE(WaitUntil([&] { return second->cyclesCompleted() >= secondCycles + 8; }));
    EXPECT_EQ(second->workersAlive(), 4);
    EXPECT_EQ(ends_.countFor(second.get()), 0u);

    RequestTriggeringStop(second);
    ASSERT_TRUE(second->waitUntilFinished(20s));
    for (int port = 300; port <= 303; ++port) {
        const std::string text = std::to_string(port);
        EXPECT_EQ(log_.count(StartLine("again", "127.0.0.1", text)), 2) << text;
        EXPECT_EQ(log_.count(StopLine("again", "127.0.0.1", text)), 2) << text;
    }
    EXPECT_EQ(ends_.countFor(first.get()), 4u);
    EXPECT_EQ(ends_.countFor(second.get()), 4u);
}

TEST_F(TriggeringStopTest, OverlappingStartsAndStopsOfTwoEntries)
{
    auto a1 = start(Quiet("A", 400, 401));
    auto b1 = start(Quiet("B", 500, 502));
    RequestTriggeringStop(a1);
    auto a2 = start(Quiet("A", 400, 401));
    RequestTriggeringStop(b1);
    auto b2 = start(Quiet("B", 500, 502));
    RequestTriggeringStop(a2);

    ASSERT_TRUE(a1->waitUntilFinished(20s));
    ASSERT_TRUE(b1->waitUntilFinished(20s));
    ASSERT_TRUE(a2->waitUntilFinished(20s));
    const long long b2Cycles = b2->cyclesCompleted();
    ASSERT_TRUE(WaitUntil([&] { return b2->cyclesCompleted() >= b2Cycles + 9; }));
    EXPECT_EQ(b2->workersAlive(), 3);

    RequestTriggeringStop(b2);
    ASSERT_TRUE(b2->waitUntilFinished(20s));
    EXPECT_EQ(log_.messagesStartingWith("start port triggering[A]").size(), 4u);
    EXPECT_EQ(log_.messagesStartingWith("stop port triggering[A]").size(), 4u);
    EXPECT_EQ(log_.messagesStartingWith("start port triggering[B]").size(), 6u);
    EXPECT_EQ(log_.messagesStartingWith("stop port triggering[B]").size(), 6u);
    EXPECT_EQ(ends_.reportsBeforeStopLine, 0);
}

TEST_F(TriggeringStopTest, StopIsSeenOnlyAfterTheCurrentPause)
{
    // A long frequency: the stop waits for the pause that is under way.
    auto run = start(MakeTriggeringEntry("slow", "ICMP", "127.0.0.1", 600, 600, 400));
    ASSERT_TRUE(WaitUntil([&] { return run->cyclesCompleted() >= 1; }));
    RequestTriggeringStop(run);
    EXPECT_FALSE(run->waitUntilFinished(50ms));
    EXPECT_EQ(log_.count(StopLine("slow", "127.0.0.1", "600")), 0);
    ASSERT_TRUE(run->waitUntilFinished(20s));
    EXPECT_EQ(log_.count(StopLine("slow", "127.0.0.1", "600")), 1);
}

TEST(TriggeringExit, ProcessEndsCleanlyWithWorkersRunning)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            std::atomic<int> reports{0};
            auto busy = StartTriggeringEntry(Quiet("busy", 700, 731),
                                             [&reports](auto&&, auto&&) { reports.fetch_add(1); });
            auto ending = StartTriggeringEntry(Quiet("ending", 800, 815), {}, kShortGrace);
            RequestTriggeringStop(ending); // some workers are on their way out at exit
            WaitUntil([&] { return busy->cyclesCompleted() >= 32; });
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "");
}
