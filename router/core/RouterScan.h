#pragma once

#include "router/core/UpnpRound.h"

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

// The network work of one router scan, without the window: UPnP rounds on
// the default interface and on each local address, and the NAT-PMP probe.
// The rounds and the probe run at the same time; the list keeps the order
// of a scan that ran them one after another: routers from the default
// interface, then from each local address in order, then the NAT-PMP gateway.
namespace velmora {

struct RouterScanSteps
{
    std::function<UpnpRound(const std::string& interfaceAddress)> discover;
    std::function<RouterEntryPtr()> probeNatPmp;
};

// The steps through miniupnpc and libnatpmp.
RouterScanSteps NetworkScanSteps();

} // namespace velmora

// Runs one scan; its diagnostic lines go to `diagnostics` in the scan's order.
velmora::RouterList ScanRouters(const std::vector<std::string>& localAddresses,
                                const velmora::RouterScanSteps& steps,
                                std::FILE* diagnostics = stdout);
