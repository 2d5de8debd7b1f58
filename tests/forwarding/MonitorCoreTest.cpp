// The mapping monitor's decisions against a scripted router, on a clock that
// moves only when the test or a router call moves it.

#include "forwarding/core/MappingMonitor.h"

#include <future>
#include <gtest/gtest.h>
#include <map>

namespace velmora {
namespace {

using State = MappingLookup::State;

MappingLookup Answer(State state, std::string holder = {}, uint32_t lease = 0, int error = 0)
{
    return {state, std::move(holder), error, lease};
}

struct ScriptedRouter final : MonitoredRouter
{
    RouterProbe answer{true, "203.0.113.1", false};
    std::map<uint16_t, MappingLookup> lookups; // by port; the rest are held
    bool reinstallWorks = true;
    MonitorOptions::Clock::time_point now{};
    MonitorOptions::Clock::duration lookupCost{};
    std::vector<uint16_t> asked;

    RouterProbe probe() override { return answer; }
    MappingLookup lookup(const MappingRequest& request) override
    {
        asked.push_back(request.port);
        now += lookupCost;
        const auto it = lookups.find(request.port);
        return it == lookups.end() ? Answer(State::Held) : it->second;
    }
    bool reinstall(const MappingRequest&) override { return reinstallWorks; }
};

// Ports 1..n, TCP; port 2 is installed again when missing.
struct Harness
{
    explicit Harness(uint16_t ports) : core(Options(router))
    {
        for (uint16_t port = 1; port <= ports; ++port)
            mappings.push_back(
                {{port, "TCP", "192.168.77.2", "e" + std::to_string(port)}, port == 2});
        core.restart();
    }
    static MonitorOptions Options(ScriptedRouter& router)
    {
        MonitorOptions options; // a check has 2 minutes
        options.clock = [&router] { return router.now; };
        return options;
    }
    MonitorCore::Round run(bool triggered = true)
    {
        return core.run(router, mappings, {}, triggered, stop);
    }

    ScriptedRouter router;
    std::vector<WatchedMapping> mappings;
    MonitorCore core;
    std::atomic<bool> stop{false};
};

// One router through a run of checks: each state is reported when it comes
// and not again while it stays.
TEST(MonitorCore, EachStateIsReportedOnceWhileItStays)
{
    Harness h(2);
    const MappingLookup missing = Answer(State::Missing);
    const std::pair<std::function<void(ScriptedRouter&)>, std::vector<const char*>> steps[] = {
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
    for (size_t at = 0; at < std::size(steps); ++at) {
        steps[at].first(h.router);
        const auto lines = h.run().report.lines;
        ASSERT_EQ(lines.size(), steps[at].second.size()) << "step " << at;
        for (size_t i = 0; i < lines.size(); ++i)
            EXPECT_NE(lines[i].find(steps[at].second[i]), std::string::npos)
                << at << ": " << lines[i];
    }
}

// A new router is probed at once and checked a period later; a check stops at
// its budget and the next one begins where it stopped.
TEST(MonitorCore, ScheduleAndCheckBudget)
{
    Harness h(5);
    EXPECT_TRUE(h.core.due());
    EXPECT_FALSE(h.run(false).checked);
    EXPECT_EQ(h.core.nextRound(), h.router.now + h.core.options().probeInterval);
    h.router.now += h.core.options().period;
    h.router.lookupCost = std::chrono::minutes(1);
    EXPECT_TRUE(h.run(false).checked);
    for (int i = 0; i < 2; ++i)
        h.run();
    EXPECT_EQ(h.router.asked, (std::vector<uint16_t>{1, 2, 3, 4, 5, 1}));
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
