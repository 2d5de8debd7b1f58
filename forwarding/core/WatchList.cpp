#include "forwarding/core/WatchList.h"

#include <set>
#include <string>
#include <utility>

namespace velmora {

std::vector<WatchedMapping> WatchList(const std::vector<ForwardingEntry>& entries,
                                      const std::vector<MappingRequest>& installed)
{
    std::vector<WatchedMapping> watched;
    std::set<std::pair<std::string, uint16_t>> taken;
    auto watch = [&](const MappingRequest& request, bool reinstall) {
        // A pinhole and a mapping of the same port are two things to watch.
        const std::string kind = IsPinholeRequest(request) ? "IPv6 " + request.protocol
                                                           : request.protocol;
        if (taken.insert({kind, request.port}).second)
            watched.push_back({request, reinstall});
    };

    std::vector<ForwardingEntry> automatic;
    std::set<std::string> names;
    for (const auto& entry : entries) {
        names.insert(std::string(Field(entry.name)));
        if (Field(entry.type) == "Y")
            automatic.push_back(entry);
    }
    for (const auto& request : PlanMappings(automatic).requests)
        watch(request, true);
    for (const auto& request : installed) {
        if (names.count(request.description))
            watch(request, false);
    }
    return watched;
}

} // namespace velmora
