#include "app/cli/Bounded.h"
#include "app/cli/Commands.h"
#include "app/cli/ConfigRead.h"
#include "app/cli/Install.h"
#include "app/cli/RouterSearch.h"
#include "forwarding/core/MonitorFindings.h"
#include "forwarding/core/PinholePlan.h"

#include <algorithm>

namespace velmora::cli {

namespace {

// The window's words when a mapping could not be installed.
constexpr char kAddFailed[] = "Failed to add port mapping into router!";

// The entries the operands name, in list order; false, with the name told,
// when one names none.
bool ChooseEntries(const Invocation& invocation, const std::vector<ForwardingEntry>& entries,
                   std::vector<ForwardingEntry>& chosen)
{
    for (const std::string& name : invocation.operands) {
        if (std::none_of(entries.begin(), entries.end(),
                         [&](const ForwardingEntry& e) { return Field(e.name) == name; })) {
            UsageError(invocation.io,
                       "config.xml has no port forwarding entry named \"" + PlainText(name) + "\"");
            return false;
        }
    }
    for (const ForwardingEntry& entry : entries) {
        const bool named = std::find(invocation.operands.begin(), invocation.operands.end(),
                                     Field(entry.name)) != invocation.operands.end();
        if (invocation.all || named)
            chosen.push_back(entry);
    }
    return true;
}

// One line per entry: the IPv4 mappings the router now holds, then those it
// does not; then what was done over IPv6.
void PrintOutcome(const Invocation& invocation, const MappingPlan& plan,
                  const InstallResult& result)
{
    struct Outcome
    {
        std::vector<MappingRequest> added;
        std::vector<MappingRequest> failed;
    };
    std::vector<std::pair<std::string, Outcome>> entries;
    for (const MappingRequest& request : plan.requests) {
        if (IsPinholeRequest(request))
            continue;
        auto entry = std::find_if(entries.begin(), entries.end(),
                                  [&](const auto& e) { return e.first == request.description; });
        if (entry == entries.end())
            entry = entries.insert(entries.end(), {request.description, Outcome{}});
        const bool held =
            std::any_of(result.held.begin(), result.held.end(), [&](const MappingRequest& h) {
                return h.port == request.port && h.protocol == request.protocol &&
                       h.description == request.description && !IsPinholeRequest(h);
            });
        (held ? entry->second.added : entry->second.failed).push_back(request);
    }
    for (const auto& [name, outcome] : entries) {
        if (!outcome.added.empty())
            std::fprintf(invocation.io.out, "Added \"%s\": %s.\n", PlainText(name).c_str(),
                         DescribeMappings(outcome.added).c_str());
        if (!outcome.failed.empty())
            std::fprintf(invocation.io.out, "Not added \"%s\": %s.\n", PlainText(name).c_str(),
                         DescribeMappings(outcome.failed).c_str());
    }
    if (plan.invalidPorts > 0)
        std::fprintf(invocation.io.out,
                     "%lld port numbers outside 1-65535 were not sent to the router.\n",
                     static_cast<long long>(plan.invalidPorts));
}

} // namespace

int RunAdd(const Invocation& invocation)
{
    if (invocation.all == !invocation.operands.empty())
        return UsageError(invocation.io, "name the entries to add, or give --all");
    LoadedConfig config;
    if (!ReadConfig(invocation, config))
        return kExitFailure;
    std::vector<ForwardingEntry> chosen;
    if (!ChooseEntries(invocation, config.forwardings, chosen))
        return kExitUsage;
    if (chosen.empty())
        return Fail(invocation.io, "config.xml has no port forwarding entry");
    const RouterEntryPtr router = FindRouter(invocation);
    if (!router)
        return kExitFailure;

    const InstallKit kit;
    MappingPlan plan = PlanMappings(chosen);
    InstallResult result;
    RunWithin(
        DeadlineAfter(InstallOptions().budget + kAnswerDeadline),
        [&] { result = InstallEntries(*router, chosen, plan, kit); }, invocation.io, kAddFailed);
    PrintOutcome(invocation, plan, result);
    const auto pinholesFailed =
        static_cast<int64_t>(result.pinholesRequested - CountFamilies(result.held).ipv6);
    if (result.failed > pinholesFailed)
        return Fail(invocation.io, kAddFailed);
    if (pinholesFailed > 0)
        return Fail(invocation.io, "not every IPv6 pinhole could be opened in the router");
    return kExitSuccess;
}

} // namespace velmora::cli
