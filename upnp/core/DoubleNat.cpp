#include "upnp/core/DoubleNat.h"

#include "upnp/core/ViewIpTexts.h"

#include <arpa/inet.h>
#include <cstdint>

namespace velmora {

bool IsPrivateOrSharedAddress(std::string_view address)
{
    const std::string text(address);
    in_addr parsed{};
    if (inet_pton(AF_INET, text.c_str(), &parsed) != 1)
        return false;
    const uint32_t a = ntohl(parsed.s_addr);
    const auto in = [a](uint32_t net, int bits) {
        return (a >> (32 - bits)) == (net >> (32 - bits));
    };
    return in(0x0A000000, 8) || in(0xAC100000, 12) || in(0xC0A80000, 16) || in(0x64400000, 10);
}

Message DoubleNatText(const std::string& address)
{
    return Message(view_ip_texts::kDoubleNat, {address});
}

std::string DoubleNatMessage(const std::string& address)
{
    return English(DoubleNatText(address));
}

} // namespace velmora
