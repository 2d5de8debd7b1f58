#include "forwarding/core/LeaseWriter.h"

#include "forwarding/core/LeaseExchange.h"
#include "router/core/ProblemTexts.h"

namespace velmora {

LeaseWriter::LeaseWriter(LeaseRoute route, std::shared_ptr<LeaseBook> book, uint32_t lease)
    : route_(std::move(route)), book_(std::move(book)), lease_(lease)
{
}

MappingWriter::Outcome LeaseWriter::checkFirewall()
{
    if (checked_ || route_.via != LeaseRoute::Via::UpnpPinhole)
        return firewall_;
    checked_ = true;
    const FirewallStatus status = ReadFirewallStatus(route_);
    if (!status.answered) {
        firewall_ = Outcome::Unreachable;
        firewallProblem_ = status.problem;
    } else if (!status.enabled) {
        firewall_ = Outcome::Refused;
        firewallProblem_ = Message(problem_texts::kFirewallOff);
    } else if (!status.inboundAllowed) {
        firewall_ = Outcome::Refused;
        firewallProblem_ = Message(problem_texts::kNoInboundPinholes);
    }
    return firewall_;
}

MappingWriter::Outcome LeaseWriter::write(const MappingRequest& request)
{
    if (checkFirewall() != Outcome::Written) {
        problem_ = firewallProblem_;
        return firewall_;
    }
    HeldLease lease;
    lease.route = route_;
    lease.request = request;
    lease.asked = lease_;
    const LeaseOpening opening = OpenHeldLease(lease);
    problem_ = opening.problem;
    if (opening.outcome == Outcome::Written)
        book_->hold(lease);
    return opening.outcome;
}

bool LeaseWriter::holds(const MappingRequest& request)
{
    const std::optional<HeldLease> lease = book_->find(LeaseKey(request));
    if (lease && HeldLeaseStands(*lease))
        return true;
    // Not kept by the router: nothing to renew, nothing to show.
    book_->release(LeaseKey(request));
    return false;
}

DualStackWriter::DualStackWriter(std::unique_ptr<MappingWriter> ipv4,
                                 std::unique_ptr<MappingWriter> ipv6)
    : ipv4_(std::move(ipv4)), ipv6_(std::move(ipv6))
{
}

MappingWriter* DualStackWriter::writerFor(const MappingRequest& request) const
{
    return IsPinholeRequest(request) ? ipv6_.get() : ipv4_.get();
}

MappingWriter::Outcome DualStackWriter::write(const MappingRequest& request)
{
    last_ = writerFor(request);
    return last_ ? last_->write(request) : Outcome::Refused;
}

bool DualStackWriter::holds(const MappingRequest& request)
{
    MappingWriter* writer = writerFor(request);
    return writer && writer->holds(request);
}

} // namespace velmora
