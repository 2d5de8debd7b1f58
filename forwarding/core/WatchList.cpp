#include "forwarding/core/WatchList.h"

#include <algorithm>
#include <cctype>

namespace velmora {

MappingKey KeyOfMapping(std::string_view protocol, uint16_t port)
{
    std::string upper(protocol);
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return {std::move(upper), port};
}

MappingKey KeyOfRequest(const MappingRequest& request)
{
    return KeyOfMapping(IsPinholeRequest(request) ? "IPv6 " + request.protocol : request.protocol,
                        request.port);
}

std::vector<WatchedMapping> WatchList(const std::vector<ForwardingEntry>& entries,
                                      const std::vector<MappingRequest>& installed,
                                      const std::set<MappingKey>& deleted)
{
    std::vector<WatchedMapping> watched;
    std::set<MappingKey> taken = deleted;
    auto watch = [&](const MappingRequest& request, bool reinstall) {
        // A pinhole and a mapping of the same port are two things to watch.
        if (taken.insert(KeyOfRequest(request)).second)
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

void ForgetInstalled(std::vector<MappingRequest>& installed, const ForwardingEntry& before,
                     const ForwardingEntry* after)
{
    const std::vector<MappingRequest> kept =
        after ? PlanMappings({*after}).requests : std::vector<MappingRequest>{};
    const auto stillMade = [&](const MappingRequest& request) {
        return std::any_of(kept.begin(), kept.end(), [&](const MappingRequest& k) {
            return k.port == request.port && k.protocol == request.protocol &&
                   k.internalClient == request.internalClient &&
                   k.description == request.description;
        });
    };
    const std::string_view name = Field(before.name);
    std::erase_if(installed, [&](const MappingRequest& request) {
        return request.description == name && !stillMade(request);
    });
}

} // namespace velmora
