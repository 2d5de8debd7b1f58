#pragma once

#include "router/core/SsdpNotify.h"

#include <cstdint>
#include <optional>
#include <string>

namespace velmora {

// What the restart watch knows of one router between two of its datagrams.
struct RestartWatchState
{
    std::optional<uint32_t> bootId; // the BOOTID.UPNP.ORG last seen
    bool away = false;              // it said goodbye and has not been alive since
};

struct RestartStep
{
    RestartWatchState state;
    std::string restarted; // why it is taken to have started again; empty when not
};

// The rule of the restart watch, for one datagram from the router: an
// ssdp:alive with another boot id than the one known (from an earlier
// announcement or the answer to the watch's own search), or the first
// ssdp:alive after an ssdp:byebye, is a restart.
RestartStep ObserveRouterDatagram(const RestartWatchState& state, const SsdpNotify& datagram);

} // namespace velmora
