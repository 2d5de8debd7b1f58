#include "router/core/UpnpRound.h"

#include <algorithm>

namespace velmora {

namespace {

bool Listed(const RouterList& list, const std::string& descriptionUrl)
{
    return std::any_of(list.begin(), list.end(), [&](const RouterEntryPtr& entry) {
        return entry->description_url == descriptionUrl;
    });
}

} // namespace

void MergeUpnpRound(RouterList& list, const UpnpRound& round, std::string& diagnostics)
{
    if (!round.answered)
        return;
    diagnostics += "List of UPNP devices found on the network :\n";
    for (const UpnpRound::Device& device : round.devices) {
        diagnostics += device.diagnostics;
        if (!device.router)
            continue;
        if (Listed(list, device.router->description_url))
            return;
        list.push_back(device.router);
    }
}

std::vector<std::string> RouterBoxLines(const RouterList& list)
{
    std::vector<std::string> lines;
    lines.reserve(list.size());
    for (const RouterEntryPtr& entry : list)
        lines.push_back(entry->displayName());
    return lines;
}

} // namespace velmora
