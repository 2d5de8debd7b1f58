#pragma once

#include <chrono>
#include <cstdint>
#include <netinet/in.h>
#include <string_view>

// New-port-mapping requests to a NAT-PMP gateway (an AirPort base station)
// through libnatpmp, each on a handle and socket of its own.

namespace velmora {

struct NatPmpAnswer
{
    int code = -1;           // 0, or a libnatpmp NATPMP_ERR_* / NATPMP_TRYAGAIN on timeout
    uint16_t publicPort = 0; // the port the gateway mapped
    uint32_t lifetime = 0;   // seconds the gateway granted
    bool ok() const { return code == 0; }
};

// NATPMP_PROTOCOL_TCP or NATPMP_PROTOCOL_UDP for "TCP" / "UDP"; 0 otherwise.
int NatPmpProtocolOf(std::string_view protocol);

// Asks `gateway` (network byte order; 0 for the default gateway) to map `publicPort` to
// `privatePort` of this computer for `lifetime` seconds (0 removes the mapping). Waits for the
// answer, retrying as libnatpmp schedules, until `timeout` has passed.
NatPmpAnswer RequestNatPmpMapping(in_addr_t gateway, int protocol, uint16_t privatePort,
                                  uint16_t publicPort, uint32_t lifetime,
                                  std::chrono::milliseconds timeout);

// How long one request waits for the gateway: four sends on libnatpmp's
// schedule (250, 500, 1000, 2000 ms).
inline constexpr std::chrono::milliseconds kNatPmpTimeout{4000};

} // namespace velmora
