#include "app/cli/Bounded.h"
#include "app/cli/Commands.h"
#include "app/cli/JsonWriter.h"
#include "app/cli/RouterSearch.h"
#include "forwarding/core/NatPmpMapping.h"
#include "forwarding/core/RouterMappings.h"

#include <algorithm>

namespace velmora::cli {

int RunDelete(const Invocation& invocation)
{
    if (invocation.operands.size() != 2)
        return UsageError(invocation.io, "give the mapping's protocol (TCP or UDP) and port");
    std::string protocol = invocation.operands[0];
    std::transform(protocol.begin(), protocol.end(), protocol.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    const auto port = PortNumber(invocation.operands[1]);
    if (protocol != "TCP" && protocol != "UDP")
        return UsageError(invocation.io, "the protocol is TCP or UDP");
    if (!port || *port == 0)
        return UsageError(invocation.io, "the port is a number from 1 to 65535");
    const RouterEntryPtr router = FindRouter(invocation);
    if (!router)
        return kExitFailure;

    std::string refusal;
    RunWithin(
        DeadlineAfter(kAnswerDeadline),
        [&] {
            if (router->is_apple) {
                // A lifetime of 0 removes the mapping of this computer's port.
                const auto number = static_cast<uint16_t>(*port);
                const NatPmpAnswer answer =
                    RequestNatPmpMapping(NatPmpGatewayOf(*router), NatPmpProtocolOf(protocol),
                                         number, 0, 0, kNatPmpTimeout);
                if (!answer.ok())
                    refusal = "NAT-PMP result " + std::to_string(answer.code);
                return;
            }
            const int code =
                DeletePortMapping(EndpointOf(*router), std::to_string(*port), protocol);
            if (code != 0)
                refusal = DescribeUpnpResult(code);
        },
        invocation.io, NoAnswerWithin(kAnswerDeadline));
    if (!refusal.empty()) {
        return Fail(invocation.io, "the router did not delete " + protocol + " " +
                                       std::to_string(*port) + ": " + PlainText(refusal));
    }
    std::fprintf(invocation.io.out, "Deleted %s %lld.\n", protocol.c_str(),
                 static_cast<long long>(*port));
    return kExitSuccess;
}

} // namespace velmora::cli
