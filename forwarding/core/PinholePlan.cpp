#include "forwarding/core/PinholePlan.h"

#include "forwarding/core/HeldLease.h"

namespace velmora {

void AddPinholeRequests(MappingPlan& plan, const std::vector<ForwardingEntry>& entries,
                        const std::string& address,
                        const std::function<bool(const std::string&)>& isThisComputer)
{
    if (address.empty())
        return;
    std::vector<ForwardingEntry> local;
    for (const auto& entry : entries) {
        if (isThisComputer(std::string(Field(entry.destination_ip))))
            local.push_back(entry);
    }
    for (MappingRequest request : PlanMappings(local).requests) {
        request.internalClient = address;
        plan.requests.push_back(std::move(request));
    }
}

FamilyCounts CountFamilies(const std::vector<MappingRequest>& requests)
{
    FamilyCounts counts;
    for (const auto& request : requests)
        ++(IsPinholeRequest(request) ? counts.ipv6 : counts.ipv4);
    return counts;
}

} // namespace velmora
