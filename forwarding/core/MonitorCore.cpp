#include "forwarding/core/MonitorCore.h"

#include "forwarding/core/MonitorTexts.h"

#include <algorithm>

namespace velmora {
namespace {

std::string KeyOf(const MappingRequest& request)
{
    return request.protocol + " " + std::to_string(request.port);
}

} // namespace

MonitorCore::MonitorCore(MonitorOptions options) : options_(std::move(options)) {}

void MonitorCore::restart()
{
    known_.clear();
    address_.clear();
    silent_ = false;
    unchecked_ = false;
    cursor_ = 0;
    nextProbe_ = options_.clock(); // learn the address (and epoch) to compare with
    nextCheck_ = nextProbe_ + options_.period;
}

MonitorCore::Clock::time_point MonitorCore::nextRound() const
{
    return std::min(nextCheck_, nextProbe_);
}

std::chrono::seconds MonitorCore::renewBelow() const
{
    return std::chrono::ceil<std::chrono::seconds>(options_.period * 2) + std::chrono::seconds(60);
}

MonitorCore::Round MonitorCore::run(MonitoredRouter& router,
                                    const std::vector<WatchedMapping>& mappings,
                                    std::vector<std::string> lines, bool triggered,
                                    const std::atomic<bool>& stop)
{
    MonitorFindings findings;
    for (auto& line : lines)
        findings.note(std::move(line), false);
    const bool due = triggered || options_.clock() >= nextCheck_;

    Round round;
    const RouterProbe probe = router.probe();
    round.checked = assessProbe(probe, findings) || due;
    if (round.checked && probe.answered)
        checkMappings(router, mappings, stop, findings);
    if (round.checked)
        nextCheck_ = options_.clock() + options_.period;
    nextProbe_ = options_.clock() + options_.probeInterval;
    round.report = findings.report();
    return round;
}

void MonitorCore::noteSilence(MonitorFindings& findings)
{
    if (!silent_)
        findings.note(Message(monitor_texts::kSilent), true);
    silent_ = true;
}

bool MonitorCore::assessProbe(const RouterProbe& probe, MonitorFindings& findings)
{
    if (!probe.answered) {
        noteSilence(findings);
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

void MonitorCore::checkMappings(MonitoredRouter& router,
                                const std::vector<WatchedMapping>& mappings,
                                const std::atomic<bool>& stop, MonitorFindings& findings)
{
    const auto deadline = options_.clock() + options_.checkBudget;
    const size_t count = mappings.size();
    const size_t start = count ? cursor_ % count : 0;
    int unknownError = 0;  // the first error this check could not read as an answer
    bool answered = false; // some lookup got a plain answer
    for (size_t step = 0; step < count; ++step) {
        const size_t at = (start + step) % count;
        if (stop || options_.clock() >= deadline) {
            cursor_ = at; // the next check begins with what this one did not reach
            break;
        }
        const MappingLookup lookup = router.lookup(mappings[at].request);
        if (lookup.state == MappingLookup::State::NoAnswer) {
            noteSilence(findings);
            cursor_ = at;
            return;
        }
        if (lookup.state == MappingLookup::State::Unknown) {
            if (unknownError == 0)
                unknownError = lookup.error;
            continue; // neither missing nor held: nothing about it changes
        }
        answered = true;
        checkOne(router, mappings[at], lookup, findings);
    }
    if (unknownError != 0 && !unchecked_) {
        findings.note(Message(monitor_texts::kUnchecked, {std::to_string(unknownError)}), true);
        unchecked_ = true;
    } else if (unknownError == 0 && answered && unchecked_) {
        findings.note(Message(monitor_texts::kCheckableAgain), false);
        unchecked_ = false;
    }
}

void MonitorCore::checkOne(MonitoredRouter& router, const WatchedMapping& watched,
                           const MappingLookup& lookup, MonitorFindings& findings)
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
    case MappingLookup::State::Unknown:
    case MappingLookup::State::NoAnswer:
        break;
    }
}

} // namespace velmora
