// Which workers a stop ends, and what each leaves behind.
#include "tests/triggering/TriggeringTestSupport.h"
#include "triggering/core/Triggering.h"

#include <atomic>
#include <gtest/gtest.h>
#include <map>
#include <mutex>
#include <set>

using namespace std::chrono_literals;
using namespace velmora::test;

namespace {

const velmora::TriggeringTiming kShortGrace{30ms, 1ms};

class TriggeringStopTest : public ::testing::Test
{
protected:
    // Counts the end reports per run and checks that each report comes after
    // its worker's stop line.
    std::shared_ptr<velmora::TriggeringRun> start(const TriggeringEntry& entry)
    {
        auto report = [this](const std::shared_ptr<velmora::TriggeringRun>& run,
                             const TriggeringEntry& copy) {
            const std::string port(velmora::Field(copy.trigger_port));
            std::lock_guard lock(mutex_);
            reports_.insert({run.get(), port});
            const int wanted = ++reportsPerPort_[run->name() + "/" + port];
            const std::string address(velmora::Field(copy.trigger_address));
            if (log_.count(WorkerLine("stop", run->name(), address, std::stoll(port))) < wanted)
                ++reportsBeforeStopLine_;
        };
        runs_.push_back(StartTriggeringEntry(entry, report, kShortGrace));
        return runs_.back();
    }
    // The ports of `run` whose worker has reported its end.
    size_t reportsFor(const std::shared_ptr<velmora::TriggeringRun>& run)
    {
        std::lock_guard lock(mutex_);
        size_t found = 0;
        for (const auto& report : reports_)
            found += report.first == run.get() ? 1 : 0;
        return found;
    }
    // Waits until `run` has completed `cycles` more cycles: its workers still run.
    static bool KeepsCycling(const std::shared_ptr<velmora::TriggeringRun>& run, long long cycles)
    {
        const long long seen = run->cyclesCompleted();
        return WaitUntil([&] { return run->cyclesCompleted() >= seen + cycles; });
    }
    void TearDown() override
    {
        for (auto& run : runs_) {
            RequestTriggeringStop(run);
            run->waitUntilFinished(20s);
        }
        EXPECT_EQ(reportsBeforeStopLine_, 0);
    }

    LogCapture log_;
    std::mutex mutex_;
    std::set<std::pair<const velmora::TriggeringRun*, std::string>> reports_;
    std::map<std::string, int> reportsPerPort_;
    int reportsBeforeStopLine_ = 0;
    std::vector<std::shared_ptr<velmora::TriggeringRun>> runs_;
};

} // namespace

TEST_F(TriggeringStopTest, StopEndsEveryWorkerOfItsEntryAndNoOther)
{
    auto a = start(Quiet("A", 100, 119)); // 20 workers
    auto b = start(Quiet("B", 200, 202));
    ASSERT_TRUE(WaitUntil([&] { return a->cyclesCompleted() >= 40 && b->cyclesCompleted() >= 6; }));

    RequestTriggeringStop(a);
    ASSERT_TRUE(a->waitUntilFinished(20s));
    EXPECT_EQ(reportsFor(a), 20u);
    ASSERT_TRUE(KeepsCycling(b, 6));
    EXPECT_EQ(b->workersAlive(), 3);
    EXPECT_FALSE(b->stopRequested());
    EXPECT_EQ(reportsFor(b), 0u);

    RequestTriggeringStop(b);
    ASSERT_TRUE(b->waitUntilFinished(20s));
    EXPECT_EQ(reportsFor(b), 3u);
}

TEST_F(TriggeringStopTest, StopThenImmediateRestartEndsOnlyTheEarlierWorkers)
{
    const auto entry = Quiet("again", 300, 303);
    auto first = start(entry);
    ASSERT_TRUE(WaitUntil([&] { return first->cyclesCompleted() >= 8; }));
    RequestTriggeringStop(first);
    auto second = start(entry);

    ASSERT_TRUE(first->waitUntilFinished(20s));
    ASSERT_TRUE(KeepsCycling(second, 8));
    EXPECT_EQ(second->workersAlive(), 4);
    EXPECT_EQ(reportsFor(second), 0u);

    RequestTriggeringStop(second);
    ASSERT_TRUE(second->waitUntilFinished(20s));
    for (int port = 300; port <= 303; ++port) {
        EXPECT_EQ(log_.count(WorkerLine("start", "again", "127.0.0.1", port)), 2) << port;
        EXPECT_EQ(log_.count(WorkerLine("stop", "again", "127.0.0.1", port)), 2) << port;
    }
    EXPECT_EQ(reportsFor(first), 4u);
    EXPECT_EQ(reportsFor(second), 4u);
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

    for (const auto& run : {a1, b1, a2})
        ASSERT_TRUE(run->waitUntilFinished(20s));
    ASSERT_TRUE(KeepsCycling(b2, 9));
    EXPECT_EQ(b2->workersAlive(), 3);

    RequestTriggeringStop(b2);
    ASSERT_TRUE(b2->waitUntilFinished(20s));
    EXPECT_EQ(log_.lines("start", "A"), 4);
    EXPECT_EQ(log_.lines("stop", "A"), 4);
    EXPECT_EQ(log_.lines("start", "B"), 6);
    EXPECT_EQ(log_.lines("stop", "B"), 6);
}

TEST_F(TriggeringStopTest, StopIsSeenOnlyAfterTheCurrentPause)
{
    auto run = start(MakeTriggeringEntry("slow", "ICMP", "127.0.0.1", 600, 600, 400));
    ASSERT_TRUE(WaitUntil([&] { return run->cyclesCompleted() >= 1; }));
    RequestTriggeringStop(run);
    EXPECT_FALSE(run->waitUntilFinished(50ms)); // the 400 ms pause under way goes on
    EXPECT_EQ(log_.lines("stop", "slow"), 0);
    ASSERT_TRUE(run->waitUntilFinished(20s));
    EXPECT_EQ(log_.lines("stop", "slow"), 1);
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
