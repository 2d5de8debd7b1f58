// The mapping monitor's decisions against a scripted router, on a clock that
// moves only when the test or a router call moves it.

#include "forwarding/core/MappingMonitor.h"

#include <future>
#include <gtest/gtest.h>
#include <map>

namespace velmora {
namespace {

using State = MappingLookup::State;
using Clock = MonitorOptions::Clock;

MappingLookup Answer(State state, std::string holder = {}, uint32_t lease = 0, int error = 0)
{
    return {state, std::move(holder), error, lease};
}

struct ScriptedRouter final : MonitoredRouter
{
    RouterProbe answer{true, "203.0.113.1", false};
    std::map<uint16_t, MappingLookup> lookups; // by port; the rest are held
    bool reinstallWorks = true;
    Clock::duration lookupCost{};
    Clock::time_point* now = nullptr;
    std::vector<uint16_t> asked;

    RouterProbe probe() override { return answer; }
    MappingLookup lookup(const MappingRequest& request) override
    {
        asked.push_back(request.port);
        *now += lookupCost;
        const auto it = lookups.find(request.port);
        return it == lookups.end() ? Answer(State::Held) : it->second;
    }
    bool reinstall(const MappingRequest&) override { return reinstallWorks; }
};

struct Harness
{
    explicit Harness(std::vector<uint16_t> ports, Clock::duration budget = std::chrono::minutes(2))
        : core(Options(budget))
    {
        router.now = &now;
        for (uint16_t port : ports)
            mappings.push_back(
                {{port, "TCP", "192.168.77.2", "e" + std::to_string(port)}, port == 2});
        core.restart();
    }
    MonitorOptions Options(Clock::duration budget)
    {
        MonitorOptions options;
        options.checkBudget = budget;
        options.clock = [this] { return now; };
        return options;
    }
    std::vector<std::string> check()
    {
        return core.run(router, mappings, {}, true, stop).report.lines;
    }

    Clock::time_point now{};
    ScriptedRouter router;
    std::vector<WatchedMapping> mappings;
    MonitorCore core;
    std::atomic<bool> stop{false};
};

// One router through a run of checks: each state is reported when it comes
// and not again while it stays.
TEST(MonitorCore, EachStateIsReportedOnceWhileItStays)
{
    Harness h({1, 2}); // e1 is watched, e2 installed again when missing
    const MappingLookup missing = Answer(State::Missing);
    struct Step
    {
        std::function<void(ScriptedRouter&)> change;
        std::vector<std::string> lines; // a piece of each line, in order
    } steps[] = {
        {[](auto&) {}, {}},
        {[](auto& r) { r.answer.answered = false; }, {"does not answer"}},
        {[](auto&) {}, {}},
        {[](auto& r) { r.answer.answered = true; }, {"answers again"}},
        {[](auto& r) { r.answer.externalAddress = "203.0.113.2"; },
         {"changed from 203.0.113.1 to 203.0.113.2"}},
        {[&](auto& r) {
             r.lookups = {{1, missing}, {2, missing}};
         },
         {"\"e1\": TCP 1 is no longer", "\"e2\": TCP 2 was missing in the router and has been"}},
        {[](auto& r) { r.lookups.erase(2); }, {}},
        {[&](auto& r) { r.lookups[2] = missing, r.reinstallWorks = false; },
         {"TCP 2 is missing in the router and could not"}},
        {[](auto&) {}, {}},
        {[](auto& r) {
             r.lookups = {{1, Answer(State::Taken, "192.168.77.3:1")}};
         },
         {"TCP 1 now leads to 192.168.77.3:1", "TCP 2 is in the router again"}},
        {[](auto& r) {
             r.lookups = {{1, Answer(State::Unknown, "", 0, 501)}, {2, Answer(State::Unknown)}};
         },
         {"with error 501; they could not be checked"}},
        {[](auto&) {}, {}},
        {[](auto& r) {
             r.lookups = {{1, Answer(State::Held, "", 60)}};
         },
         {"can be checked again", "TCP 1 is in the router again",
          "TCP 1 could not be added again before its lease"}},
        {[](auto& r) {
             r.lookups = {{1, Answer(State::NoAnswer)}};
         },
         {"does not answer"}},
    };
    int at = 0;
    for (auto& step : steps) {
        step.change(h.router);
        const auto lines = h.check();
        ASSERT_EQ(lines.size(), step.lines.size()) << "step " << at;
        for (size_t i = 0; i < lines.size(); ++i)
            EXPECT_NE(lines[i].find(step.lines[i]), std::string::npos) << at << ": " << lines[i];
        ++at;
    }
}

// A check stops at its budget; the next begins where it stopped.
TEST(MonitorCore, ACheckPastItsBudgetIsTakenUpByTheNext)
{
    Harness h({1, 2, 3, 4, 5}, std::chrono::minutes(2));
    h.router.lookupCost = std::chrono::minutes(1);
    for (int i = 0; i < 3; ++i)
        h.check();
    EXPECT_EQ(h.router.asked, (std::vector<uint16_t>{1, 2, 3, 4, 5, 1}));
}

TEST(MonitorCore, ANewRouterIsProbedAtOnceAndCheckedAPeriodLater)
{
    Harness h({1});
    const MonitorOptions& o = h.core.options();
    EXPECT_TRUE(h.core.due());
    EXPECT_FALSE(h.core.run(h.router, h.mappings, {}, false, h.stop).checked);
    EXPECT_EQ(h.core.nextRound(), h.now + o.probeInterval);
    h.now += o.period;
    EXPECT_TRUE(h.core.run(h.router, h.mappings, {}, false, h.stop).checked);
    EXPECT_EQ(h.router.asked.size(), 1u);
}

// What a check finds about a router that has since been replaced is dropped.
TEST(MappingMonitor, FindingsAboutTheRouterBeforeAreDropped)
{
    struct Gated final : MonitoredRouter
    {
        std::promise<void> entered;
        std::shared_future<void> release;
        bool answers = false;
        RouterProbe probe() override
        {
            entered.set_value(); // once: the next probe is 30 s away
            release.wait_for(std::chrono::seconds(10));
            return {answers, "", false};
        }
        MappingLookup lookup(const MappingRequest&) override { return Answer(State::NoAnswer); }
        bool reinstall(const MappingRequest&) override { return false; }
    };
    std::promise<void> go;
    auto silent = std::make_shared<Gated>();
    auto next = std::make_shared<Gated>();
    silent->release = next->release = go.get_future().share();
    next->answers = true;
    std::vector<std::string> reported;
    MappingMonitor monitor([&](const MonitorReport& r) { reported = r.lines; });
    monitor.setRouter(silent);
    ASSERT_EQ(silent->entered.get_future().wait_for(std::chrono::seconds(10)),
              std::future_status::ready);
    monitor.setRouter(next);
    go.set_value();
    // The next router's probe comes after the silent one's round has ended.
    ASSERT_EQ(next->entered.get_future().wait_for(std::chrono::seconds(10)),
              std::future_status::ready);
    EXPECT_TRUE(reported.empty());
}

} // namespace
} // namespace velmora
