#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace velmora {

// The search request sent to 239.255.255.250:1900.
extern const char kSsdpSearchRequest[];
extern const char kGatewayDeviceType[];

// Whether a description names an Internet Gateway Device, version 1 or 2.
bool NamesGatewayDevice(std::string_view description);

// The header fields of an answer to an SSDP search that the program reads.
struct SsdpSearchAnswer
{
    std::string location; // LOCATION: where the device description is
    std::string st;       // ST: the search target the device answers for
};

// Reads an answer to a search: a status line "HTTP/1.x 200 ..." and header
// lines (CR LF or LF) "NAME: value", names compared without regard to case,
// values without the blanks around them; the first of a repeated field
// counts. None for anything else (a NOTIFY, an error status).
std::optional<SsdpSearchAnswer> ReadSsdpSearchAnswer(std::string_view datagram);

// The LOCATION of a search answer; none when the datagram is not one or has
// no LOCATION. Whether the device may be reached there is CheckDeviceUrl's
// affair (upnp/core/DeviceUrl.h).
std::optional<std::string> DescribeUrlFromSsdpAnswer(std::string_view datagram);

} // namespace velmora
