#include "router/core/NatPmpProbe.h"

#include "platform/DeadlineScale.h"
#include "router/core/NatPmpExchange.h"
#include "router/core/PcpExchange.h"

#include <algorithm>
#include <arpa/inet.h>

namespace {

// RFC 6887 section 9: a PCP announcement; a gateway that answers it in
// version 2 speaks PCP, one that answers in NAT-PMP does not.
bool SpeaksPcp(in_addr_t gateway, velmora::Deadline deadline)
{
    char text[INET_ADDRSTRLEN] = {};
    in_addr address{};
    address.s_addr = gateway;
    if (!inet_ntop(AF_INET, &address, text, sizeof text))
        return false;
    velmora::PcpRequest announce;
    announce.opcode = velmora::PcpOpcode::Announce;
    const velmora::PcpOutcome outcome = velmora::ExchangePcp(text, "", announce, deadline);
    return outcome.status == velmora::PcpOutcome::Status::Answered &&
           outcome.answer.result == velmora::pcp_result::kSuccess;
}

} // namespace

velmora::RouterEntryPtr ProbeNatPmpRouter(std::chrono::milliseconds wait)
{
    const auto deadline = std::chrono::steady_clock::now() + wait;
    velmora::NatPmpHandle handle;
    if (handle.initResult() != 0)
        return nullptr;
    if (sendpublicaddressrequest(handle.get()) != 2)
        return nullptr;
    natpmpresp_t response{};
    if (velmora::AwaitNatPmpResponse(handle.get(), &response, deadline) != 0)
        return nullptr;

    auto entry = std::make_shared<RouterEntry>();
    entry->is_apple = true;
    // A gateway that answered NAT-PMP answers PCP at once if at all: a
    // round trip on the link, a short wait for one that ignores it.
    entry->speaks_pcp = SpeaksPcp(
        handle.get()->gateway,
        std::min(deadline, velmora::DeadlineAfter(velmora::ScaledDeadline(velmora::kPcpAskWait))));
    entry->natpmp = handle.release();
    entry->natpmp_open = true;
    return entry;
}
