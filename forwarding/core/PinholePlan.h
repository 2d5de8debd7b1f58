#pragma once

#include "forwarding/core/MappingInstaller.h"
#include "forwarding/core/MappingPlan.h"
#include "forwarding/core/WatchList.h"

#include <functional>
#include <string>
#include <vector>

namespace velmora {

// Appends to `plan`, after its IPv4 requests, one pinhole request per port
// and protocol of each entry whose Internal IP is this computer
// (`isThisComputer`), leading to the computer's global IPv6 `address`.
// Invalid ports were counted with the IPv4 requests already.
void AddPinholeRequests(MappingPlan& plan, const std::vector<ForwardingEntry>& entries,
                        const std::string& address,
                        const std::function<bool(const std::string&)>& isThisComputer);

// The pinhole requests and the IPv4 ones of a list of requests, counted.
struct FamilyCounts
{
    size_t ipv4 = 0;
    size_t ipv6 = 0;
};
FamilyCounts CountFamilies(const std::vector<MappingRequest>& requests);

// The activity-log line of an auto add that also opened pinholes, with why
// some were not opened; empty for a run without pinholes.
Message AutoAddPinholeLine(const InstallResult& result);

// The watch list with the pinholes of the entries whose type is "Y" and that
// lead to this computer added, for `address`; every pinhole watched is
// reinstalled when missing;
// pinholes already watched, or in `deleted` (the user deleted them), are not added.
std::vector<WatchedMapping>
WithPinholes(std::vector<WatchedMapping> watched, const std::vector<ForwardingEntry>& entries,
             const std::string& address,
             const std::function<bool(const std::string&)>& isThisComputer,
             const std::set<MappingKey>& deleted = {});

} // namespace velmora
