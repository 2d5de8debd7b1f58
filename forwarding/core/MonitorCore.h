#pragma once

#include "forwarding/core/MonitorFindings.h"
#include "forwarding/core/MonitoredRouter.h"
#include "forwarding/core/WatchList.h"

#include <atomic>
#include <chrono>
#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace velmora {

struct MonitorOptions
{
    using Clock = std::chrono::steady_clock;
    // A full check of every watched mapping.
    Clock::duration period = std::chrono::minutes(5);
    // The cheap question between checks (external address, NAT-PMP epoch).
    Clock::duration probeInterval = std::chrono::seconds(30);
    // One check ends here; the next one starts with the first mapping this one
    // did not reach, so a long watch list is covered over several checks.
    Clock::duration checkBudget = std::chrono::minutes(2);
    // Whether a UPnP router's SSDP announcements of a restart bring the check forward.
    bool watchAnnouncements = true;
    // The clock every time above is read on (tests step it).
    std::function<Clock::time_point()> clock = Clock::now;
};

// What the mapping monitor decides, without its thread: when the next look
// at the router is due, what a probe means, which mappings one check reaches
// and what of it the user is told. A state that stays is reported once: a
// mapping still missing, a router still silent, a router that still cannot
// say. One thread at a time.
class MonitorCore final
{
public:
    using Clock = MonitorOptions::Clock;

    explicit MonitorCore(MonitorOptions options);

    const MonitorOptions& options() const { return options_; }
    // A new router: everything learnt is forgotten; it is probed at once and
    // checked one period later.
    void restart();
    // When the next round is due unless something brings it forward.
    Clock::time_point nextRound() const;
    bool due() const { return options_.clock() >= nextRound(); }

    struct Round
    {
        MonitorReport report;
        bool checked = false; // a full check was made
    };
    // Probes the router and, when a check is due, `triggered` or called for by
    // the probe, checks the mappings. `lines` open the report; `stop` ends a
    // check between two mappings.
    Round run(MonitoredRouter& router, const std::vector<WatchedMapping>& mappings,
              std::vector<std::string> lines, bool triggered, const std::atomic<bool>& stop);

    // A held mapping whose lease has less than this left is installed again.
    std::chrono::seconds renewBelow() const;

private:
    enum class Seen
    {
        Fine,
        Gone,
        Taken,
        ReaddFailed
    };
    struct Known
    {
        Seen seen = Seen::Fine;
        std::string holder;
    };

    // Reads a probe into the findings; true when it calls for a full check.
    bool assessProbe(const RouterProbe& probe, MonitorFindings& findings);
    void checkMappings(MonitoredRouter& router, const std::vector<WatchedMapping>& mappings,
                       const std::atomic<bool>& stop, MonitorFindings& findings);
    void checkOne(MonitoredRouter& router, const WatchedMapping& watched,
                  const MappingLookup& lookup, MonitorFindings& findings);
    void noteSilence(MonitorFindings& findings);

    const MonitorOptions options_;
    Clock::time_point nextCheck_{};
    Clock::time_point nextProbe_{};
    std::map<std::string, Known> known_;
    std::string address_;
    bool silent_ = false;
    bool unchecked_ = false; // the router answered lookups with errors
    size_t cursor_ = 0;      // where the next check starts
};

} // namespace velmora
