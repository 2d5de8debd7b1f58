#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// One SSDP NOTIFY datagram, as far as the restart watch needs it.
struct SsdpNotify
{
    std::string nts; // "ssdp:alive", "ssdp:byebye", ...
    std::string location;
    std::optional<uint32_t> bootId; // BOOTID.UPNP.ORG
};

// Reads a datagram; nothing when it is not a NOTIFY. Header names are
// compared without regard to case; lines end in CR LF or LF.
std::optional<SsdpNotify> ParseSsdpNotify(std::string_view datagram);
