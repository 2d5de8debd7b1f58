#include "forwarding/core/MappingInstaller.h"

#include <vector>

namespace velmora {

InstallResult InstallMappings(const MappingPlan& plan, MappingWriter& writer,
                              const std::atomic<bool>& cancel, const InstallProgress& progress,
                              const InstallOptions& options)
{
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + options.budget;
    const size_t total = plan.requests.size() * 2;
    size_t done = 0;
    auto step = [&] {
        ++done;
        if (progress)
            progress(done, total);
    };

    InstallResult result;
    result.requested = plan.requests.size();
    result.failed = plan.invalidPorts;
    for (const auto& request : plan.requests) {
        if (IsPinholeRequest(request)) {
            ++result.pinholesRequested;
            result.pinholeAddress = request.internalClient;
        }
    }
    // The first reason a request of each family failed for.
    auto note = [&result](const MappingRequest& request, std::string problem) {
        std::string& first =
            IsPinholeRequest(request) ? result.pinholeProblem : result.mappingProblem;
        if (first.empty())
            first = std::move(problem);
    };

    std::vector<const MappingRequest*> written;
    int unreachableInARow = 0;
    for (size_t i = 0; i < plan.requests.size(); ++i) {
        if (cancel.load()) {
            result.cancelled = true;
            return result;
        }
        if (Clock::now() >= deadline || unreachableInARow >= options.unreachableLimit) {
            result.timedOut = Clock::now() >= deadline;
            result.failed += static_cast<int64_t>(plan.requests.size() - i);
            break;
        }
        const auto outcome = writer.write(plan.requests[i]);
        if (outcome == MappingWriter::Outcome::Written) {
            written.push_back(&plan.requests[i]);
        } else {
            ++result.failed;
            note(plan.requests[i], writer.problem());
        }
        unreachableInARow =
            outcome == MappingWriter::Outcome::Unreachable ? unreachableInARow + 1 : 0;
        step();
    }

    done = total - written.size(); // steps of requests that need no read-back
    for (size_t i = 0; i < written.size(); ++i) {
        if (cancel.load()) {
            result.cancelled = true;
            return result;
        }
        if (Clock::now() >= deadline) {
            result.timedOut = true;
            result.failed += static_cast<int64_t>(written.size() - i);
            break;
        }
        if (writer.holds(*written[i])) {
            ++result.installed;
            result.held.push_back(*written[i]);
        } else {
            ++result.failed;
            note(*written[i], "the router did not keep it");
        }
        step();
    }
    return result;
}

} // namespace velmora
