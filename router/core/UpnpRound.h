#pragma once

#include "router/core/RouterEntry.h"

#include <string>
#include <vector>

namespace velmora {

// What one UPnP discovery round saw, kept apart from the router list so that
// rounds can run at the same time and still be merged in the scan's order.
struct UpnpRound
{
    struct Device
    {
        std::string diagnostics; // its standard-output lines
        RouterEntryPtr router;   // null when the device is passed over
    };

    bool answered = false; // the discovery returned a device list
    std::vector<Device> devices;
};

// Appends the round's routers to `list` in order. A router whose description
// URL is already listed ends the round: it and the devices after it are
// dropped. The round's diagnostic lines, up to that device, go to `diagnostics`.
void MergeUpnpRound(RouterList& list, const UpnpRound& round, std::string& diagnostics);

// The router box's lines for a router list, entry i giving line i.
std::vector<std::string> RouterBoxLines(const RouterList& list);

} // namespace velmora
