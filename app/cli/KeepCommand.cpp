#include "app/cli/Bounded.h"
#include "app/cli/Commands.h"
#include "app/cli/ConfigRead.h"
#include "app/cli/Install.h"
#include "app/cli/RouterSearch.h"
#include "app/cli/StopSignals.h"
#include "forwarding/core/AutoAdd.h"
#include "forwarding/core/MappingMonitor.h"
#include "forwarding/core/MonitoredRouterFor.h"
#include "forwarding/core/PinholePlan.h"
#include "platform/Log.h"
#include "router/core/BootIdListener.h"
#include "router/core/RouterOffer.h"

#include <atomic>
#include <filesystem>
#include <thread>

namespace velmora::cli {

namespace {

// A search that finds no router is tried again after this long.
constexpr std::chrono::milliseconds kSearchAgain{30000};

// Runs `job` on a thread of its own until it is done or a stop signal comes;
// its result, or nothing once stopped. A job still running then is left
// behind with what it shares.
template <class Result, class Job>
std::optional<Result> UnlessStopped(const std::shared_ptr<StopSignals>& stop, Job job)
{
    struct Shared
    {
        std::atomic<bool> done{false};
        Result result{};
    };
    auto shared = std::make_shared<Shared>();
    std::thread([shared, job, stop] {
        shared->result = job();
        shared->done = true;
        stop->wake();
    }).detach();
    if (stop->waitUntil([&] { return shared->done.load(); }))
        return std::nullopt;
    return shared->result;
}

// Each line to the activity log and to the output, as it comes.
void Tell(const Streams& io, const std::vector<std::string>& lines)
{
    for (const std::string& line : lines) {
        WriteLog("%s\n", line.c_str());
        std::fprintf(io.out, "%s\n", PlainText(line).c_str());
    }
    std::fflush(io.out);
}

// The router, searched for again until one is found or a stop signal comes.
RouterEntryPtr WaitForRouter(const Invocation& invocation, const std::shared_ptr<StopSignals>& stop)
{
    using Found = std::pair<RouterEntryPtr, std::string>; // the router, or why there is none
    bool told = false;
    for (;;) {
        const auto found = UnlessStopped<Found>(stop, [invocation] {
            std::string reason;
            RouterEntryPtr router = FindRouter(invocation, &reason);
            return Found{std::move(router), std::move(reason)};
        });
        if (!found)
            return nullptr;
        if (found->first)
            return found->first;
        if (!told) {
            std::fprintf(invocation.io.out, "%s\n", found->second.c_str());
            std::fflush(invocation.io.out);
            told = true;
        }
        if (stop->waitFor(kSearchAgain))
            return nullptr;
    }
}

} // namespace

int RunKeep(const Invocation& invocation)
{
    LoadedConfig config;
    if (!ReadConfig(invocation, config))
        return kExitFailure;
    const std::vector<ForwardingEntry> automatic = AutoAddEntries(config.forwardings);
    if (automatic.empty())
        return Fail(invocation.io, "config.xml has no port forwarding entry marked Auto add "
                                   "(type \"Y\"): nothing to keep");
    const std::shared_ptr<StopSignals> stop = StopSignals::Catch();
    std::error_code ignored; // a log that cannot be opened is said so by OpenLog
    std::filesystem::create_directories(std::filesystem::path(invocation.paths.log).parent_path(),
                                        ignored);
    OpenLog(invocation.paths.log.c_str());

    const RouterEntryPtr router = WaitForRouter(invocation, stop);
    if (!router)
        EndNow(kExitSuccess);
    std::fprintf(invocation.io.out, "Router: %s (%s, %s)\n",
                 PlainText(router->displayName()).c_str(), RouterKind(*router).c_str(),
                 RouterAddress(*router).c_str());

    // The kit renews NAT-PMP leases, pinholes and PCP mappings for as long as this runs.
    const InstallKit kit;
    const auto run = UnlessStopped<std::pair<MappingPlan, InstallResult>>(stop, [=] {
        MappingPlan plan = PlanMappings(automatic);
        InstallResult result = InstallEntries(*router, automatic, plan, kit);
        return std::make_pair(std::move(plan), std::move(result));
    });
    if (!run)
        EndNow(kExitSuccess);
    const auto& [plan, result] = *run;
    std::vector<std::string> lines = AutoAddReport(plan, result).lines;
    if (const Message pinholes = AutoAddPinholeLine(result); !pinholes.empty())
        lines.push_back(English(pinholes));
    Tell(invocation.io, lines);

    // The pinholes of the "Y" entries are watched for the address they lead to.
    const std::optional<RouterOffer> offer = KnownOfferOf(*router);
    const std::string pinholeAddress =
        offer && offer->pinholes ? offer->pinholeAddress : std::string();
    const Streams io = invocation.io;
    MappingMonitor monitor([io](const MonitorReport& report) { Tell(io, report.lines); });
    monitor.setMappings(WithPinholes(WatchList(config.forwardings, result.held), config.forwardings,
                                     pinholeAddress, IsThisComputer));
    const MonitorTarget target =
        MonitoredRouterFor(*router, *kit.leases, kit.lifetime, MappingBook(*router, kit));
    monitor.setRouter(target.router);
    const std::unique_ptr<BootIdListener> listener =
        target.announces ? RestartListenerFor(*router, monitor) : nullptr;
    stop->waitUntil([] { return false; });
    // Whatever the monitor or the keeper still wait for is left unanswered.
    EndNow(kExitSuccess);
}

} // namespace velmora::cli
