#include "router/core/RouterScan.h"

#include "router/core/NatPmpProbe.h"
#include "router/core/UpnpDiscovery.h"

#include <future>

namespace {

void Write(std::FILE* out, const std::string& text)
{
    if (!out || text.empty())
        return;
    std::fputs(text.c_str(), out);
    std::fflush(out);
}

} // namespace

namespace velmora {

RouterScanSteps NetworkScanSteps()
{
    return {[](const std::string& address) { return DiscoverUpnpRouters(address); },
            [] { return ProbeNatPmpRouter(); }};
}

} // namespace velmora

velmora::RouterList ScanRouters(const std::vector<std::string>& localAddresses,
                                const velmora::RouterScanSteps& steps, std::FILE* diagnostics)
{
    // Every round waits about two seconds for answers: start them all at
    // once. The futures join their threads however this function ends.
    auto natPmp = std::async(std::launch::async, steps.probeNatPmp);
    std::vector<std::future<velmora::UpnpRound>> rounds;
    rounds.reserve(localAddresses.size() + 1);
    rounds.push_back(std::async(std::launch::async, steps.discover, std::string()));
    for (const std::string& address : localAddresses)
        rounds.push_back(std::async(std::launch::async, steps.discover, address));

    velmora::RouterList list;
    for (size_t round = 0; round < rounds.size(); ++round) {
        std::string lines;
        if (round > 0) {
            char heading[64] = {};
            std::snprintf(heading, sizeof heading, "Address %zu : ", round - 1);
            lines = heading + localAddresses[round - 1] + "\n";
        }
        velmora::MergeUpnpRound(list, rounds[round].get(), lines);
        Write(diagnostics, lines);
    }
    if (velmora::RouterEntryPtr gateway = natPmp.get())
        list.push_back(std::move(gateway));
    return list;
}
