#pragma once

#include "app/cli/Invocation.h"
#include "router/core/RouterEntry.h"

#include <chrono>
#include <functional>
#include <string>

namespace velmora::cli {

// How long a search may take, as the window gives its scan.
inline constexpr std::chrono::milliseconds kSearchDeadline{20000};

// Searches the network as the window's scan does and returns the routers
// found, in the router box's order, as soon as `enough` holds for them or the
// search is over; at the deadline, what was found by then. The search's
// thread is left behind when it is not over: the process ends without
// waiting for it.
RouterList SearchRouters(const std::function<bool(const RouterList&)>& enough = {},
                         std::chrono::milliseconds deadline = kSearchDeadline);

// "UPnP IGD:1", "UPnP IGD:2" or "NAT-PMP".
std::string RouterKind(const RouterEntry& router);
// The router's LAN address, dotted.
std::string RouterAddress(RouterEntry& router);
// Whether --router CHOICE names the router: its name as the router box shows
// it, its address or its description URL.
bool RouterNamed(RouterEntry& router, const std::string& choice);

// The router a command talks to: the one --router names, else the first
// UPnP router found, else the NAT-PMP gateway. Null when there is none, with
// the reason in `reason`, or told as the command's failure when that is null.
RouterEntryPtr FindRouter(const Invocation& invocation, std::string* reason = nullptr);

// What the window's router-not-found dialog says first.
inline constexpr char kRouterNotFound[] =
    "Failed to find your router. Please try to login your router, then enable UPnP or NAT-PMP "
    "option and try again.";

} // namespace velmora::cli
