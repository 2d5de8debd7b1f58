#include "router/core/RestartRule.h"

namespace velmora {

RestartStep ObserveRouterDatagram(const RestartWatchState& state, const SsdpNotify& datagram)
{
    RestartStep step{state, {}};
    RestartWatchState& next = step.state;
    if (datagram.answer) {
        if (!next.bootId)
            next.bootId = datagram.bootId;
        return step;
    }
    if (datagram.nts == "ssdp:byebye") {
        next.away = true;
        return step;
    }
    if (datagram.nts != "ssdp:alive")
        return step;
    if (state.bootId && datagram.bootId && *state.bootId != *datagram.bootId) {
        step.restarted = "The router has restarted (BOOTID.UPNP.ORG " +
                         std::to_string(*state.bootId) + " to " + std::to_string(*datagram.bootId) +
                         ").";
    } else if (state.away) {
        step.restarted = "The router said goodbye and is back.";
    }
    next.away = false;
    if (datagram.bootId)
        next.bootId = datagram.bootId;
    return step;
}

} // namespace velmora
