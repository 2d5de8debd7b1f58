#include "router/core/PcpMessage.h"

#include <cstring>
#include <random>

namespace velmora {
namespace {

constexpr size_t kHeaderSize = 24;
constexpr size_t kMapSize = 36;
constexpr uint8_t kResponseBit = 0x80;

void Put16(std::vector<uint8_t>& out, size_t at, uint16_t value)
{
    out[at] = static_cast<uint8_t>(value >> 8);
    out[at + 1] = static_cast<uint8_t>(value);
}

void Put32(std::vector<uint8_t>& out, size_t at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out[at + static_cast<size_t>(i)] = static_cast<uint8_t>(value >> (24 - 8 * i));
}

uint16_t Get16(const uint8_t* at)
{
    return static_cast<uint16_t>((at[0] << 8) | at[1]);
}

uint32_t Get32(const uint8_t* at)
{
    return (uint32_t{at[0]} << 24) | (uint32_t{at[1]} << 16) | (uint32_t{at[2]} << 8) | at[3];
}

} // namespace

std::string PcpResultName(uint8_t result)
{
    static const char* const kNames[] = {
        "SUCCESS",          "UNSUPP_VERSION",        "NOT_AUTHORIZED",   "MALFORMED_REQUEST",
        "UNSUPP_OPCODE",    "UNSUPP_OPTION",         "MALFORMED_OPTION", "NETWORK_FAILURE",
        "NO_RESOURCES",     "UNSUPP_PROTOCOL",       "USER_EX_QUOTA",    "CANNOT_PROVIDE_EXTERNAL",
        "ADDRESS_MISMATCH", "EXCESSIVE_REMOTE_PEERS"};
    if (result < std::size(kNames))
        return kNames[result];
    return "result " + std::to_string(result);
}

PcpNonce NewPcpNonce()
{
    // Each nonce from the system's entropy: a guessed nonce would let
    // another host on the link take over or delete a mapping.
    std::random_device entropy;
    PcpNonce nonce{};
    for (size_t i = 0; i < nonce.size(); i += 4) {
        const uint32_t bits = entropy();
        for (size_t j = 0; j < 4; ++j)
            nonce[i + j] = static_cast<uint8_t>(bits >> (8 * j));
    }
    return nonce;
}

uint8_t PcpProtocolOf(const std::string& protocol)
{
    if (protocol == "TCP")
        return IPPROTO_TCP;
    if (protocol == "UDP")
        return IPPROTO_UDP;
    return 0;
}

in6_addr MappedIPv4(const in_addr& address)
{
    in6_addr mapped{};
    mapped.s6_addr[10] = 0xFF;
    mapped.s6_addr[11] = 0xFF;
    std::memcpy(&mapped.s6_addr[12], &address.s_addr, 4);
    return mapped;
}

bool IsMappedIPv4(const in6_addr& address)
{
    return IN6_IS_ADDR_V4MAPPED(&address);
}

std::vector<uint8_t> EncodePcpRequest(const PcpRequest& request)
{
    const bool map = request.opcode == PcpOpcode::Map;
    std::vector<uint8_t> out(kHeaderSize + (map ? kMapSize : 0), 0);
    out[0] = kPcpVersion;
    out[1] = static_cast<uint8_t>(request.opcode);
    Put32(out, 4, request.lifetime);
    std::memcpy(&out[8], request.client.s6_addr, 16);
    if (map) {
        std::memcpy(&out[24], request.nonce.data(), request.nonce.size());
        out[36] = request.protocol;
        Put16(out, 40, request.internalPort);
        Put16(out, 42, request.suggestedPort);
        std::memcpy(&out[44], request.suggestedAddress.s6_addr, 16);
    }
    return out;
}

PcpRequest PcpMap(const std::string& protocol, uint16_t port, uint32_t lifetime,
                  const PcpNonce& nonce, bool ipv4)
{
    PcpRequest request;
    request.lifetime = lifetime;
    request.nonce = nonce;
    request.protocol = PcpProtocolOf(protocol);
    request.internalPort = request.suggestedPort = port;
    if (ipv4)
        request.suggestedAddress = MappedIPv4(in_addr{});
    return request;
}

PcpAnswer DecodePcpAnswer(const uint8_t* data, size_t size)
{
    PcpAnswer answer;
    if (data == nullptr || size < 2)
        return answer;
    if (data[0] == 0) {
        // NAT-PMP (RFC 6886): version 0, 128 + opcode, a 16-bit result, the epoch.
        if (size >= 8 && (data[1] & kResponseBit)) {
            answer.form = PcpAnswer::Form::NatPmp;
            answer.opcode = data[1] & 0x7F;
            answer.result = static_cast<uint8_t>(std::min<uint16_t>(Get16(&data[2]), 255));
            answer.epoch = Get32(&data[4]);
        }
        return answer;
    }
    // Whole 32-bit words, within the size limit, with the response bit.
    if (size < kHeaderSize || size > kPcpMaxMessage || size % 4 != 0 || !(data[1] & kResponseBit))
        return answer;
    answer.form = PcpAnswer::Form::Pcp;
    answer.version = data[0];
    answer.opcode = data[1] & 0x7F;
    answer.result = data[3];
    answer.lifetime = Get32(&data[4]);
    answer.epoch = Get32(&data[8]);
    if (answer.opcode == static_cast<uint8_t>(PcpOpcode::Map) && size >= kHeaderSize + kMapSize) {
        std::memcpy(answer.nonce.data(), &data[24], answer.nonce.size());
        answer.protocol = data[36];
        answer.internalPort = Get16(&data[40]);
        answer.externalPort = Get16(&data[42]);
        std::memcpy(answer.externalAddress.s6_addr, &data[44], 16);
    } else if (answer.opcode == static_cast<uint8_t>(PcpOpcode::Map) &&
               answer.result == pcp_result::kSuccess) {
        answer.form = PcpAnswer::Form::Unreadable; // a granted mapping without its details
    }
    return answer;
}

bool PcpAnswerMatches(const PcpAnswer& answer, const PcpRequest& request)
{
    if (answer.form != PcpAnswer::Form::Pcp || answer.version != kPcpVersion ||
        answer.opcode != static_cast<uint8_t>(request.opcode))
        return false;
    if (request.opcode != PcpOpcode::Map)
        return true;
    return answer.nonce == request.nonce && answer.protocol == request.protocol &&
           answer.internalPort == request.internalPort;
}

bool PcpEpochLost(uint32_t before, uint32_t now, uint64_t elapsedSeconds)
{
    // A server epoch that went back more than a second, or one that ran
    // faster or slower than our clock by more than 1/16 plus 2 seconds.
    if (uint64_t{now} + 1 < before)
        return true;
    const uint64_t serverDelta = uint64_t{now} - std::min<uint64_t>(before, now);
    const uint64_t clientDelta = elapsedSeconds;
    return clientDelta + 2 < serverDelta - serverDelta / 16 ||
           serverDelta + 2 < clientDelta - clientDelta / 16;
}

} // namespace velmora
