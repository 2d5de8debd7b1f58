#pragma once

#include "router/core/RouterEntry.h"

#include <miniupnpc/miniupnpc.h>
#include <miniupnpc/upnpcommands.h>

#include <memory>
#include <string>

namespace velmora::test {

// A UPnP router as the scan finds it, read from its description URL; null
// when the description names no connected gateway.
inline RouterEntryPtr UpnpRouter(const std::string& descriptionUrl)
{
    auto router = std::make_shared<RouterEntry>();
    char lan[64] = {};
    if (UPNP_GetIGDFromUrl(descriptionUrl.c_str(), &router->urls, &router->data, lan, sizeof lan) ==
        0)
        return nullptr;
    router->description_url = descriptionUrl;
    router->lan_address = lan;
    return router;
}

} // namespace velmora::test
