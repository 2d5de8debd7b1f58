#include "app/cli/Install.h"

#include "forwarding/core/DualStackInstall.h"
#include "forwarding/core/MappingWriterFor.h"
#include "forwarding/core/PinholePlan.h"

namespace velmora::cli {

namespace {

std::string Because(const Message& problem)
{
    return problem.empty() ? "" : " (" + English(problem) + ")";
}

// "N of M pinholes opened for ADDRESS." and why the rest were not.
std::string Opened(const InstallResult& result)
{
    const FamilyCounts held = CountFamilies(result.held);
    return std::to_string(held.ipv6) + " of " + std::to_string(result.pinholesRequested) +
           " pinholes opened for " + result.pinholeAddress + "." +
           (held.ipv6 < result.pinholesRequested ? Because(result.pinholeProblem) : "");
}

} // namespace

std::shared_ptr<LeaseBook> MappingBook(const RouterEntry& router, const InstallKit& kit)
{
    return router.is_apple ? nullptr : kit.book;
}

InstallResult InstallEntries(RouterEntry& router, const std::vector<ForwardingEntry>& entries,
                             MappingPlan& plan, const InstallKit& kit)
{
    std::unique_ptr<MappingWriter> writer =
        MappingWriterFor(router, kit.leases, kit.lifetime, MappingBook(router, kit));
    PreparePinholes(router, entries, kit.book, kit.lifetime, plan, writer);
    const std::atomic<bool> never{false};
    return InstallMappings(plan, *writer, never, {});
}

std::vector<std::string> PinholeOutcome(const InstallResult& result)
{
    if (result.pinholesRequested == 0)
        return {};
    std::vector<std::string> lines{"IPv6: " + Opened(result)};
    if (CountFamilies(result.held).ipv6 > 0)
        lines.push_back("Over IPv6 a program on this computer is reachable at [" +
                        result.pinholeAddress + "]:port.");
    return lines;
}

} // namespace velmora::cli
