#pragma once

// The argument blocks of WANIPv6FirewallControl:1's actions and the values
// read from their answers.

#include <cstdint>
#include <string>
#include <string_view>

namespace velmora {

inline constexpr const char* kFirewallControlType =
    "urn:schemas-upnp-org:service:WANIPv6FirewallControl:1";

// Longest lease an AddPinhole or UpdatePinhole may ask for, in seconds.
inline constexpr uint32_t kMaxPinholeLease = 86400;

// Any remote host and port to internalClient:internalPort.
std::string AddPinholeArguments(std::string_view internalClient, uint16_t internalPort,
                                int protocol, uint32_t leaseTime);
std::string UpdatePinholeArguments(uint16_t uniqueId, uint32_t leaseTime);
// DeletePinhole, CheckPinholeWorking, GetPinholePackets.
std::string UniqueIdArguments(uint16_t uniqueId);
std::string OutboundPinholeTimeoutArguments(std::string_view internalClient, uint16_t internalPort,
                                            int protocol);

// The text of `element` in the `<action>Response` of a successful answer;
// false when the answer has no such element.
bool ReadAnswerValue(const std::string& response, const char* action, const char* element,
                     std::string& value);

// The UPnP error code of a SOAP fault answer, 0 when there is none.
int SoapFaultCode(const std::string& response);

// The router's words for WANIPv6FirewallControl's error codes
// ("FirewallDisabled" for 702, ...), or the number.
std::string DescribePinholeError(int code);

} // namespace velmora
