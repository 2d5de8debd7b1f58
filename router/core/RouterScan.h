#pragma once

#include "router/core/ScanBoard.h"
#include "router/core/UpnpRound.h"

#include <atomic>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

// The network work of one router scan, without the window: the UPnP search on
// the default interface and on each local address, and the NAT-PMP probe, all
// at once. The list keeps the order of a scan that ran them one after
// another: routers from the default interface, then from each local address
// in order, then the NAT-PMP gateway.
namespace velmora {

struct RouterScanSteps
{
    // The UPnP search: fills `board` (round 0: the default interface, round k:
    // the k-th local address) and returns when it is over, or soon after
    // `cancel`.
    using Search = std::function<void(const std::vector<std::string>& localAddresses,
                                      ScanBoard& board, const std::atomic<bool>& cancel)>;
    Search searchUpnp;
    std::function<RouterEntryPtr()> probeNatPmp;
};

// The steps on our own SSDP sockets and libnatpmp.
RouterScanSteps NetworkScanSteps();

// A search made of one discovery per round that returns the whole round when
// it is done; the rounds run at the same time.
RouterScanSteps::Search SearchByRounds(std::function<UpnpRound(const std::string&)> discover);

// Called with the router list each time it changes while the scan runs (see
// ScanBoard::Changed: on a thread of the scan, in order).
using ScanProgress = std::function<void(const RouterList&)>;

} // namespace velmora

// Runs one scan; returns when every step has ended, with the final list. Its
// diagnostic lines go to `diagnostics` in the scan's order.
velmora::RouterList ScanRouters(const std::vector<std::string>& localAddresses,
                                const velmora::RouterScanSteps& steps,
                                std::FILE* diagnostics = stdout,
                                const velmora::ScanProgress& progress = {},
                                const std::atomic<bool>* cancel = nullptr);
