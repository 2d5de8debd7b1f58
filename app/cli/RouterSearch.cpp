#include "app/cli/RouterSearch.h"

#include "forwarding/core/RouterMappings.h"
#include "platform/Deadline.h"
#include "platform/NetworkInterfaces.h"
#include "router/core/RouterScan.h"
#include "upnp/core/PortMappingList.h"
#include "upnp/core/UrlParts.h"

#include <algorithm>
#include <arpa/inet.h>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace velmora::cli {

namespace {

// What the search's thread and the waiting command share; the thread keeps
// it alive when it is left behind.
struct SearchState
{
    std::mutex mutex;
    std::condition_variable changed;
    RouterList routers;
    bool over = false;
};

} // namespace

RouterList SearchRouters(const std::function<bool(const RouterList&)>& enough,
                         std::chrono::milliseconds deadline)
{
    const Deadline end = DeadlineAfter(deadline);
    auto state = std::make_shared<SearchState>();
    std::thread([state] {
        RouterList found;
        try {
            // Routers are handed over as they are confirmed, so a command
            // goes on as soon as it has the one it wants.
            found = ScanRouters(LocalIPv4Addresses(), NetworkScanSteps(), nullptr,
                                [&state = *state](const RouterList& routers) {
                                    std::lock_guard lock(state.mutex);
                                    state.routers = routers;
                                    state.changed.notify_all();
                                });
        } catch (const std::exception&) {
            // a failed search finds nothing
        }
        std::lock_guard lock(state->mutex);
        state->routers = std::move(found);
        state->over = true;
        state->changed.notify_all();
    }).detach();

    std::unique_lock lock(state->mutex);
    state->changed.wait_until(lock, end, [&] {
        return state->over || (enough && !state->routers.empty() && enough(state->routers));
    });
    return state->routers;
}

std::string RouterKind(const RouterEntry& router)
{
    if (router.is_apple)
        return "NAT-PMP";
    return EndpointOf(router).serviceType == kWanIpConnection2 ? "UPnP IGD:2" : "UPnP IGD:1";
}

std::string RouterAddress(RouterEntry& router)
{
    if (router.is_apple) {
        in_addr address{NatPmpGatewayOf(router)};
        char text[INET_ADDRSTRLEN] = {};
        return inet_ntop(AF_INET, &address, text, sizeof text) ? text : "";
    }
    std::string host;
    uint16_t port = 0;
    std::string path;
    return parseUrl(router.description_url, host, port, path) ? host : "";
}

bool RouterNamed(RouterEntry& router, const std::string& choice)
{
    return router.displayName() == choice || RouterAddress(router) == choice ||
           (!router.is_apple && router.description_url == choice);
}

RouterEntryPtr FindRouter(const Invocation& invocation, std::string* reason)
{
    const auto chosen = [&](const RouterList& routers) -> RouterEntryPtr {
        for (const RouterEntryPtr& router : routers) {
            if (invocation.router ? RouterNamed(*router, *invocation.router) : !router->is_apple)
                return router;
        }
        return nullptr;
    };
    const RouterList routers =
        SearchRouters([&](const RouterList& found) { return chosen(found) != nullptr; });
    if (RouterEntryPtr router = chosen(routers))
        return router;
    if (!invocation.router && !routers.empty())
        return routers.back(); // the NAT-PMP gateway
    std::string why = kRouterNotFound;
    if (!routers.empty()) {
        std::string names;
        for (const RouterEntryPtr& router : routers)
            names += (names.empty() ? "" : ", ") + PlainText(router->displayName());
        why = "no router found is named \"" + PlainText(*invocation.router) +
              "\" (found: " + names + ")";
    }
    if (reason)
        *reason = why;
    else
        Fail(invocation.io, why);
    return nullptr;
}

} // namespace velmora::cli
