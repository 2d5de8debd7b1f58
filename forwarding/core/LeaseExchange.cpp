#include "forwarding/core/LeaseExchange.h"

#include "platform/DeadlineScale.h"
#include "router/core/PcpExchange.h"
#include "router/core/ProblemTexts.h"
#include "upnp/core/PinholeRequest.h"
#include "upnp/core/UpnpClient.h"

namespace velmora {
namespace {

using Outcome = MappingWriter::Outcome;

// The own client pointed at a route's firewall control service.
struct PinholeClient
{
    explicit PinholeClient(const LeaseRoute& route)
    {
        client.init_client(kPinholeConnectAttempts);
        client.setRouterInfo(RouterInfo::forService(route.controlUrl, route.serviceType));
        client.source_address = route.source;
    }
    // Why the last action failed.
    Message problem() const { return DescribePinholeFailure(client); }
    // No connection, or no answer at all: the router is silent.
    bool silent() const { return client.upnp_error == 0; }

    UpnpClient client;
};

int Protocol(const MappingRequest& request)
{
    return PcpProtocolOf(request.protocol);
}

PcpOutcome ExchangeMap(const HeldLease& lease, uint32_t lifetime)
{
    const PcpRequest map =
        PcpMap(lease.request.protocol, lease.request.port, lifetime, lease.nonce, !lease.ipv6());
    return ExchangePcp(lease.route.server, lease.route.source, map,
                       DeadlineAfter(ScaledDeadline(kPcpTimeout)));
}

bool Granted(const PcpOutcome& outcome)
{
    return outcome.status == PcpOutcome::Status::Answered &&
           outcome.answer.result == pcp_result::kSuccess && outcome.answer.lifetime > 0;
}

// Takes a PCP grant into the lease; true when the server had lost its state since the last one.
bool TakePcpGrant(HeldLease& lease, const PcpAnswer& answer)
{
    const auto now = HeldLease::Clock::now();
    const uint64_t elapsed =
        std::chrono::duration_cast<std::chrono::seconds>(now - lease.grantedAt).count();
    const bool lost = lease.epoch && PcpEpochLost(*lease.epoch, answer.epoch, elapsed);
    lease.epoch = answer.epoch;
    lease.granted = answer.lifetime;
    lease.grantedAt = now;
    return lost;
}

LeaseOpening OpenPcp(HeldLease& lease)
{
    if (Protocol(lease.request) == 0)
        return {Outcome::Refused, Message(problem_texts::kNotTcpOrUdp)};
    lease.nonce = NewPcpNonce();
    const PcpOutcome outcome = ExchangeMap(lease, lease.asked);
    if (!Granted(outcome)) {
        const bool silent = outcome.status != PcpOutcome::Status::Answered;
        return {silent ? Outcome::Unreachable : Outcome::Refused, DescribePcpOutcome(outcome)};
    }
    if (outcome.answer.externalPort != lease.request.port) {
        // The port is taken and the gateway offered another one: not what the
        // entry asks for, so give it back.
        ExchangeMap(lease, 0);
        return {Outcome::Refused, Message(problem_texts::kOtherPortOffered,
                                          {std::to_string(outcome.answer.externalPort)})};
    }
    lease.epoch.reset();
    TakePcpGrant(lease, outcome.answer);
    return {Outcome::Written, {}};
}

LeaseOpening OpenUpnp(HeldLease& lease)
{
    PinholeClient pinhole(lease.route);
    uint16_t id = 0;
    if (!pinhole.client.AddPinhole(lease.request.internalClient, lease.request.port,
                                   Protocol(lease.request), lease.asked, id))
        return {pinhole.silent() ? Outcome::Unreachable : Outcome::Refused, pinhole.problem()};
    lease.uniqueId = id;
    lease.granted = lease.asked; // the action has no answer of its own for the lease
    lease.grantedAt = HeldLease::Clock::now();
    return {Outcome::Written, {}};
}

} // namespace

LeaseOpening OpenHeldLease(HeldLease& lease)
{
    switch (lease.route.via) {
    case LeaseRoute::Via::UpnpPinhole:
        return OpenUpnp(lease);
    case LeaseRoute::Via::Pcp:
        return OpenPcp(lease);
    case LeaseRoute::Via::None:
        break;
    }
    return {Outcome::Refused, Message(problem_texts::kNoWayToOpen)};
}

LeaseBook::Renewal ReopenHeldLease(HeldLease& lease)
{
    using Renewal = LeaseBook::Renewal;
    if (lease.route.via == LeaseRoute::Via::Pcp) {
        const PcpOutcome outcome = ExchangeMap(lease, lease.asked);
        if (!Granted(outcome))
            return Renewal::Failed;
        return TakePcpGrant(lease, outcome.answer) ? Renewal::Reopened : Renewal::Renewed;
    }
    // A router that restarted counts its identifiers from the start again:
    // ours may name another pinhole now, or none. Lost when the router does
    // not know it, or when opening it again gives another one.
    const uint16_t before = lease.uniqueId;
    bool lost = !HeldLeaseStands(lease);
    if (OpenUpnp(lease).outcome != Outcome::Written)
        return Renewal::Failed;
    lost = lost || lease.uniqueId != before;
    return lost ? Renewal::Reopened : Renewal::Renewed;
}

LeaseBook::Renewal RenewHeldLease(HeldLease& lease)
{
    if (lease.route.via != LeaseRoute::Via::UpnpPinhole)
        return ReopenHeldLease(lease);
    PinholeClient pinhole(lease.route);
    if (pinhole.client.UpdatePinhole(lease.uniqueId, lease.asked)) {
        lease.granted = lease.asked;
        lease.grantedAt = HeldLease::Clock::now();
        return LeaseBook::Renewal::Renewed;
    }
    // A router that no longer knows the identifier lost the pinhole (routers
    // say 704, or 402 for an identifier they never gave).
    if (pinhole.silent())
        return LeaseBook::Renewal::Failed;
    return ReopenHeldLease(lease);
}

bool HeldLeaseStands(const HeldLease& lease)
{
    if (lease.route.via != LeaseRoute::Via::UpnpPinhole)
        return true;
    PinholeClient pinhole(lease.route);
    bool working = false;
    // 709: no traffic came through yet, which says the pinhole is there.
    return pinhole.client.CheckPinholeWorking(lease.uniqueId, working) ||
           pinhole.client.upnp_error == 709;
}

bool CloseHeldLease(const HeldLease& lease, Message* problem)
{
    if (lease.route.via == LeaseRoute::Via::Pcp) {
        const PcpOutcome outcome = ExchangeMap(lease, 0);
        const bool closed = outcome.status == PcpOutcome::Status::Answered &&
                            outcome.answer.result == pcp_result::kSuccess;
        if (!closed && problem)
            *problem = DescribePcpOutcome(outcome);
        return closed;
    }
    PinholeClient pinhole(lease.route);
    const bool closed = pinhole.client.DeletePinhole(lease.uniqueId);
    if (!closed && problem)
        *problem = pinhole.problem();
    return closed;
}

} // namespace velmora
