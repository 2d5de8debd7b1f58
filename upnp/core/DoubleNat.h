#pragma once

#include "platform/Message.h"

#include <string>
#include <string_view>

namespace velmora {

// Whether a dotted IPv4 address lies in a private range (10/8, 172.16/12,
// 192.168/16) or the shared carrier-grade NAT range (100.64/10). A router
// whose external address is one of these is not on the internet itself.
bool IsPrivateOrSharedAddress(std::string_view address);

// What a private or shared external address means for the user; and the same
// in English.
Message DoubleNatText(const std::string& address);
std::string DoubleNatMessage(const std::string& address);

} // namespace velmora
