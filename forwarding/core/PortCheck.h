#pragma once

#include "forwarding/core/PortProbe.h"
#include "forwarding/core/RouterMappings.h"
#include "platform/DeadlineScale.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

// The Port Check: what can be known from inside the network about one port
// mapping of a UPnP router.

namespace velmora {

struct PortCheckTarget
{
    std::string description;
    std::string protocol; // "TCP" or "UDP"
    uint16_t externalPort = 0;
    std::string internalClient; // where the mapping should lead
};

struct PortCheckOptions
{
    std::chrono::milliseconds deadline =
        ScaledDeadline(std::chrono::milliseconds(15000)); // the whole check
    std::chrono::milliseconds tcpTimeout{3000};
    std::chrono::milliseconds udpTimeout{2000};
};

struct PortCheckFindings
{
    PortCheckTarget target;
    std::optional<int> mappingCode; // GetSpecificPortMappingEntry's result; none: not asked
    PortMappingRow held;            // when mappingCode is 0
    std::string probedClient;       // the internal client and port that were probed
    uint16_t probedPort = 0;
    std::optional<ProbeResult> probe; // none: not probed
    std::optional<int> externalCode;  // GetExternalIPAddress's result; none: not asked
    std::string externalAddress;
    bool outOfTime = false;
};

// Asks the router for the mapping and its external address, and probes the
// internal client the mapping leads to. Blocks (a worker's thread) for at most
// about the deadline.
PortCheckFindings RunPortCheck(const RouterEndpoint& router, const PortCheckTarget& target,
                               const PortCheckOptions& options = {});

// The "Port Check" report, piece by piece; and the same in English.
MessageList PortCheckReport(const PortCheckFindings& findings);
std::string BuildPortCheckReport(const PortCheckFindings& findings);

} // namespace velmora
