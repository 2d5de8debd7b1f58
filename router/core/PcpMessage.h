#pragma once

// Port Control Protocol messages (RFC 6887): the MAP and ANNOUNCE requests a
// client sends and the answers a server gives, as bytes on the wire.

#include <array>
#include <cstddef>
#include <cstdint>
#include <netinet/in.h>
#include <string>
#include <vector>

namespace velmora {

inline constexpr uint16_t kPcpPort = 5351;
inline constexpr uint8_t kPcpVersion = 2;
// Largest PCP message (RFC 6887 section 7).
inline constexpr size_t kPcpMaxMessage = 1100;

enum class PcpOpcode : uint8_t
{
    Announce = 0,
    Map = 1,
};

// Result codes (RFC 6887 section 7.4).
namespace pcp_result {
inline constexpr uint8_t kSuccess = 0;
inline constexpr uint8_t kUnsupportedVersion = 1;
inline constexpr uint8_t kNotAuthorized = 2;
inline constexpr uint8_t kMalformedRequest = 3;
inline constexpr uint8_t kUnsupportedOpcode = 4;
inline constexpr uint8_t kUnsupportedOption = 5;
inline constexpr uint8_t kMalformedOption = 6;
inline constexpr uint8_t kNetworkFailure = 7;
inline constexpr uint8_t kNoResources = 8;
inline constexpr uint8_t kUnsupportedProtocol = 9;
inline constexpr uint8_t kUserExceededQuota = 10;
inline constexpr uint8_t kCannotProvideExternal = 11;
inline constexpr uint8_t kAddressMismatch = 12;
inline constexpr uint8_t kExcessiveRemotePeers = 13;
} // namespace pcp_result

// The English name of a result code, e.g. "NOT_AUTHORIZED".
std::string PcpResultName(uint8_t result);

// 96 random bits that tie a MAP answer, a renewal and a deletion to the
// request that made the mapping.
using PcpNonce = std::array<uint8_t, 12>;
PcpNonce NewPcpNonce();

// IANA protocol numbers of a MAP request for "TCP" / "UDP"; 0 otherwise.
uint8_t PcpProtocolOf(const std::string& protocol);

// ::ffff:a.b.c.d, the form PCP gives IPv4 addresses.
in6_addr MappedIPv4(const in_addr& address);
bool IsMappedIPv4(const in6_addr& address);

struct PcpRequest
{
    PcpOpcode opcode = PcpOpcode::Map;
    uint32_t lifetime = 0; // seconds asked for; 0 deletes a mapping
    in6_addr client{};     // the sender's own address (IPv4 mapped)
    // MAP only.
    PcpNonce nonce{};
    uint8_t protocol = 0;
    uint16_t internalPort = 0;
    uint16_t suggestedPort = 0;
    // All zeros for IPv6, ::ffff:0.0.0.0 for IPv4: no preference.
    in6_addr suggestedAddress{};
};
std::vector<uint8_t> EncodePcpRequest(const PcpRequest& request);

// A MAP of `port` (internal = suggested external) for "TCP" / "UDP", with no
// preferred external address of the family the request travels in.
PcpRequest PcpMap(const std::string& protocol, uint16_t port, uint32_t lifetime,
                  const PcpNonce& nonce, bool ipv4);

struct PcpAnswer
{
    enum class Form
    {
        Pcp,       // a PCP answer (any version but 0)
        NatPmp,    // a NAT-PMP answer: the server does not speak PCP
        Unreadable // too short, too long, not a response
    };
    Form form = Form::Unreadable;
    uint8_t version = 0;
    uint8_t opcode = 0; // without the response bit
    uint8_t result = 0;
    uint32_t lifetime = 0; // granted, or how long an error holds
    uint32_t epoch = 0;    // seconds since the server (re)started
    // MAP only.
    PcpNonce nonce{};
    uint8_t protocol = 0;
    uint16_t internalPort = 0;
    uint16_t externalPort = 0;
    in6_addr externalAddress{};
};
PcpAnswer DecodePcpAnswer(const uint8_t* data, size_t size);

// Whether an answer belongs to `request`: same version, opcode and (MAP)
// nonce, protocol and internal port (RFC 6887 sections 8.3 and 11.4).
bool PcpAnswerMatches(const PcpAnswer& answer, const PcpRequest& request);

// RFC 6887 section 8.5: whether a server that said `before` and now says
// `now`, `elapsedSeconds` later on our clock, has lost its mappings.
bool PcpEpochLost(uint32_t before, uint32_t now, uint64_t elapsedSeconds);

} // namespace velmora
