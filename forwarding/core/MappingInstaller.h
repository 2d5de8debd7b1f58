#pragma once

#include "forwarding/core/MappingPlan.h"
#include "platform/Message.h"

#include <atomic>
#include <chrono>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace velmora {

// What installing asks of a router; one implementation per kind of router.
class MappingWriter
{
public:
    enum class Outcome
    {
        Written,    // the router accepted the request
        Refused,    // the router answered with an error
        Unreachable // no answer at all: no connection, or none within the deadline
    };

    virtual ~MappingWriter() = default;
    virtual Outcome write(const MappingRequest& request) = 0;
    // Whether the router now holds the mapping as it was written: routers
    // that accept a write and drop it are common.
    virtual bool holds(const MappingRequest& request) = 0;
    // Why the last write failed, in the router's words where it gave any
    // ("" when there is nothing to tell).
    virtual Message problem() const { return {}; }
};

struct InstallOptions
{
    // The whole run, writes and read-backs; what is left at the deadline fails.
    std::chrono::steady_clock::duration budget = std::chrono::minutes(30);
    // After this many unanswered requests in a row, or once unanswered
    // requests in a row have waited this long, the router is taken to be gone
    // and the rest fail without being sent: a router that lets one request run
    // to its deadline is not asked again.
    int unreachableLimit = 3;
    std::chrono::steady_clock::duration unansweredBudget = std::chrono::seconds(10);
    // The clock both budgets are read on (tests step it).
    std::function<std::chrono::steady_clock::time_point()> clock = std::chrono::steady_clock::now;
};

struct InstallResult
{
    size_t requested = 0; // requests in the plan
    size_t accepted = 0;  // written (the router took the request)
    size_t installed = 0; // written and read back
    int64_t failed = 0;   // refused, not kept, not sent, or invalid port numbers
    bool cancelled = false;
    bool timedOut = false;
    std::vector<MappingRequest> held; // the requests written and read back, in plan order
    // IPv6 pinholes among the requests (none: an install of IPv4 mappings
    // only) and the address they lead to.
    size_t pinholesRequested = 0;
    std::string pinholeAddress;
    // Why the first IPv4 mapping / IPv6 pinhole that failed was not installed.
    Message mappingProblem;
    Message pinholeProblem;
};

// Progress: steps done of the total (one write and one read-back per request).
using InstallProgress = std::function<void(size_t done, size_t total)>;

// Writes every request of the plan, then reads each written one back. Runs on
// the caller's thread (a worker's): every router exchange blocks. Checks
// `cancel` between exchanges; a cancelled run stops without reading back.
InstallResult InstallMappings(const MappingPlan& plan, MappingWriter& writer,
                              const std::atomic<bool>& cancel, const InstallProgress& progress,
                              const InstallOptions& options = {});

} // namespace velmora
