#include "forwarding/core/MappingInstaller.h"

#include "router/core/ProblemTexts.h"

#include <vector>

namespace velmora {

InstallResult InstallMappings(const MappingPlan& plan, MappingWriter& writer,
                              const std::atomic<bool>& cancel, const InstallProgress& progress,
                              const InstallOptions& options)
{
    const auto now = options.clock;
    const auto deadline = now() + options.budget;
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
    auto note = [&result](const MappingRequest& request, Message problem) {
        Message& first = IsPinholeRequest(request) ? result.pinholeProblem : result.mappingProblem;
        if (first.empty())
            first = std::move(problem);
    };

    std::vector<const MappingRequest*> written;
    int unreachableInARow = 0;
    std::chrono::steady_clock::duration unansweredWait{};
    for (size_t i = 0; i < plan.requests.size(); ++i) {
        if (cancel.load()) {
            result.cancelled = true;
            return result;
        }
        const bool gone = unreachableInARow >= options.unreachableLimit ||
                          (unreachableInARow > 0 && unansweredWait >= options.unansweredBudget);
        if (now() >= deadline || gone) {
            result.timedOut = now() >= deadline;
            result.failed += static_cast<int64_t>(plan.requests.size() - i);
            for (size_t rest = i; rest < plan.requests.size(); ++rest)
                note(plan.requests[rest],
                     Message(result.timedOut ? problem_texts::kNoTimeLeft
                                             : problem_texts::kStoppedAnswering));
            break;
        }
        const auto sent = now();
        const auto outcome = writer.write(plan.requests[i]);
        if (outcome == MappingWriter::Outcome::Written) {
            written.push_back(&plan.requests[i]);
            ++result.accepted;
        } else {
            ++result.failed;
            note(plan.requests[i], writer.problem());
        }
        if (outcome == MappingWriter::Outcome::Unreachable) {
            ++unreachableInARow;
            unansweredWait += now() - sent;
        } else {
            unreachableInARow = 0;
            unansweredWait = {};
        }
        step();
    }

    done = total - written.size(); // steps of requests that need no read-back
    for (size_t i = 0; i < written.size(); ++i) {
        if (cancel.load()) {
            result.cancelled = true;
            return result;
        }
        if (now() >= deadline) {
            result.timedOut = true;
            result.failed += static_cast<int64_t>(written.size() - i);
            break;
        }
        if (writer.holds(*written[i])) {
            ++result.installed;
            result.held.push_back(*written[i]);
        } else {
            ++result.failed;
            note(*written[i], Message(problem_texts::kNotKept));
        }
        step();
    }
    return result;
}

} // namespace velmora
