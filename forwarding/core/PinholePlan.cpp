#include "forwarding/core/PinholePlan.h"

#include "forwarding/core/HeldLease.h"
#include "forwarding/core/MonitorTexts.h"

#include <algorithm>

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

Message AutoAddPinholeLine(const InstallResult& result)
{
    if (result.pinholesRequested == 0)
        return {};
    const size_t opened = CountFamilies(result.held).ipv6;
    std::vector<Message> values{std::to_string(opened), std::to_string(result.pinholesRequested),
                                result.pinholeAddress};
    if (opened == result.pinholesRequested || result.pinholeProblem.empty())
        return Message(monitor_texts::kAutoAddPinholes, std::move(values));
    values.push_back(result.pinholeProblem);
    return Message(monitor_texts::kAutoAddPinholesBecause, std::move(values));
}

std::vector<WatchedMapping>
WithPinholes(std::vector<WatchedMapping> watched, const std::vector<ForwardingEntry>& entries,
             const std::string& address,
             const std::function<bool(const std::string&)>& isThisComputer,
             const std::set<MappingKey>& deleted)
{
    std::vector<ForwardingEntry> automatic;
    for (const auto& entry : entries) {
        if (Field(entry.type) == "Y")
            automatic.push_back(entry);
    }
    // Pinholes are leases this program holds: one that is lost is opened
    // again, whatever its entry's type, as NAT-PMP mappings are.
    for (auto& w : watched) {
        if (IsPinholeRequest(w.request))
            w.reinstall = true;
    }
    MappingPlan plan;
    AddPinholeRequests(plan, automatic, address, isThisComputer);
    for (const auto& request : plan.requests) {
        const bool known = deleted.count(KeyOfRequest(request)) > 0 ||
                           std::any_of(watched.begin(), watched.end(), [&](const auto& w) {
                               return LeaseKey(w.request) == LeaseKey(request);
                           });
        if (!known)
            watched.push_back({request, true});
    }
    return watched;
}

} // namespace velmora
