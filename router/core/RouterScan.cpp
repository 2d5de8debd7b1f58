#include "router/core/RouterScan.h"

#include "router/core/NatPmpProbe.h"
#include "router/core/UpnpSearch.h"

#include <thread>

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
    return {&SearchUpnpRouters, [] { return ProbeNatPmpRouter(); }};
}

RouterScanSteps::Search SearchByRounds(std::function<UpnpRound(const std::string&)> discover)
{
    return [discover = std::move(discover)](const std::vector<std::string>& localAddresses,
                                            ScanBoard& board, const std::atomic<bool>&) {
        std::vector<std::jthread> rounds; // joined however this ends
        auto round = [&](size_t k, const std::string& address) {
            try {
                board.addRound(k, discover(address));
            } catch (const std::exception&) {
                // a round that fails hears nothing
            }
        };
        rounds.emplace_back(round, 0, std::string());
        for (size_t k = 0; k < localAddresses.size(); ++k)
            rounds.emplace_back(round, k + 1, localAddresses[k]);
    };
}

} // namespace velmora

velmora::RouterList ScanRouters(const std::vector<std::string>& localAddresses,
                                const velmora::RouterScanSteps& steps, std::FILE* diagnostics,
                                const velmora::ScanProgress& progress,
                                const std::atomic<bool>* cancel)
{
    const std::atomic<bool> never{false};
    velmora::ScanBoard board(localAddresses.size() + 1, progress);
    {
        // The probe runs beside the search; the thread is joined however this ends.
        std::jthread natPmp([&] {
            try {
                board.setNatPmp(steps.probeNatPmp());
            } catch (const std::exception&) {
                // a probe that fails finds no gateway
            }
        });
        steps.searchUpnp(localAddresses, board, cancel ? *cancel : never);
    }
    Write(diagnostics, board.diagnostics(localAddresses));
    return board.list();
}
