#pragma once

#include "platform/Message.h"

#include <chrono>
#include <cstdint>
#include <string>

// Probes of a port of a host on the local network, from this computer, and
// the words the Port Check report uses for their results.

namespace velmora {

enum class PortState
{
    Open,
    Closed,
    Filtered,
    Unfiltered,
    OpenFiltered,
    ClosedFiltered,
};

// "open", "closed", "filtered", "unfiltered", "open|filtered", "closed|filtered".
const TextTemplate& PortStateText(PortState state);
const char* PortStateWord(PortState state); // in English

struct ProbeResult
{
    PortState state = PortState::Filtered;
    Message detail; // what was seen, for the report
};

// TCP connect within `timeout`: accepted is open, refused is closed, no
// answer (or the host unreachable) is filtered. `address` is a dotted IPv4
// address; anything else is reported as not probed (filtered).
ProbeResult ProbeTcp(const std::string& address, uint16_t port, std::chrono::milliseconds timeout);

// An empty UDP datagram (sent twice, the second halfway through `timeout`):
// a port-unreachable answer is closed, a datagram back is open, silence is
// open|filtered.
ProbeResult ProbeUdp(const std::string& address, uint16_t port, std::chrono::milliseconds timeout);

} // namespace velmora
