#include "forwarding/core/DualStackMonitoredRouter.h"

#include "forwarding/core/LeaseExchange.h"
#include "platform/DeadlineScale.h"
#include "router/core/PcpExchange.h"

namespace velmora {

DualStackMonitoredRouter::DualStackMonitoredRouter(std::shared_ptr<MonitoredRouter> ipv4,
                                                   std::shared_ptr<LeaseBook> book,
                                                   LeaseRoute pinholes, LeaseRoute pcpMappings,
                                                   uint32_t lease)
    : ipv4_(std::move(ipv4)), book_(std::move(book)), pinholes_(std::move(pinholes)),
      pcpMappings_(std::move(pcpMappings)), lease_(lease)
{
}

const LeaseRoute* DualStackMonitoredRouter::routeFor(const MappingRequest& request) const
{
    const LeaseRoute& route = IsPinholeRequest(request) ? pinholes_ : pcpMappings_;
    return route ? &route : nullptr;
}

bool DualStackMonitoredRouter::keepsLease(const MappingRequest& request) const
{
    return routeFor(request) != nullptr;
}

bool DualStackMonitoredRouter::keepsLeases() const
{
    // Only when every IPv4 mapping is a lease of ours too.
    return !ipv4_;
}

RouterProbe DualStackMonitoredRouter::probe()
{
    if (ipv4_)
        return ipv4_->probe();
    RouterProbe probe;
    const LeaseRoute& route = pcpMappings_ ? pcpMappings_ : pinholes_;
    PcpRequest announce;
    announce.opcode = PcpOpcode::Announce;
    const PcpOutcome outcome = ExchangePcp(route.server, route.source, announce,
                                           DeadlineAfter(ScaledDeadline(kPcpTimeout)));
    probe.answered = outcome.status == PcpOutcome::Status::Answered;
    if (!probe.answered)
        return probe;
    const auto now = std::chrono::steady_clock::now();
    if (epoch_) {
        const auto elapsed = std::chrono::duration_cast<std::chrono::seconds>(now - epochSeen_);
        probe.lostState =
            PcpEpochLost(*epoch_, outcome.answer.epoch, static_cast<uint64_t>(elapsed.count()));
    }
    epoch_ = outcome.answer.epoch;
    epochSeen_ = now;
    return probe;
}

MappingLookup DualStackMonitoredRouter::lookup(const MappingRequest& request)
{
    if (!routeFor(request))
        return ipv4_ ? ipv4_->lookup(request) : MappingLookup{};
    MappingLookup lookup;
    std::optional<HeldLease> lease = book_->find(LeaseKey(request));
    if (!lease) {
        lookup.state = MappingLookup::State::Missing;
        return lookup;
    }
    switch (ReopenHeldLease(*lease)) {
    case LeaseBook::Renewal::Renewed:
        book_->hold(*lease);
        lookup.state = MappingLookup::State::Held;
        lookup.leaseSeconds = lease->granted;
        break;
    case LeaseBook::Renewal::Reopened:
        // It was gone; the question itself opened it again, which reinstall
        // confirms.
        book_->hold(*lease);
        lookup.state = MappingLookup::State::Missing;
        break;
    case LeaseBook::Renewal::Failed:
        break; // NoAnswer
    }
    return lookup;
}

bool DualStackMonitoredRouter::reinstall(const MappingRequest& request)
{
    const LeaseRoute* route = routeFor(request);
    if (!route)
        return ipv4_ && ipv4_->reinstall(request);
    std::optional<HeldLease> held = book_->find(LeaseKey(request));
    HeldLease lease;
    if (held) {
        lease = *held;
    } else {
        lease.route = *route;
        lease.request = request;
        lease.asked = lease_;
    }
    if (held ? ReopenHeldLease(lease) == LeaseBook::Renewal::Failed
             : OpenHeldLease(lease).outcome != MappingWriter::Outcome::Written)
        return false;
    book_->hold(lease);
    return true;
}

} // namespace velmora
