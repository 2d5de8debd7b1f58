#pragma once

#include "forwarding/core/RouterMappings.h"
#include "router/core/RouterEntry.h"
#include "tests/lab/LabEnvironment.h"

#include <gtest/gtest.h>
#include <memory>
#include <miniupnpc/miniupnpc.h>
#include <miniupnpc/upnpcommands.h>
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

// Leaves the lab with a UPnP and NAT-PMP router, not in secure mode, that
// holds no mapping: the state every forwarding lab test starts from.
inline void RestoreCleanLabRouter(lab::LabEnvironment& lab)
{
    if (!lab.routerRunning() || lab.value("SECURE_MODE") != "no" ||
        lab.value("ROUTER_MODE") != "both") {
        lab.stopRouter();
        ASSERT_TRUE(lab.startRouter(lab::RouterMode::Both));
    }
    auto fresh = UpnpRouter(lab.descriptionUrl());
    ASSERT_NE(fresh, nullptr);
    for (const auto& m : lab.routerMappings())
        DeletePortMapping(EndpointOf(*fresh), std::to_string(m.externalPort),
                          m.protocol == "tcp" ? "TCP" : "UDP");
    EXPECT_TRUE(lab.routerMappings().empty());
}

} // namespace velmora::test
