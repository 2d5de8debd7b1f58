#pragma once

#include "forwarding/core/MonitorCore.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace velmora {

// Looks after the port mappings of one router while the program runs, on a
// thread of its own: every period it asks the router about each watched
// mapping, installs a missing one again when its entry says so, and reports
// the rest. Between checks it asks the cheap question; a changed external
// address or a gateway that lost its state brings the next check forward, as
// does checkSoon(). One check at a time; every router call has a deadline.
// Findings reach the reporter (called on the monitor's thread) once: a state
// that stays is not reported again, nor is a router that stays silent.
class MappingMonitor final
{
public:
    using Clock = std::chrono::steady_clock;
    using Reporter = std::function<void(const MonitorReport& report)>;

    explicit MappingMonitor(Reporter reporter, MonitorOptions options = {});
    // Stops the thread; waits for the router call in flight (it has a deadline).
    ~MappingMonitor();
    MappingMonitor(const MappingMonitor&) = delete;
    MappingMonitor& operator=(const MappingMonitor&) = delete;

    void setMappings(std::vector<WatchedMapping> mappings);
    // The router to look after from now on; null: nothing is watched. A new
    // router is probed at once and checked one period later.
    void setRouter(std::shared_ptr<MonitoredRouter> router);
    // Checks now (a restart was seen); `why`, when not empty, opens the report.
    void checkSoon(std::string why);

    // Full checks finished so far.
    uint64_t checks() const;

    // A held mapping whose lease has less than this left is installed again.
    std::chrono::seconds renewBelow() const;

private:
    void run();

    mutable std::mutex mutex_; // guards the members up to thread_
    std::condition_variable wake_;
    Reporter reporter_;
    std::shared_ptr<MonitoredRouter> router_;
    uint64_t generation_ = 0; // counts setRouter calls
    std::vector<WatchedMapping> mappings_;
    std::vector<std::string> pending_; // lines of checkSoon calls
    bool triggered_ = false;
    uint64_t checks_ = 0;
    std::atomic<bool> stopping_{false};
    MonitorCore core_; // the monitor thread's alone (renewBelow() reads only its options)
    std::thread thread_;
};

} // namespace velmora
