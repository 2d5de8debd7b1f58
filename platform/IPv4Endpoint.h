#pragma once

#include <cstdint>
#include <netinet/in.h>

namespace velmora {

enum class IPv4Text
{
    DottedQuad, // exactly four decimal parts: "192.168.1.1"
    Classic,    // also the short and numeric forms inet_aton reads ("127.1", "0x7f000001")
};

// Fills `out` with the address in `text` and `port`; false (with `out`
// zeroed) for a null, empty or unreadable text. There is no name look-up.
bool MakeIPv4Endpoint(const char* text, uint16_t port, sockaddr_in& out,
                      IPv4Text form = IPv4Text::DottedQuad);

} // namespace velmora
