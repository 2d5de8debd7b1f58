#include "forwarding/core/PortCheck.h"

#include "forwarding/core/PortCheckTexts.h"
#include "forwarding/core/PortList.h"
#include "upnp/core/DoubleNat.h"

#include <algorithm>

namespace velmora {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

milliseconds Left(Clock::time_point deadline)
{
    return std::max(milliseconds(0), std::chrono::ceil<milliseconds>(deadline - Clock::now()));
}

using namespace port_check_texts;

Message StateOf(PortState state)
{
    return Message(PortStateText(state));
}

Message RouterPart(const PortCheckFindings& f)
{
    const auto& t = f.target;
    const std::string port = std::to_string(t.externalPort);
    if (!f.mappingCode)
        return Message(kMappingNotRead, {t.protocol, port});
    if (*f.mappingCode == 0) {
        const Message state = StateOf(PortState::Unfiltered);
        if (!t.internalClient.empty() && !SameAddress(f.held.internalClient, t.internalClient))
            return Message(kMappingHeldElsewhere, {t.protocol, port, f.held.internalClient,
                                                   f.held.internalPort, t.internalClient, state});
        return Message(kMappingHeld,
                       {t.protocol, port, f.held.internalClient, f.held.internalPort, state});
    }
    if (*f.mappingCode == 714)
        return Message(kMappingGone, {t.protocol, port, StateOf(PortState::Filtered)});
    return Message(kMappingUnknown, {t.protocol, port, UpnpResultText(*f.mappingCode)});
}

Message ClientPart(const PortCheckFindings& f)
{
    if (!f.probe)
        return Message(kClientNotProbed);
    return Message(kClientProbed, {f.target.protocol, f.probedClient, std::to_string(f.probedPort),
                                   f.probe->detail, StateOf(f.probe->state)});
}

void ExternalPart(MessageList& out, const PortCheckFindings& f)
{
    if (!f.externalCode)
        out.push_back(Message(kExternalNotRead));
    else if (*f.externalCode == 0 && !f.externalAddress.empty())
        out.push_back(Message(kExternalAddress, {f.externalAddress}));
    else if (*f.externalCode == 0)
        out.push_back(Message(kExternalNone));
    else
        out.push_back(Message(kExternalUnknown, {UpnpResultText(*f.externalCode)}));
    if (f.externalCode && *f.externalCode == 0 && IsPrivateOrSharedAddress(f.externalAddress)) {
        out.emplace_back("   ");
        out.push_back(DoubleNatText(f.externalAddress));
        out.emplace_back("\n");
    }
}

} // namespace

PortCheckFindings RunPortCheck(const RouterEndpoint& router, const PortCheckTarget& target,
                               const PortCheckOptions& options)
{
    const auto deadline = Clock::now() + options.deadline;
    PortCheckFindings f;
    f.target = target;
    f.probedClient = target.internalClient;
    f.probedPort = target.externalPort;

    f.mappingCode = GetSpecificPortMapping(router, target.externalPort, target.protocol, f.held);
    if (*f.mappingCode == 0) {
        f.probedClient = f.held.internalClient;
        int port = AtoiLike(f.held.internalPort);
        if (port >= 1 && port <= 65535)
            f.probedPort = static_cast<uint16_t>(port);
    }

    if (Left(deadline).count() > 0) {
        if (target.protocol == "UDP")
            f.probe = ProbeUdp(f.probedClient, f.probedPort,
                               std::min(options.udpTimeout, Left(deadline)));
        else
            f.probe = ProbeTcp(f.probedClient, f.probedPort,
                               std::min(options.tcpTimeout, Left(deadline)));
    }
    if (Left(deadline).count() > 0)
        f.externalCode = GetExternalAddress(router, f.externalAddress);
    f.outOfTime = !f.probe || !f.externalCode;
    return f;
}

MessageList PortCheckReport(const PortCheckFindings& f)
{
    const auto& t = f.target;
    MessageList report{
        Message(kHeading, {t.description, t.protocol, std::to_string(t.externalPort)}),
        RouterPart(f), Message("\n"), ClientPart(f), Message("\n")};
    ExternalPart(report, f);
    report.push_back(Message(kFromOutside));
    return report;
}

std::string BuildPortCheckReport(const PortCheckFindings& findings)
{
    return English(PortCheckReport(findings));
}

} // namespace velmora
