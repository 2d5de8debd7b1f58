#include "platform/IPv4Endpoint.h"

#include <arpa/inet.h>

namespace velmora {

bool MakeIPv4Endpoint(const char* text, uint16_t port, sockaddr_in& out, IPv4Text form)
{
    out = {};
    if (text == nullptr || text[0] == '\0')
        return false;
    out.sin_family = AF_INET;
    out.sin_port = htons(port);
    const bool read = form == IPv4Text::Classic ? ::inet_aton(text, &out.sin_addr) != 0
                                                : ::inet_pton(AF_INET, text, &out.sin_addr) == 1;
    if (!read)
        out = {};
    return read;
}

} // namespace velmora
