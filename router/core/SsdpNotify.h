#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velmora {

// One SSDP NOTIFY datagram, or a search answer, as far as the restart watch
// needs it.
struct SsdpNotify
{
    bool answer = false; // "HTTP/1.1 200 OK": an answer to a search, not a NOTIFY
    std::string nts;     // "ssdp:alive", "ssdp:byebye", ...
    std::string location;
    std::optional<uint32_t> bootId; // BOOTID.UPNP.ORG
};

// Reads a datagram; nothing when it is neither a NOTIFY nor a search answer. Header names are
// compared without regard to case; lines end in CR LF or LF.
std::optional<SsdpNotify> ParseSsdpNotify(std::string_view datagram);

} // namespace velmora
