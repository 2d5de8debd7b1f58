#include "forwarding/core/PortCheck.h"

#include "forwarding/core/PortList.h"
#include "upnp/core/DoubleNat.h"

#include <algorithm>
#include <sstream>

namespace velmora {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

milliseconds Left(Clock::time_point deadline)
{
    return std::max(milliseconds(0), std::chrono::ceil<milliseconds>(deadline - Clock::now()));
}

void RouterPart(std::ostringstream& out, const PortCheckFindings& f)
{
    const auto& t = f.target;
    out << "1. The router's port mapping " << t.protocol << " " << t.externalPort << ": ";
    if (!f.mappingCode) {
        out << "not read (the check ran out of time).\n   State: not known\n";
    } else if (*f.mappingCode == 0) {
        const bool asListed = SameAddress(f.held.internalClient, t.internalClient);
        out << "held, forwarded to " << f.held.internalClient << ":" << f.held.internalPort;
        if (!t.internalClient.empty() && !asListed)
            out << " (not to " << t.internalClient << ")";
        out << ".\n   State: " << PortStateWord(PortState::Unfiltered)
            << " (the router lets the port through to its internal client)\n";
    } else if (*f.mappingCode == 714) {
        out << "the router no longer holds it.\n   State: " << PortStateWord(PortState::Filtered)
            << " (the router does not pass the port on)\n";
    } else {
        out << "the router did not say (" << DescribeUpnpResult(*f.mappingCode)
            << ").\n   State: not known\n";
    }
}

void ClientPart(std::ostringstream& out, const PortCheckFindings& f)
{
    out << "2. The internal client from this computer: ";
    if (!f.probe) {
        out << "not probed (the check ran out of time).\n   State: not known\n";
        return;
    }
    out << f.target.protocol << " " << f.probedClient << ":" << f.probedPort << ", "
        << f.probe->detail << ".\n   State: " << PortStateWord(f.probe->state) << "\n";
}

void ExternalPart(std::ostringstream& out, const PortCheckFindings& f)
{
    out << "3. The router's external address: ";
    if (!f.externalCode)
        out << "not read (the check ran out of time).\n";
    else if (*f.externalCode == 0 && !f.externalAddress.empty())
        out << f.externalAddress << "\n";
    else if (*f.externalCode == 0)
        out << "the router reports none.\n";
    else
        out << "not known (" << DescribeUpnpResult(*f.externalCode) << ").\n";
    if (f.externalCode && *f.externalCode == 0 && IsPrivateOrSharedAddress(f.externalAddress))
        out << "   " << DoubleNatMessage(f.externalAddress) << "\n";
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

std::string BuildPortCheckReport(const PortCheckFindings& f)
{
    std::ostringstream out;
    const auto& t = f.target;
    out << "Port check of \"" << t.description << "\", " << t.protocol << " port " << t.externalPort
        << "\n\n";
    RouterPart(out, f);
    out << "\n";
    ClientPart(out, f);
    out << "\n";
    ExternalPart(out, f);
    out << "\n4. Whether the port can be reached from the internet cannot be known from inside\n"
           "   this network: that needs a check from outside it, from a computer on the internet.\n";
    return out.str();
}

} // namespace velmora
