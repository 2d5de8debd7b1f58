#include "forwarding/core/MappingMonitor.h"

#include "forwarding/core/MonitorTexts.h"
#include "platform/StopAndJoin.h"

#include <algorithm>

namespace velmora {
namespace {

std::string KeyOf(const MappingRequest& request)
{
    return request.protocol + " " + std::to_string(request.port);
}

} // namespace

MappingMonitor::MappingMonitor(Reporter reporter, MonitorOptions options)
    : options_(options), reporter_(std::move(reporter))
{
    thread_ = std::thread([this] { run(); });
}

MappingMonitor::~MappingMonitor()
{
    StopAndJoin(mutex_, stopping_, wake_, thread_);
}

void MappingMonitor::setMappings(std::vector<WatchedMapping> mappings)
{
    std::lock_guard lock(mutex_);
    mappings_ = std::move(mappings);
}

void MappingMonitor::setRouter(std::shared_ptr<MonitoredRouter> router)
{
    {
        std::lock_guard lock(mutex_);
        router_ = std::move(router);
        ++generation_;
        triggered_ = false;
        pending_.clear();
    }
    wake_.notify_all();
}

void MappingMonitor::checkSoon(std::string why)
{
    {
        std::lock_guard lock(mutex_);
        if (!router_)
            return;
        if (!why.empty())
            pending_.push_back(std::move(why));
        triggered_ = true;
    }
    wake_.notify_all();
}

uint64_t MappingMonitor::checks() const
{
    std::lock_guard lock(mutex_);
    return checks_;
}

std::chrono::seconds MappingMonitor::renewBelow() const
{
    return std::chrono::ceil<std::chrono::seconds>(options_.period * 2) + std::chrono::seconds(60);
}

void MappingMonitor::forget()
{
    known_.clear();
    address_.clear();
    silent_ = false;
}

void MappingMonitor::run()
{
    std::unique_lock lock(mutex_);
    uint64_t generation = 0;
    Clock::time_point nextCheck{};
    Clock::time_point nextProbe{};
    while (!stopping_) {
        if (!router_) {
            wake_.wait(lock);
            continue;
        }
        if (generation != generation_) {
            generation = generation_;
            forget();
            nextProbe = Clock::now(); // learn the address (and epoch) to compare with
            nextCheck = nextProbe + options_.period;
        }
        const bool due = triggered_ || Clock::now() >= nextCheck;
        if (!due && Clock::now() < nextProbe) {
            wake_.wait_until(lock, std::min(nextCheck, nextProbe));
            continue;
        }
        std::shared_ptr<MonitoredRouter> router = router_;
        const std::vector<WatchedMapping> mappings = mappings_;
        MonitorFindings findings;
        for (auto& line : pending_)
            findings.note(std::move(line), false);
        pending_.clear();
        triggered_ = false;
        lock.unlock();

        const RouterProbe probe = router->probe();
        const bool full = assessProbe(probe, findings) || due;
        if (full && probe.answered)
            checkMappings(*router, mappings, findings);
        const MonitorReport report = findings.report();

        lock.lock();
        if (generation != generation_)
            continue; // the router changed meanwhile: what was found is stale
        if (full) {
            ++checks_;
            nextCheck = Clock::now() + options_.period;
        }
        nextProbe = Clock::now() + options_.probeInterval;
        if (!report.empty() && !stopping_ && reporter_)
            reporter_(report);
    }
}

bool MappingMonitor::assessProbe(const RouterProbe& probe, MonitorFindings& findings)
{
    if (!probe.answered) {
        if (!silent_)
            findings.note(Message(monitor_texts::kSilent), true);
        silent_ = true;
        return false;
    }
    bool full = false;
    if (silent_) {
        findings.note(Message(monitor_texts::kAnswersAgain), false);
        silent_ = false;
        full = true; // it may have started afresh meanwhile
    }
    if (!probe.externalAddress.empty()) {
        if (!address_.empty() && address_ != probe.externalAddress) {
            findings.note(
                Message(monitor_texts::kAddressChanged, {address_, probe.externalAddress}), true);
            full = true;
        }
        address_ = probe.externalAddress;
    }
    if (probe.lostState) {
        findings.note(Message(monitor_texts::kStartedAfresh), false);
        full = true;
    }
    return full;
}

void MappingMonitor::checkMappings(MonitoredRouter& router,
                                   const std::vector<WatchedMapping>& mappings,
                                   MonitorFindings& findings)
{
    const auto deadline = Clock::now() + options_.checkBudget;
    for (const auto& watched : mappings) {
        if (stopping_ || Clock::now() >= deadline)
            return;
        const MappingLookup lookup = router.lookup(watched.request);
        if (lookup.state == MappingLookup::State::NoAnswer) {
            if (!silent_)
                findings.note(Message(monitor_texts::kSilent), true);
            silent_ = true;
            return;
        }
        checkOne(router, watched, lookup, findings);
    }
}

void MappingMonitor::checkOne(MonitoredRouter& router, const WatchedMapping& watched,
                              MappingLookup lookup, MonitorFindings& findings)
{
    using Kind = MonitorFindings::Kind;
    const MappingRequest& request = watched.request;
    Known& known = known_[KeyOf(request)];
    switch (lookup.state) {
    case MappingLookup::State::Held:
        if (known.seen != Seen::Fine)
            findings.add(Kind::Back, request);
        known = {};
        if (lookup.leaseSeconds > 0 && std::chrono::seconds(lookup.leaseSeconds) < renewBelow()) {
            findings.add(router.reinstall(request) ? Kind::LeaseRenewed : Kind::LeaseRenewFailed,
                         request);
        }
        break;
    case MappingLookup::State::Missing:
        if (watched.reinstall || router.keepsLeases()) {
            if (router.reinstall(request)) {
                findings.add(Kind::Readded, request);
                known = {};
            } else if (known.seen != Seen::ReaddFailed) {
                findings.add(Kind::ReaddFailed, request);
                known = {Seen::ReaddFailed, {}};
            }
        } else if (known.seen != Seen::Gone) {
            findings.add(Kind::Gone, request);
            known = {Seen::Gone, {}};
        }
        break;
    case MappingLookup::State::Taken:
        if (known.seen != Seen::Taken || known.holder != lookup.holder) {
            findings.add(Kind::Taken, request, lookup.holder);
            known = {Seen::Taken, lookup.holder};
        }
        break;
    case MappingLookup::State::NoAnswer:
        break;
    }
}

} // namespace velmora
