#pragma once

#include "router/core/RouterEntry.h"

namespace velmora {

// What the Port Forwarding tab needs from the main window.
class ForwardingHost
{
public:
    virtual ~ForwardingHost() = default;

    virtual bool routerFound() const = 0;
    // The router of the router box's selected line, or null.
    virtual RouterEntryPtr selectedRouter() const = 0;
    // Writes config.xml from the current lists and settings; on failure the
    // user has been told and false comes back.
    virtual bool saveConfig() = 0;
};

} // namespace velmora
