#include "forwarding/core/AutoAdd.h"

#include "forwarding/core/MonitorTexts.h"

#include <algorithm>
#include <string>

namespace velmora {

std::vector<ForwardingEntry> AutoAddEntries(const std::vector<ForwardingEntry>& entries)
{
    std::vector<ForwardingEntry> automatic;
    for (const auto& entry : entries) {
        if (Field(entry.type) == "Y")
            automatic.push_back(entry);
    }
    return automatic;
}

MonitorReport AutoAddReport(const MappingPlan& plan, const InstallResult& result)
{
    using Kind = MonitorFindings::Kind;
    MonitorFindings findings;
    if (plan.invalidPorts > 0) {
        findings.note(
            Message(monitor_texts::kAutoAddInvalidPorts, {std::to_string(plan.invalidPorts)}),
            true);
    }
    for (const auto& request : plan.requests) {
        const bool held = std::any_of(result.held.begin(), result.held.end(), [&](const auto& h) {
            return h.port == request.port && h.protocol == request.protocol &&
                   h.description == request.description &&
                   IsPinholeRequest(h) == IsPinholeRequest(request);
        });
        findings.add(held ? Kind::AutoAdded : Kind::AutoAddFailed, request);
    }
    return findings.report();
}

} // namespace velmora
