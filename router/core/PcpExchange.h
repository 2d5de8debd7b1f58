#pragma once

#include "platform/Deadline.h"
#include "platform/Message.h"
#include "router/core/PcpMessage.h"

#include <string>

namespace velmora {

// How one PCP request went.
struct PcpOutcome
{
    enum class Status
    {
        Answered,   // a matching PCP answer (`answer.result` says whether it succeeded)
        NatPmpOnly, // the server answered in NAT-PMP: it does not speak PCP
        OldVersion, // the server speaks only a PCP version before 2
        Refused,    // nothing listens on the server's PCP port
        NoAnswer,   // nothing came back before the deadline
        Mismatched, // answers came, but none belongs to the request (`problem` says why)
        Failed      // no socket, or a socket error
    };
    Status status = Status::Failed;
    PcpAnswer answer;
    Message problem;
    in6_addr client{}; // the client address the request carried
};

// Sends `request` to the PCP server at `server` ("192.168.1.1", "fe80::1%eth0")
// from `source` (a local address; empty: the one the system picks, which the
// request then names as its client), resending on RFC 6887's schedule, and
// waits for its answer until `deadline`. Answers for other requests are
// dropped as the RFC says; a NAT-PMP answer ends the exchange (section 9).
PcpOutcome ExchangePcp(const std::string& server, const std::string& source, PcpRequest request,
                       Deadline deadline);

// What went wrong, for the user: "" for a successful answer.
Message DescribePcpOutcome(const PcpOutcome& outcome);

} // namespace velmora
